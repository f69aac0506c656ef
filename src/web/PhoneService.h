#pragma once

#include "web/ServiceSettings.h"

#include <QString>

#include <memory>

class Database;
class QuestionnaireService;
class WebServer;

// The questionnaire service inside the desktop program: runs on the program's own database while the program runs,
// as the settings say (off unless turned on). Plain HTTP only: beyond this computer's loopback only when the
// settings allow it (TLS is for `tovrin35 --serve`).
class PhoneService {
public:
    explicit PhoneService(Database& db);
    ~PhoneService();
    PhoneService(const PhoneService&) = delete;
    PhoneService& operator=(const PhoneService&) = delete;

    // Starts, restarts or stops the service as `settings` say; null when that worked, else why not.
    QString apply(const ServiceSettings& settings);
    bool running() const { return m_server != nullptr; }
    quint16 port() const;

private:
    Database& m_db;
    std::unique_ptr<QuestionnaireService> m_service;
    std::unique_ptr<WebServer> m_server;
};
