#pragma once

#include "support/TestServer.h"

#include <QTest>

#include <optional>

// A database of its own on the test cluster for one test, dropped when the test is done, whichever way it ends;
// nothing when no test cluster runs, and the test skips itself.
class ScratchServer {
public:
    ScratchServer()
        : m_address(TestServer::available() ? TestServer::freshDatabase() : std::nullopt)
    {
    }
    ~ScratchServer()
    {
        if (m_address)
            TestServer::drop(*m_address);
    }
    ScratchServer(const ScratchServer&) = delete;
    ScratchServer& operator=(const ScratchServer&) = delete;

    bool available() const { return m_address.has_value(); }
    const ServerAddress& address() const { return *m_address; }

private:
    std::optional<ServerAddress> m_address;
};

#define SKIP_WITHOUT_SERVER(scratch)                                                                                   \
    if (!(scratch).available())                                                                                        \
    QSKIP(TestServer::missingReason())
