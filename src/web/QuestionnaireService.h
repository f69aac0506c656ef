#pragma once

#include "data/Invitations.h"
#include "questionnaire/AnswerSheet.h"
#include "web/RateLimiter.h"
#include "web/WebMessage.h"

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QTimer>

#include <functional>

class Database;

// The questionnaire as an examinee answers it on a phone, at /a/TOKEN: the introduction, the 35 statements one at a
// time, the list of unanswered ones and "پايان", then thanks. Routes are plain functions of the request; each choice
// goes through the same answer sheet as the test window and is stored at once. Pages need no script: every choice
// is a form's POST answered by a redirect. The pages show the clinic's name and never the examinee's name or code.
//
// A link that opens nothing (unknown, revoked, expired) gets one neutral page; such links are counted per client
// address and an address that keeps guessing is refused for a while.
class QuestionnaireService {
public:
    using Clock = std::function<QDateTime()>;

    QuestionnaireService(Database& db, Clock clock);

    WebResponse handle(const WebRequest& request);

    // The same, answered through `reply`: at once, or for a choice once it is stored. The choices that arrive while
    // the service is busy are stored together, in one write transaction, and each is answered only after that
    // transaction is committed (or with the refusal page when it is not: then none of them is stored).
    using Reply = std::function<void(const WebResponse&)>;
    void handle(const WebRequest& request, Reply reply);

    // How a request is named in the log: its method, its path with any token replaced, and the status.
    static QString logLine(const WebRequest& request, int status);

private:
    // A request waiting to be answered: a choice, or a page asked for after one.
    struct Choice {
        WebRequest request;
        Reply reply;
        WebResponse response;
        // Set while a choice is routed inside store(): whose sheet it goes to, and its link when that is still open.
        QString code;
        QString openedLink;
    };
    static bool isChoice(const WebRequest& request);
    void storeWaiting();
    // Routes the choices inside one write transaction, so each is stored with the others or none is.
    void store(const QList<Choice*>& choices);

    WebResponse route(const WebRequest& request);
    WebResponse questionnaire(const WebRequest& request, const QString& token, const QString& action);
    WebResponse page(int status, const QString& title, const QString& content, bool withClinic = true);
    WebResponse closedLink();
    WebResponse failed();
    QString clinicName();

    Database& m_db;
    Clock m_clock;
    RateLimiter m_limiter;
    QList<Choice> m_waiting;
    QTimer m_storeTimer;
    bool m_storing = false; // routing choices inside store()'s transaction
    QHash<QString, Invitations::Found> m_found; // the links of the choices being stored, by token
    Choice* m_routing = nullptr; // the choice being routed inside store()
    QList<AnswerSheet::Choice> m_keyed; // the choices routed so far, stored together once all are routed
};
