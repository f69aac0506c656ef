#include "web/ServiceSettings.h"

#include "data/Invitations.h"
#include "text/ProgramSettings.h"

#include <QSettings>

ServiceSettings ServiceSettings::stored()
{
    const QSettings settings(ProgramSettings::filePath(), QSettings::IniFormat);
    ServiceSettings s;
    s.enabled = settings.value(QStringLiteral("phone/enabled"), s.enabled).toBool();
    s.listen = settings.value(QStringLiteral("phone/listen"), s.listen).toString();
    s.linkBase = settings.value(QStringLiteral("phone/linkBase"), s.linkBase).toString();
    s.allowPlainHttp = settings.value(QStringLiteral("phone/allowPlainHttp"), s.allowPlainHttp).toBool();
    return s;
}

bool ServiceSettings::store() const
{
    QSettings settings(ProgramSettings::filePath(), QSettings::IniFormat);
    settings.setValue(QStringLiteral("phone/enabled"), enabled);
    settings.setValue(QStringLiteral("phone/listen"), listen);
    settings.setValue(QStringLiteral("phone/linkBase"), linkBase);
    settings.setValue(QStringLiteral("phone/allowPlainHttp"), allowPlainHttp);
    settings.sync();
    return settings.status() == QSettings::NoError;
}

bool ServiceSettings::parseListen(const QString& text, QHostAddress& address, quint16& port, QString& error)
{
    const qsizetype colon = text.lastIndexOf(QLatin1Char(':'));
    if (colon <= 0) {
        error = QStringLiteral("not ADDRESS:PORT: %1").arg(text);
        return false;
    }
    QString host = text.left(colon);
    if (host.startsWith(QLatin1Char('[')) && host.endsWith(QLatin1Char(']')))
        host = host.mid(1, host.size() - 2);
    bool number = false;
    const int value = text.mid(colon + 1).toInt(&number);
    if (!number || value < 1 || value > 65535) {
        error = QStringLiteral("not a port number: %1").arg(text.mid(colon + 1));
        return false;
    }
    if (host == QLatin1String("localhost"))
        host = QStringLiteral("127.0.0.1");
    const QHostAddress parsed(host);
    if (parsed.isNull()) {
        error = QStringLiteral("not an IP address: %1").arg(host);
        return false;
    }
    address = parsed;
    port = static_cast<quint16>(value);
    return true;
}

QString ServiceSettings::linkFor(const QString& base, const QString& token)
{
    return Invitations::link(base, token);
}
