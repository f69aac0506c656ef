#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <string>
#include <thread>

// A server across town, played on this computer: a TCP relay on loopback that passes every connection made to it on
// to a server's Unix socket and holds each chunk of bytes, in either direction, for half the round trip before it
// passes it on. It counts the turns of each conversation: the server starting to answer after the client has spoken
// is one round trip, however many chunks either side sends. The relay runs on a thread of its own.
class LatencyRelay {
public:
    // Listens on 127.0.0.1, on a port the system picks; `upstreamSocket` is the server's socket file
    // (<folder>/.s.PGSQL.<port>).
    explicit LatencyRelay(std::string upstreamSocket);
    ~LatencyRelay();
    LatencyRelay(const LatencyRelay&) = delete;
    LatencyRelay& operator=(const LatencyRelay&) = delete;

    bool listening() const { return m_listener >= 0; }
    std::uint16_t port() const { return m_port; }

    // The round trip every chunk from now on is held for (0: passed on at once); each direction gets half.
    void setRoundTrip(std::chrono::microseconds roundTrip) { m_oneWay = roundTrip.count() / 2; }
    // Round trips counted over every connection since the last reset.
    std::int64_t roundTrips() const { return m_roundTrips.load(); }
    void resetRoundTrips() { m_roundTrips = 0; }

private:
    void run();

    std::string m_upstream;
    int m_listener = -1;
    int m_wake[2] = { -1, -1 };
    std::uint16_t m_port = 0;
    std::atomic<std::int64_t> m_oneWay { 0 };
    std::atomic<std::int64_t> m_roundTrips { 0 };
    std::thread m_thread;
};
