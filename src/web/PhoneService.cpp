#include "web/PhoneService.h"

#include "web/QuestionnaireService.h"
#include "web/WebServer.h"

#include <QLoggingCategory>

PhoneService::PhoneService(Database& db)
    : m_db(db)
{
}

PhoneService::~PhoneService() = default;

QString PhoneService::apply(const ServiceSettings& settings)
{
    m_server.reset();
    m_service.reset();
    if (!settings.enabled)
        return QString();
    QHostAddress address;
    quint16 port = 0;
    QString error;
    if (!ServiceSettings::parseListen(settings.listen, address, port, error))
        return error;
    if (!ServiceSettings::plainHttpAllowed(address, settings.allowPlainHttp))
        return QStringLiteral("plain HTTP beyond this computer is not allowed");
    // Qt's own messages about requests could carry a link's token.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.httpserver*=false"));
    auto service = std::make_unique<QuestionnaireService>(m_db, [] { return QDateTime::currentDateTimeUtc(); });
    QuestionnaireService* routes = service.get();
    auto server = std::make_unique<WebServer>([routes](const WebRequest& request, WebServer::Reply reply) {
        routes->handle(request, std::move(reply));
    });
    if (!server->listen(address, port, std::nullopt, error))
        return error;
    m_service = std::move(service);
    m_server = std::move(server);
    return QString();
}

quint16 PhoneService::port() const
{
    return m_server ? m_server->port() : 0;
}
