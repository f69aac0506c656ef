#pragma once

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QString>

#include <functional>

// Counts the links that opened nothing, per client address: after `allowed` within a minute the address is
// refused for ten minutes, so guessing links is hopeless. The clock is passed in; tests move it.
class RateLimiter {
public:
    using Clock = std::function<QDateTime()>;

    explicit RateLimiter(Clock clock, int allowed = 20, int windowSeconds = 60, int blockSeconds = 600);

    bool isBlocked(const QString& client);
    // A wrong link from `client`.
    void noteWrong(const QString& client);

private:
    struct Record {
        QList<QDateTime> wrong; // within the window
        QDateTime blockedUntil;
    };
    void forgetOld(const QDateTime& now);

    Clock m_clock;
    int m_allowed;
    int m_windowSeconds;
    int m_blockSeconds;
    QHash<QString, Record> m_records;
};
