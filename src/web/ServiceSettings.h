#pragma once

#include <QHostAddress>
#include <QString>

// How this computer's user runs the questionnaire service from the desktop program: off unless turned on, the
// address it listens on, the link base the invitations print, and whether plain HTTP is allowed beyond this computer.
// Kept in the program's settings file.
struct ServiceSettings {
    bool enabled = false;
    QString listen = QStringLiteral("127.0.0.1:8035");
    QString linkBase = QStringLiteral("http://127.0.0.1:8035");
    bool allowPlainHttp = false;

    static ServiceSettings stored();
    bool store() const;

    // Reads "ADDRESS:PORT" ("[ADDRESS]:PORT" for IPv6); false with the reason in `error` when it is not one.
    static bool parseListen(const QString& text, QHostAddress& address, quint16& port, QString& error);
    // Plain HTTP is offered only on this computer's own loopback, unless allowed in so many words: anywhere else the
    // links and the answers would cross the network readable.
    static bool plainHttpAllowed(const QHostAddress& address, bool allowed) { return allowed || address.isLoopback(); }

    // The link of an invitation's token under `base`.
    static QString linkFor(const QString& base, const QString& token);

    bool operator==(const ServiceSettings&) const = default;
};
