#include "LatencyRelay.h"

#include <algorithm>
#include <arpa/inet.h>
#include <cerrno>
#include <cstring>
#include <deque>
#include <fcntl.h>
#include <list>
#include <optional>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

void nonBlocking(int fd)
{
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
}

// Bytes read from one side, due at the other at `due`; an empty chunk with `end` set passes the end of the stream on.
struct Chunk {
    Clock::time_point due;
    std::vector<char> bytes;
    bool end = false;
};

// One direction of a conversation.
struct Pipe {
    int from = -1;
    int to = -1;
    std::deque<Chunk> held;
    std::size_t written = 0; // of the first chunk
    bool ended = false; // the end was read from `from`
    bool delivered = false; // and passed on to `to`
    bool blocked = false; // `to` took no more bytes last time

    bool wantsToWrite(Clock::time_point now) const { return !held.empty() && held.front().due <= now; }
};

struct Conversation {
    Pipe up; // client to server
    Pipe down; // server to client
    enum class Side { None, Client, Server } last = Side::None;
    bool broken = false;
};

// Reads what is there from the pipe's source, each chunk due at the other side at `due`.
void readInto(Pipe& pipe, Clock::time_point due)
{
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(pipe.from, buffer, sizeof buffer);
        if (n > 0) {
            pipe.held.push_back({ due, std::vector<char>(buffer, buffer + n), false });
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return;
        pipe.ended = true;
        pipe.held.push_back({ due, {}, true });
        return;
    }
}

// Passes on what is due; false when the receiving side is gone.
bool writeDue(Pipe& pipe, Clock::time_point now)
{
    pipe.blocked = false;
    while (pipe.wantsToWrite(now)) {
        Chunk& chunk = pipe.held.front();
        if (chunk.end) {
            ::shutdown(pipe.to, SHUT_WR);
            pipe.delivered = true;
            pipe.held.pop_front();
            continue;
        }
        const ssize_t n = ::send(pipe.to, chunk.bytes.data() + pipe.written, chunk.bytes.size() - pipe.written,
                                 MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            pipe.blocked = true;
            return true;
        }
        if (n < 0)
            return false;
        pipe.written += static_cast<std::size_t>(n);
        if (pipe.written == chunk.bytes.size()) {
            pipe.held.pop_front();
            pipe.written = 0;
        }
    }
    return true;
}

} // namespace

LatencyRelay::LatencyRelay(std::string upstreamSocket)
    : m_upstream(std::move(upstreamSocket))
{
    m_listener = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address {};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (m_listener < 0 || ::bind(m_listener, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0
        || ::listen(m_listener, 64) != 0
        || ::getsockname(m_listener, reinterpret_cast<sockaddr*>(&address), &length) != 0
        || ::pipe2(m_wake, O_CLOEXEC | O_NONBLOCK) != 0) {
        if (m_listener >= 0)
            ::close(m_listener);
        m_listener = -1;
        return;
    }
    m_port = ntohs(address.sin_port);
    nonBlocking(m_listener);
    m_thread = std::thread([this] { run(); });
}

LatencyRelay::~LatencyRelay()
{
    if (m_listener < 0)
        return;
    const char stop = 's';
    [[maybe_unused]] const ssize_t sent = ::write(m_wake[1], &stop, 1);
    m_thread.join();
    ::close(m_listener);
    ::close(m_wake[0]);
    ::close(m_wake[1]);
}

void LatencyRelay::run()
{
    std::list<Conversation> conversations;
    std::vector<pollfd> polled;
    std::vector<Conversation*> polledConversation;
    for (;;) {
        const Clock::time_point now = Clock::now();
        // Asleep until a socket has something or the next held chunk is due.
        std::optional<Clock::time_point> nextDue;
        polled.clear();
        polledConversation.clear();
        polled.push_back({ m_wake[0], POLLIN, 0 });
        polled.push_back({ m_listener, POLLIN, 0 });
        for (Conversation& c : conversations) {
            // A chunk that fell due since the last writes is passed on at once; one waiting for its receiver to
            // take more waits for that instead.
            for (Pipe* pipe : { &c.up, &c.down })
                if (!pipe->held.empty() && !pipe->blocked && (!nextDue || pipe->held.front().due < *nextDue))
                    nextDue = pipe->held.front().due;
            const short client = static_cast<short>((c.up.ended ? 0 : POLLIN) | (c.down.blocked ? POLLOUT : 0));
            const short server = static_cast<short>((c.down.ended ? 0 : POLLIN) | (c.up.blocked ? POLLOUT : 0));
            polled.push_back({ c.up.from, client, 0 });
            polled.push_back({ c.down.from, server, 0 });
            polledConversation.push_back(&c);
        }
        timespec wait {};
        timespec* timeout = nullptr;
        if (nextDue) {
            const auto ns = std::max<std::int64_t>(
                0, std::chrono::duration_cast<std::chrono::nanoseconds>(*nextDue - now).count());
            wait.tv_sec = static_cast<time_t>(ns / 1000000000);
            wait.tv_nsec = static_cast<long>(ns % 1000000000);
            timeout = &wait;
        }
        if (::ppoll(polled.data(), polled.size(), timeout, nullptr) < 0 && errno != EINTR)
            return;
        if (polled[0].revents != 0)
            break;

        const Clock::time_point arrived = Clock::now();
        const Clock::time_point due = arrived + std::chrono::microseconds(m_oneWay.load());
        if (polled[1].revents & POLLIN) {
            for (;;) {
                const int client = ::accept4(m_listener, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
                if (client < 0)
                    break;
                const int on = 1;
                ::setsockopt(client, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
                const int server = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
                sockaddr_un address {};
                address.sun_family = AF_UNIX;
                std::strncpy(address.sun_path, m_upstream.c_str(), sizeof address.sun_path - 1);
                if (server < 0 || ::connect(server, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
                    if (server >= 0)
                        ::close(server);
                    ::close(client);
                    continue;
                }
                nonBlocking(server);
                Conversation& c = conversations.emplace_back();
                c.up.from = c.down.to = client;
                c.down.from = c.up.to = server;
            }
        }
        for (std::size_t i = 0; i < polledConversation.size(); ++i) {
            Conversation& c = *polledConversation[i];
            // The turns are told as the bytes arrive here: the client's request, then the server's answer.
            const std::size_t upBefore = c.up.held.size();
            if (polled[2 + 2 * i].revents & (POLLIN | POLLHUP | POLLERR))
                readInto(c.up, due);
            if (c.up.held.size() > upBefore)
                c.last = Conversation::Side::Client;
            const std::size_t downBefore = c.down.held.size();
            if (polled[3 + 2 * i].revents & (POLLIN | POLLHUP | POLLERR))
                readInto(c.down, due);
            if (c.down.held.size() > downBefore) {
                if (c.last == Conversation::Side::Client)
                    ++m_roundTrips;
                c.last = Conversation::Side::Server;
            }
        }
        const Clock::time_point written = Clock::now();
        for (auto it = conversations.begin(); it != conversations.end();) {
            if (!writeDue(it->up, written) || !writeDue(it->down, written))
                it->broken = true;
            if (it->broken || (it->up.delivered && it->down.delivered)) {
                ::close(it->up.from);
                ::close(it->down.from);
                it = conversations.erase(it);
            } else {
                ++it;
            }
        }
    }
    for (Conversation& c : conversations) {
        ::close(c.up.from);
        ::close(c.down.from);
    }
}
