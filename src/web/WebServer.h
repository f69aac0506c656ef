#pragma once

#include "web/WebMessage.h"

#include <QHostAddress>
#include <QObject>
#include <QSslConfiguration>

#include <functional>
#include <memory>
#include <optional>

// The questionnaire's HTTP(S) listener: the one place that speaks to Qt's HTTP server (a technology preview in
// Qt 6.4, so every use of its API stays in WebServer.cpp). It turns each request into a WebRequest, hands it to the
// routes and writes their WebResponse with the headers every response carries. It also keeps the connections in
// bounds: a request larger than `requestBytes` is answered 413 and cut off, a connection that has not sent a whole
// request within `requestMilliseconds` is closed, and beyond `connections` open ones a new one is closed at once.
class WebServer : public QObject {
    Q_OBJECT

public:
    using Handler = std::function<WebResponse(const WebRequest&)>;
    // Routes that may answer later: the response goes out when `reply` is called (at most once, on this thread).
    using Reply = std::function<void(const WebResponse&)>;
    using DeferringHandler = std::function<void(const WebRequest&, Reply)>;

    struct Limits {
        qint64 requestBytes = 8 * 1024;
        int requestMilliseconds = 10'000;
        int connections = 512;
    };

    explicit WebServer(Handler handler, QObject* parent = nullptr);
    WebServer(Handler handler, Limits limits, QObject* parent = nullptr);
    explicit WebServer(DeferringHandler handler, QObject* parent = nullptr);
    WebServer(DeferringHandler handler, Limits limits, QObject* parent = nullptr);
    ~WebServer() override;

    // Listens at `address`:`port` (port 0: one the system picks), with TLS when `tls` is given. False, with the
    // reason in `error`, when it cannot.
    bool listen(const QHostAddress& address, quint16 port, const std::optional<QSslConfiguration>& tls, QString& error);
    quint16 port() const;
    int openConnections() const;

    // The address a request is counted under: the peer's, or, when the peer is this computer (a reverse proxy in
    // front), the last address the proxy added to X-Forwarded-For.
    static QString clientAddress(const QHostAddress& peer, const QByteArray& forwardedFor);

    // The HTTP server itself, known only to WebServer.cpp.
    class Listener;

private:
    std::unique_ptr<Listener> m_listener;
};
