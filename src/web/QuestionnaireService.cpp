#include "web/QuestionnaireService.h"

#include "data/Database.h"
#include "data/Invitations.h"
#include "data/QuestionnaireItems.h"
#include "data/TableCursor.h"
#include "data/Transaction.h"
#include "questionnaire/AnswerSheet.h"
#include "questionnaire/Keying.h"
#include "questionnaire/TestTexts.h"
#include "ui/MessageCatalogue.h"
#include "web/PageTexts.h"

#include <QFile>
#include <QLoggingCategory>
#include <QUrlQuery>

Q_LOGGING_CATEGORY(lcWeb, "tovrin35.web")

namespace {

constexpr int StoreWindowMs = 3;

const QByteArray Html = QByteArrayLiteral("text/html; charset=utf-8");

QByteArray resource(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const QByteArray& pageTemplate()
{
    static const QByteArray text = resource(QStringLiteral(":/web/page.html"));
    return text;
}

// Numbers on the page are drawn in Persian digits.
QString persian(int number)
{
    QString text = QString::number(number);
    for (QChar& c : text)
        if (c.isDigit())
            c = QChar(0x06F0 + c.digitValue());
    return text;
}

QString escaped(const QString& text)
{
    return text.toHtmlEscaped();
}

QString link(const QString& token, const QString& action = QString())
{
    return QStringLiteral("/a/") + token + (action.isEmpty() ? QString() : QLatin1Char('/') + action);
}

WebResponse refused(int status, const QByteArray& allow = QByteArray())
{
    WebResponse response;
    response.status = status;
    response.contentType = QByteArrayLiteral("text/plain; charset=utf-8");
    response.body = PageTexts::NotAccepted.toUtf8();
    if (!allow.isEmpty())
        response.headers.append({ QByteArrayLiteral("Allow"), allow });
    return response;
}

WebResponse file(const QString& path, const QByteArray& type)
{
    static QHash<QString, QByteArray> read;
    auto it = read.find(path);
    if (it == read.end())
        it = read.insert(path, resource(path));
    WebResponse response;
    response.contentType = type;
    response.body = *it;
    return response;
}

// The first item without an answer, or 0 when all have one.
int firstUnanswered(const AnswerSheet& sheet)
{
    for (int item = 1; item <= QuestionnaireItemCount; ++item)
        if (sheet.storedOption(item) == 0)
            return item;
    return 0;
}

} // namespace

QuestionnaireService::QuestionnaireService(Database& db, Clock clock)
    : m_db(db)
    , m_clock(std::move(clock))
    , m_limiter(m_clock)
{
    // A choice waits a few milliseconds for the ones that come with it, so under load a group holds everything that
    // came in meanwhile and one commit (one flush to disk) serves them all; a choice alone waits no longer than that.
    m_storeTimer.setSingleShot(true);
    m_storeTimer.setTimerType(Qt::PreciseTimer);
    m_storeTimer.setInterval(StoreWindowMs);
    QObject::connect(&m_storeTimer, &QTimer::timeout, [this] { storeWaiting(); });
}

WebResponse QuestionnaireService::handle(const WebRequest& request)
{
    WebResponse response;
    if (isChoice(request)) {
        Choice one { request, {}, {}, {}, {} };
        store({ &one });
        response = one.response;
    } else {
        response = route(request);
    }
    qCInfo(lcWeb).noquote() << logLine(request, response.status);
    return response;
}

void QuestionnaireService::handle(const WebRequest& request, Reply reply)
{
    // A page asked for while choices wait is answered after them, so one phone's page shows its own last choice.
    if (!isChoice(request) && m_waiting.isEmpty()) {
        reply(handle(request));
        return;
    }
    m_waiting.append(Choice { request, std::move(reply), {}, {}, {} });
    if (!m_storeTimer.isActive())
        m_storeTimer.start();
}

bool QuestionnaireService::isChoice(const WebRequest& request)
{
    if (request.method != "POST")
        return false;
    const QStringList parts = request.path.split(QLatin1Char('/'));
    if (parts.size() != 4 || !parts.at(0).isEmpty() || parts.at(1) != QLatin1String("a"))
        return false;
    bool number = false;
    const int item = parts.at(3).toInt(&number);
    return number && item >= 1 && item <= QuestionnaireItemCount;
}

void QuestionnaireService::storeWaiting()
{
    QList<Choice> waiting;
    waiting.swap(m_waiting);
    QList<Choice*> choices;
    for (Choice& choice : waiting)
        if (isChoice(choice.request))
            choices.append(&choice);
    store(choices);
    for (Choice& other : waiting) {
        if (!isChoice(other.request))
            other.response = route(other.request);
    }
    for (const Choice& answered : std::as_const(waiting)) {
        qCInfo(lcWeb).noquote() << logLine(answered.request, answered.response.status);
        answered.reply(answered.response);
    }
}

void QuestionnaireService::store(const QList<Choice*>& choices)
{
    // Each choice goes the way a single one goes (its link looked up, keyed as the answer sheet keys it), only within
    // a transaction shared with the others: the look-up of the link is then part of the write, so a link revoked or
    // finished meanwhile stores nothing. The group's links are read in one statement and its choices written in
    // another, and on the server the transaction takes the program's writers' lock once for the group.
    Transaction transaction(m_db);
    bool stored = transaction.begun();
    if (stored) {
        QStringList tokens;
        for (const Choice* choice : choices)
            tokens << choice->request.path.section(QLatin1Char('/'), 2, 2);
        Invitations::FoundAll found = Invitations::findAll(m_db, tokens, m_clock());
        stored = found.read;
        m_found = std::move(found.byToken);
    }
    m_storing = true;
    m_keyed.clear();
    for (Choice* choice : choices) {
        if (!stored)
            break;
        m_routing = choice;
        choice->response = route(choice->request);
    }
    m_routing = nullptr;
    m_storing = false;
    m_found.clear();
    if (stored && !m_keyed.isEmpty()) {
        const AnswerSheet::Together together = AnswerSheet::recordTogetherWithin(m_db, m_keyed);
        stored = together.ok;
        // A sheet deleted since its link was made takes nothing: that choice's link opens nothing any more.
        QStringList opened;
        for (Choice* choice : choices) {
            if (choice->code.isEmpty())
                continue;
            if (!together.codes.contains(choice->code))
                choice->response = closedLink();
            else if (!choice->openedLink.isEmpty() && !opened.contains(choice->openedLink))
                opened << choice->openedLink;
        }
        // The links whose first choice is among these move on to answering together.
        if (stored && !opened.isEmpty())
            stored = Invitations::moveAllWithin(m_db, opened, Invitations::State::Answering).ok;
    }
    m_keyed.clear();
    if (stored && !transaction.commit())
        stored = false;
    if (!stored) {
        // Nothing of the group is stored: every choice in it is told so, and the phone offers it again.
        transaction.rollback();
        for (Choice* choice : choices)
            choice->response = failed();
    }
}

QString QuestionnaireService::logLine(const WebRequest& request, int status)
{
    QStringList parts = request.path.split(QLatin1Char('/'));
    // A link's token is never written down: the log names only which of the page's routes was asked for.
    if (parts.size() > 2 && parts.at(1) == QLatin1String("a"))
        parts[2] = QStringLiteral("*");
    QString path = parts.join(QLatin1Char('/'));
    if (path.size() > 64)
        path = path.left(64) + QStringLiteral("...");
    for (QChar& c : path)
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            c = QLatin1Char('?');
    return QStringLiteral("%1 %2 %3")
        .arg(QString::fromLatin1(request.method.left(16).toPercentEncoding()), path)
        .arg(status);
}

WebResponse QuestionnaireService::route(const WebRequest& request)
{
    const bool get = request.method == "GET";
    const bool post = request.method == "POST";
    if (!get && !post)
        return refused(405, QByteArrayLiteral("GET, POST"));
    const QString& path = request.path;
    if (path == QLatin1String("/style.css") || path == QLatin1String("/font/regular.ttf")
        || path == QLatin1String("/font/bold.ttf")) {
        if (!get)
            return refused(405, QByteArrayLiteral("GET"));
        if (path == QLatin1String("/style.css"))
            return file(QStringLiteral(":/web/style.css"), QByteArrayLiteral("text/css; charset=utf-8"));
        return file(path.endsWith(QLatin1String("bold.ttf")) ? QStringLiteral(":/fonts/TovrinVazirmatn-Bold.ttf")
                                                             : QStringLiteral(":/fonts/TovrinVazirmatn-Regular.ttf"),
            QByteArrayLiteral("font/ttf"));
    }
    const QStringList parts = path.split(QLatin1Char('/'));
    if (parts.size() < 3 || parts.size() > 4 || !parts.at(0).isEmpty() || parts.at(1) != QLatin1String("a"))
        return page(404, PageTexts::NotFound, QStringLiteral("<p>%1</p>").arg(escaped(PageTexts::NotFound)), false);
    if (m_limiter.isBlocked(request.client))
        return page(429, PageTexts::TooMany, QStringLiteral("<p>%1</p>").arg(escaped(PageTexts::TooMany)), false);
    return questionnaire(request, parts.at(2), parts.size() == 4 ? parts.at(3) : QString());
}

WebResponse QuestionnaireService::questionnaire(const WebRequest& request, const QString& token, const QString& action)
{
    // Unknown, revoked and expired links go the same way, through one look-up, to one page: a choice's was made
    // with the others of its group.
    const auto looked = m_storing ? m_found.constFind(token) : m_found.cend();
    const Invitations::Found found
        = looked != m_found.cend() ? *looked : Invitations::find(m_db, token, m_clock());
    if (found.status == Invitations::Found::Status::Failed)
        return failed();
    if (found.status == Invitations::Found::Status::Closed) {
        m_limiter.noteWrong(request.client);
        return closedLink();
    }
    const bool post = request.method == "POST";
    bool isItem = false;
    const int item = action.toInt(&isItem);
    isItem = isItem && item >= 1 && item <= QuestionnaireItemCount && action == QString::number(item);
    const bool known = action.isEmpty() || isItem || action == QLatin1String("start")
        || action == QLatin1String("review") || action == QLatin1String("finish") || action == QLatin1String("thanks");
    if (!known)
        return page(404, PageTexts::NotFound, QStringLiteral("<p>%1</p>").arg(escaped(PageTexts::NotFound)));
    if (action == QLatin1String("finish") ? !post : (post && !isItem))
        return refused(405, action == QLatin1String("finish") ? QByteArrayLiteral("POST")
                : isItem                                      ? QByteArrayLiteral("GET, POST")
                                                              : QByteArrayLiteral("GET"));

    if (found.state == Invitations::State::Finished) {
        if (action == QLatin1String("thanks"))
            return page(200, PageTexts::Thanks, QStringLiteral("<p>%1</p>").arg(escaped(PageTexts::Thanks)));
        if (!action.isEmpty())
            return WebResponse::redirect(link(token));
        return page(200, PageTexts::Complete, QStringLiteral("<p>%1</p>").arg(escaped(PageTexts::Complete)));
    }
    if (action == QLatin1String("thanks"))
        return WebResponse::redirect(link(token));

    if (isItem && post) {
        const QUrlQuery form(QString::fromUtf8(request.body));
        bool number = false;
        const int option = form.queryItemValue(QStringLiteral("option")).toInt(&number);
        if (!number || option < 1 || option > 5)
            return refused(400);
        // A choice is routed only inside store()'s transaction, which writes it with the others of its group.
        if (!m_storing || !m_routing)
            return failed();
        m_keyed.append({ found.code, item, option });
        m_routing->code = found.code;
        if (found.state == Invitations::State::Open)
            m_routing->openedLink = found.tokenHash;
        return WebResponse::redirect(
            link(token, item < QuestionnaireItemCount ? QString::number(item + 1) : QStringLiteral("review")));
    }

    AnswerSheet sheet(m_db, AnswerSheet::Reach::AnswersOnly);
    const AnswerSheet::Opening opening = sheet.open(found.code);
    if (opening.status != AnswerSheet::Opened::Ready)
        return opening.status == AnswerSheet::Opened::Failed ? failed() : closedLink();

    if (action.isEmpty()) {
        // Coming back to the link carries on where the answers stop.
        if (sheet.answeredCount() > 0)
            return WebResponse::redirect(
                link(token, firstUnanswered(sheet) ? QString::number(firstUnanswered(sheet)) : QStringLiteral("review")));
    }
    if (action.isEmpty() || action == QLatin1String("start")) {
        QString content = QStringLiteral("<h1>%1</h1><p>%2</p><p class=\"legend\">%3</p>")
                              .arg(escaped(TestTexts::Title), escaped(TestTexts::Instruction), escaped(TestTexts::Legend));
        const int first = firstUnanswered(sheet);
        content += QStringLiteral("<a class=\"wide primary\" id=\"start\" href=\"%1\">%2</a>")
                       .arg(link(token, first ? QString::number(first) : QStringLiteral("review")),
                           escaped(TestTexts::Start));
        return page(200, TestTexts::Title, content);
    }
    if (isItem) {
        const AnswerSheet::Statement statement = sheet.statement(item);
        if (!statement.ok)
            return failed();
        const int chosen = sheet.storedOption(item);
        QString content = QStringLiteral("<p class=\"position\" id=\"position\">%1</p><p class=\"statement\" id=\"statement\">%2</p>")
                              .arg(escaped(PageTexts::Position.arg(persian(item), persian(QuestionnaireItemCount))),
                                  escaped(statement.text));
        content += QStringLiteral("<form method=\"post\" action=\"%1\" class=\"options\">").arg(link(token, action));
        for (int option = 1; option <= 5; ++option)
            content += QStringLiteral("<button type=\"submit\" name=\"option\" value=\"%1\" id=\"option%1\"%2>%3</button>")
                           .arg(option)
                           .arg(option == chosen ? QStringLiteral(" class=\"chosen\" aria-pressed=\"true\"") : QString())
                           .arg(escaped(optionCaptions().at(option - 1)));
        content += QStringLiteral("</form><nav class=\"moves\"><a id=\"back\" href=\"%1\">%2</a><a id=\"next\" href=\"%3\">%4</a></nav>")
                       .arg(link(token, item > 1 ? QString::number(item - 1) : QStringLiteral("start")),
                           escaped(TestTexts::Back),
                           link(token, item < QuestionnaireItemCount ? QString::number(item + 1) : QStringLiteral("review")),
                           escaped(TestTexts::Next));
        return page(200, PageTexts::Position.arg(persian(item), persian(QuestionnaireItemCount)), content);
    }
    if (action == QLatin1String("review")) {
        QString content;
        QStringList missing;
        for (int i = 1; i <= QuestionnaireItemCount; ++i)
            if (sheet.storedOption(i) == 0)
                missing << QStringLiteral("<li><a href=\"%1\">%2</a></li>").arg(link(token, QString::number(i)), persian(i));
        if (missing.isEmpty())
            content += QStringLiteral("<p id=\"unanswered\">%1</p>").arg(escaped(PageTexts::AllAnswered));
        else
            content += QStringLiteral("<p>%1</p><ul class=\"unanswered\" id=\"unanswered\">%2</ul>")
                           .arg(escaped(PageTexts::Unanswered), missing.join(QString()));
        content += QStringLiteral("<p>%1</p><form method=\"post\" action=\"%2\"><button type=\"submit\" class=\"wide primary\" id=\"finish\">%3</button></form>")
                       .arg(escaped(PageTexts::FinishNote), link(token, QStringLiteral("finish")), escaped(Msg::End));
        content += QStringLiteral("<nav class=\"moves\"><a id=\"back\" href=\"%1\">%2</a></nav>")
                       .arg(link(token, QString::number(QuestionnaireItemCount)), escaped(TestTexts::Back));
        return page(200, PageTexts::Review, content);
    }
    // "finish"
    const Invitations::Changed finished = Invitations::moveTo(m_db, found.tokenHash, Invitations::State::Finished);
    if (!finished.ok)
        return failed();
    return WebResponse::redirect(link(token, QStringLiteral("thanks")));
}

WebResponse QuestionnaireService::page(int status, const QString& title, const QString& content, bool withClinic)
{
    QString header;
    if (withClinic) {
        const QString clinic = clinicName();
        if (!clinic.trimmed().isEmpty())
            header = QStringLiteral("<header>%1</header>").arg(escaped(clinic));
    }
    QByteArray body = pageTemplate();
    body.replace("{{title}}", escaped(title).toUtf8());
    body.replace("{{header}}", header.toUtf8());
    body.replace("{{content}}", content.toUtf8());
    WebResponse response;
    response.status = status;
    response.contentType = Html;
    response.body = body;
    return response;
}

WebResponse QuestionnaireService::closedLink()
{
    return page(404, PageTexts::Closed, QStringLiteral("<p>%1</p>").arg(escaped(PageTexts::Closed)), false);
}

WebResponse QuestionnaireService::failed()
{
    WebResponse response
        = page(503, PageTexts::NotStored, QStringLiteral("<p>%1</p>").arg(escaped(PageTexts::NotStored)), false);
    response.headers.append({ QByteArrayLiteral("Retry-After"), QByteArrayLiteral("5") });
    return response;
}

QString QuestionnaireService::clinicName()
{
    TableCursor theme(m_db, QStringLiteral("Theme"));
    return theme.field(QStringLiteral("Name"));
}
