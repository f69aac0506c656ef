#include "web/RateLimiter.h"

namespace {

// Past this many addresses the ones with nothing to remember are dropped, so a flood of addresses cannot grow memory.
constexpr int AddressesKept = 10000;

} // namespace

RateLimiter::RateLimiter(Clock clock, int allowed, int windowSeconds, int blockSeconds)
    : m_clock(std::move(clock))
    , m_allowed(allowed)
    , m_windowSeconds(windowSeconds)
    , m_blockSeconds(blockSeconds)
{
}

bool RateLimiter::isBlocked(const QString& client)
{
    const auto it = m_records.find(client);
    if (it == m_records.end() || !it->blockedUntil.isValid())
        return false;
    if (m_clock() < it->blockedUntil)
        return true;
    it->blockedUntil = QDateTime();
    it->wrong.clear();
    return false;
}

void RateLimiter::noteWrong(const QString& client)
{
    const QDateTime now = m_clock();
    if (m_records.size() > AddressesKept)
        forgetOld(now);
    Record& record = m_records[client];
    const QDateTime since = now.addSecs(-m_windowSeconds);
    while (!record.wrong.isEmpty() && record.wrong.first() <= since)
        record.wrong.removeFirst();
    record.wrong.append(now);
    if (record.wrong.size() >= m_allowed)
        record.blockedUntil = now.addSecs(m_blockSeconds);
}

void RateLimiter::forgetOld(const QDateTime& now)
{
    const QDateTime since = now.addSecs(-m_windowSeconds);
    for (auto it = m_records.begin(); it != m_records.end();) {
        const bool blocked = it->blockedUntil.isValid() && now < it->blockedUntil;
        if (!blocked && (it->wrong.isEmpty() || it->wrong.last() <= since))
            it = m_records.erase(it);
        else
            ++it;
    }
}
