#pragma once

#include <QByteArray>
#include <QList>
#include <QString>

#include <utility>

// A request as the questionnaire's routes see it, and their answer: plain values, so the routes are tested without
// a socket and nothing of the HTTP server's own types reaches them.
struct WebRequest {
    QByteArray method; // "GET", "POST", ...
    QString path; // without the query
    QByteArray body;
    QString client; // the address the request came from (the rate limit counts per address)
};

struct WebResponse {
    int status = 200;
    QByteArray contentType;
    QByteArray body;
    QList<std::pair<QByteArray, QByteArray>> headers; // beside the ones every response carries

    static WebResponse redirect(const QString& path)
    {
        WebResponse response;
        response.status = 303;
        response.headers.append({ QByteArrayLiteral("Location"), path.toUtf8() });
        return response;
    }
};

// The headers every response carries, whatever it is: no script, frame or form target from elsewhere, no guessing of
// types, no address passed on to another site, nothing kept by a browser or a proxy.
inline const QList<std::pair<QByteArray, QByteArray>>& alwaysHeaders()
{
    static const QList<std::pair<QByteArray, QByteArray>> headers {
        { QByteArrayLiteral("Content-Security-Policy"),
            QByteArrayLiteral("default-src 'self'; form-action 'self'; frame-ancestors 'none'") },
        { QByteArrayLiteral("X-Content-Type-Options"), QByteArrayLiteral("nosniff") },
        { QByteArrayLiteral("Referrer-Policy"), QByteArrayLiteral("no-referrer") },
        { QByteArrayLiteral("Cache-Control"), QByteArrayLiteral("no-store") },
    };
    return headers;
}
