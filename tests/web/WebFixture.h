#pragma once

#include "data/Invitations.h"
#include "support/TestProgram.h"
#include "web/QuestionnaireService.h"

#include <QTest>

// A program with one registered examinee, an invitation for them and the service on its database, with a clock the
// test moves.
struct WebFixture {
    explicit WebFixture(TestProgram::Where where = TestProgram::Default)
        : program(where)
        , service(program.database(), [this] { return now; })
    {
        program.addExaminee(Code, QStringLiteral("Zarrinnegar"));
        program.exec(QStringLiteral("UPDATE Theme SET Name = ?"), { ClinicName });
        token = invite(Code);
    }

    QString invite(const QString& code, int days = 7)
    {
        const Invitations::Made made = Invitations::make(program.database(), code, days, QStringLiteral("test"), now);
        if (made.status != Invitations::Made::Status::Made)
            QTest::qFail("the invitation was not made", __FILE__, __LINE__);
        return made.token;
    }

    WebResponse get(const QString& path, const QString& client = QStringLiteral("192.0.2.1"))
    {
        return service.handle({ "GET", path, {}, client });
    }
    WebResponse post(const QString& path, const QByteArray& body, const QString& client = QStringLiteral("192.0.2.1"))
    {
        return service.handle({ "POST", path, body, client });
    }
    QString link(const QString& action = QString()) const
    {
        return QStringLiteral("/a/") + token + (action.isEmpty() ? QString() : QLatin1Char('/') + action);
    }
    static QString location(const WebResponse& response)
    {
        for (const auto& [name, value] : response.headers)
            if (name == "Location")
                return QString::fromUtf8(value);
        return QString();
    }

    static inline const QString Code = QStringLiteral("98765");
    static inline const QString ClinicName = QStringLiteral("مرکز مشاوره آرامش");

    QDateTime now = QDateTime(QDate(2026, 3, 20), QTime(9, 0), Qt::UTC);
    TestProgram program;
    QuestionnaireService service;
    QString token;
};
