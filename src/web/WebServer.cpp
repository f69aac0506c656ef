#include "web/WebServer.h"

#include <QAbstractHttpServer>
#include <QHash>
#include <QMap>
#include <QHttpServerRequest>
#include <QPointer>
#include <QSslServer>
#include <QSslSocket>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

namespace {

QByteArray reasonPhrase(int status)
{
    switch (status) {
    case 200: return QByteArrayLiteral("OK");
    case 303: return QByteArrayLiteral("See Other");
    case 400: return QByteArrayLiteral("Bad Request");
    case 404: return QByteArrayLiteral("Not Found");
    case 405: return QByteArrayLiteral("Method Not Allowed");
    case 408: return QByteArrayLiteral("Request Timeout");
    case 413: return QByteArrayLiteral("Payload Too Large");
    case 429: return QByteArrayLiteral("Too Many Requests");
    case 503: return QByteArrayLiteral("Service Unavailable");
    default: return QByteArrayLiteral("Error");
    }
}

QByteArray methodName(QHttpServerRequest::Method method)
{
    switch (method) {
    case QHttpServerRequest::Method::Get: return QByteArrayLiteral("GET");
    case QHttpServerRequest::Method::Put: return QByteArrayLiteral("PUT");
    case QHttpServerRequest::Method::Delete: return QByteArrayLiteral("DELETE");
    case QHttpServerRequest::Method::Post: return QByteArrayLiteral("POST");
    case QHttpServerRequest::Method::Head: return QByteArrayLiteral("HEAD");
    case QHttpServerRequest::Method::Options: return QByteArrayLiteral("OPTIONS");
    case QHttpServerRequest::Method::Patch: return QByteArrayLiteral("PATCH");
    case QHttpServerRequest::Method::Connect: return QByteArrayLiteral("CONNECT");
    case QHttpServerRequest::Method::Trace: return QByteArrayLiteral("TRACE");
    default: return QByteArrayLiteral("OTHER");
    }
}

// A whole response as it goes on the wire, for the refusals written before the HTTP server has a request.
QByteArray rawResponse(int status)
{
    QByteArray out = "HTTP/1.1 " + QByteArray::number(status) + ' ' + reasonPhrase(status) + "\r\n";
    for (const auto& [name, value] : alwaysHeaders())
        out += name + ": " + value + "\r\n";
    out += "Content-Type: text/plain; charset=utf-8\r\nContent-Length: 0\r\nConnection: close\r\n\r\n";
    return out;
}

// A route's response as it goes on the wire. Written by the listener itself rather than through a responder of the
// HTTP server, so that a response given after handleRequest() has returned (a choice stored with others) needs
// nothing of the request that the HTTP server may have reused for the connection's next one.
QByteArray wireResponse(const WebResponse& response)
{
    QByteArray out = "HTTP/1.1 " + QByteArray::number(response.status) + ' ' + reasonPhrase(response.status) + "\r\n";
    for (const auto& [name, value] : alwaysHeaders())
        out += name + ": " + value + "\r\n";
    for (const auto& [name, value] : response.headers)
        out += name + ": " + value + "\r\n";
    if (!response.contentType.isEmpty())
        out += "Content-Type: " + response.contentType + "\r\n";
    out += "Content-Length: " + QByteArray::number(response.body.size()) + "\r\n\r\n";
    out += response.body;
    return out;
}

} // namespace

// What is watched of each connection: the bytes of the request under way and the time it has left.
struct Guard {
    qint64 pending = 0;
    QTimer* deadline = nullptr;
    // Responses go out in the order their requests came in, even when a later one is ready first (a page asked for
    // on the same connection while a choice is being stored): numbered as requests arrive, sent from the next one due.
    quint64 nextRequest = 0;
    quint64 nextToSend = 0;
    QMap<quint64, QByteArray> ready;
};

class WebServer::Listener : public QAbstractHttpServer {
public:
    Listener(DeferringHandler handler, Limits limits)
        : m_handler(std::move(handler))
        , m_limits(limits)
    {
    }

    // Called by the listening socket for each accepted connection, before the HTTP server reads from it.
    void watch(QTcpSocket* socket)
    {
        Guard& guard = m_guards[socket];
        guard.deadline = new QTimer(socket);
        guard.deadline->setSingleShot(true);
        guard.deadline->setInterval(m_limits.requestMilliseconds);
        QObject::connect(guard.deadline, &QTimer::timeout, socket, [socket] { socket->abort(); });
        guard.deadline->start();
        QObject::connect(socket, &QObject::destroyed, this, [this, socket] { m_guards.remove(socket); });
        QObject::connect(socket, &QTcpSocket::disconnected, this, [this, socket] { m_guards.remove(socket); });
        // Connected before the HTTP server's own reader, so a request too large is stopped before it is read.
        QObject::connect(socket, &QIODevice::readyRead, this, [this, socket] {
            const auto it = m_guards.find(socket);
            if (it == m_guards.end())
                return;
            it->pending += socket->bytesAvailable();
            if (it->pending > m_limits.requestBytes) {
                m_guards.erase(it);
                socket->readAll();
                socket->write(rawResponse(413));
                socket->disconnectFromHost();
            }
        });
    }

    bool full() const { return m_guards.size() >= m_limits.connections; }
    int mostConnections() const { return m_limits.connections; }
    int open() const { return static_cast<int>(m_guards.size()); }

protected:
    bool handleRequest(const QHttpServerRequest& request, QTcpSocket* socket) override
    {
        WebRequest plain;
        plain.method = methodName(request.method());
        plain.path = request.url().path();
        plain.body = request.body();
        plain.client = clientAddress(request.remoteAddress(), request.value(QByteArrayLiteral("X-Forwarded-For")));
        QPointer<QTcpSocket> connection(socket);
        const auto guard = m_guards.find(socket);
        const quint64 number = guard != m_guards.end() ? guard->nextRequest++ : 0;
        Reply reply = [this, connection, number](const WebResponse& response) {
            // The phone may have gone while its choice was being stored: the choice stands, the answer goes nowhere.
            if (!connection)
                return;
            const auto it = m_guards.find(connection.data());
            if (it == m_guards.end()) {
                connection->write(wireResponse(response));
                return;
            }
            it->ready.insert(number, wireResponse(response));
            while (!it->ready.isEmpty() && it->ready.firstKey() == it->nextToSend) {
                connection->write(it->ready.take(it->nextToSend));
                ++it->nextToSend;
                // The next request on this connection has its own time and bytes.
                it->pending = 0;
                it->deadline->start();
            }
        };
        if (plain.body.size() > m_limits.requestBytes) {
            WebResponse tooLarge;
            tooLarge.status = 413;
            reply(tooLarge);
        } else {
            m_handler(plain, std::move(reply));
        }
        return true;
    }

    void missingHandler(const QHttpServerRequest&, QTcpSocket* socket) override { socket->abort(); }

private:
    DeferringHandler m_handler;
    Limits m_limits;
    QHash<QTcpSocket*, Guard> m_guards;
};

namespace {

void closeAtOnce(qintptr descriptor)
{
    QTcpSocket socket;
    if (socket.setSocketDescriptor(descriptor))
        socket.abort();
}

// A listener, plain or with TLS, that refuses a connection beyond the bound at once and hands each one it accepts
// to the watch of its size and time limits.
template <typename Server> class Listener final : public Server {
public:
    explicit Listener(WebServer::Listener* http)
        : m_http(http)
    {
    }
    QTcpSocket* nextPendingConnection() override
    {
        QTcpSocket* socket = Server::nextPendingConnection();
        if (socket)
            m_http->watch(socket);
        return socket;
    }

protected:
    void incomingConnection(qintptr descriptor) override
    {
        if (m_http->full())
            closeAtOnce(descriptor);
        else
            Server::incomingConnection(descriptor);
    }

private:
    WebServer::Listener* m_http;
};

using PlainListener = Listener<QTcpServer>;
using SecureListener = Listener<QSslServer>;

} // namespace

WebServer::WebServer(Handler handler, QObject* parent)
    : WebServer(std::move(handler), Limits {}, parent)
{
}

WebServer::WebServer(Handler handler, Limits limits, QObject* parent)
    : QObject(parent)
    , m_listener(std::make_unique<Listener>(
          [handler = std::move(handler)](const WebRequest& request, Reply reply) { reply(handler(request)); }, limits))
{
}

WebServer::WebServer(DeferringHandler handler, QObject* parent)
    : WebServer(std::move(handler), Limits {}, parent)
{
}

WebServer::WebServer(DeferringHandler handler, Limits limits, QObject* parent)
    : QObject(parent)
    , m_listener(std::make_unique<Listener>(std::move(handler), limits))
{
}

WebServer::~WebServer() = default;

bool WebServer::listen(
    const QHostAddress& address, quint16 port, const std::optional<QSslConfiguration>& tls, QString& error)
{
    QTcpServer* server = nullptr;
    if (tls) {
        auto* secure = new SecureListener(m_listener.get());
        secure->setSslConfiguration(*tls);
        server = secure;
    } else {
        server = new PlainListener(m_listener.get());
    }
    server->setParent(m_listener.get());
    // Phones that connect at once while a group of choices is being stored wait in the system's queue, up to as many
    // as may be open; beyond Qt's queue of 50 the system would drop them, and each would try again a second later.
    server->setListenBacklogSize(m_listener->mostConnections());
    if (!server->listen(address, port)) {
        error = server->errorString();
        delete server;
        return false;
    }
    m_listener->bind(server);
    return true;
}

quint16 WebServer::port() const
{
    const QList<QTcpServer*> servers = m_listener->servers();
    return servers.isEmpty() ? 0 : servers.first()->serverPort();
}

int WebServer::openConnections() const
{
    return m_listener->open();
}

QString WebServer::clientAddress(const QHostAddress& peer, const QByteArray& forwardedFor)
{
    if (peer.isLoopback() && !forwardedFor.trimmed().isEmpty()) {
        const QHostAddress forwarded(QString::fromLatin1(forwardedFor.split(',').last().trimmed()));
        if (!forwarded.isNull())
            return forwarded.toString();
    }
    return peer.toString();
}
