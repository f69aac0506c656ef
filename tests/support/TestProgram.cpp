#include "support/TestProgram.h"

#include "support/TestServer.h"
#include "text/ProgramSettings.h"

#include <QAbstractButton>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QRegularExpression>
#include <QSet>
#include <QSqlError>
#include <QSqlQuery>
#include <QTest>

bool TestProgram::serverByDefault()
{
    return qEnvironmentVariable("T35_TEST_ENGINE") == QLatin1String("server");
}

TestProgram::TestProgram(Where where)
{
    // Each case has a settings file of its own, never the user's.
    ProgramSettings::setFilePath(QDir(m_dir.path()).filePath(QStringLiteral("tovrin35.conf")));
    // The folder holds the skins the build delivers beside the program, as the program's own folder does.
    const QDir delivered(QStringLiteral(T35_DELIVERED_SKINS));
    const QStringList skins = delivered.entryList({QStringLiteral("*.skn")}, QDir::Files);
    if (skins.isEmpty())
        qFatal("no skins delivered in %s", qPrintable(delivered.path()));
    for (const QString& skin : skins)
        QFile::copy(delivered.filePath(skin), QDir(m_dir.path()).filePath(skin));

    if (where == OnServer || (where == Default && serverByDefault())) {
        m_server = TestServer::freshProgramDatabase();
        if (!m_server)
            qFatal("no test database on the server: %s", TestServer::missingReason());
        m_database = Database::onServer(*m_server);
        m_database->setFolders(m_dir.path(), m_dir.path());
    } else {
        m_database = std::make_unique<Database>(m_dir.path());
    }
    const Database::OpenResult opened = m_database->open();
    if (!opened.ok())
        qFatal("test database did not open: %s", qPrintable(opened.error));
}

TestProgram::~TestProgram()
{
    ProgramSettings::setFilePath(QString());
    m_database.reset();
    if (m_server)
        TestServer::drop(*m_server);
}

namespace {

// A test's statement as the server reads it: the program's table and column names written bare (as the data file
// takes them) are put in double quotes, since the server would fold them to lower case; quoted names and text values
// are left as they are.
QString forServer(const QString& sql)
{
    static const QSet<QString> names = [] {
        QSet<QString> all { QStringLiteral("IDE"), QStringLiteral("Answer"), QStringLiteral("QU"),
            QStringLiteral("Theme"), QStringLiteral("PPP"), QStringLiteral("ComparedPairs"),
            QStringLiteral("Invitation"), QStringLiteral("TokenHash"), QStringLiteral("Made"), QStringLiteral("Expires"),
            QStringLiteral("State"), QStringLiteral("MadeBy"), QStringLiteral("Changed"), QStringLiteral("RevokedBy"),
            QStringLiteral("FirstCode"), QStringLiteral("SecondCode"), QStringLiteral("Kind") };
        for (const QStringList* columns : { &Database::ideColumns(), &Database::answerColumns(),
                 &Database::quColumns(), &Database::themeColumns() })
            for (const QString& column : *columns)
                if (!column.front().isDigit())
                    all << column;
        return all;
    }();
    QString out;
    qsizetype i = 0;
    while (i < sql.size()) {
        const QChar c = sql.at(i);
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            const qsizetype end = sql.indexOf(c, i + 1);
            const qsizetype stop = end < 0 ? sql.size() : end + 1;
            out += sql.mid(i, stop - i);
            i = stop;
        } else if (c.isLetter() || c == QLatin1Char('_')) {
            qsizetype end = i;
            while (end < sql.size() && (sql.at(end).isLetterOrNumber() || sql.at(end) == QLatin1Char('_')))
                ++end;
            const QString word = sql.mid(i, end - i);
            out += names.contains(word) ? QLatin1Char('"') + word + QLatin1Char('"') : word;
            i = end;
        } else {
            out += c;
            ++i;
        }
    }
    return out;
}

// A statement without values is run as it is: the server prepares only statements that read or write rows.
bool run(QSqlQuery& q, const QString& given, const QVariantList& values, bool server)
{
    const QString sql = server ? forServer(given) : given;
    if (values.isEmpty())
        return q.exec(sql);
    if (!q.prepare(sql))
        return false;
    for (const QVariant& v : values)
        q.addBindValue(v);
    return q.exec();
}

void failAt(const QString& what, const std::source_location& where)
{
    QTest::qFail(qPrintable(what), where.file_name(), static_cast<int>(where.line()));
}

} // namespace

QVariant TestProgram::scalar(const QString& sql, const QVariantList& values, std::source_location where)
{
    QSqlQuery q(m_database->connection());
    if (!run(q, sql, values, onServer())) {
        failAt(QStringLiteral("query failed: %1: %2").arg(sql, q.lastError().text()), where);
        return {};
    }
    return q.next() ? q.value(0) : QVariant();
}

bool TestProgram::exec(const QString& sql, const QVariantList& values, std::source_location where)
{
    QSqlQuery q(m_database->connection());
    if (!run(q, sql, values, onServer())) {
        failAt(QStringLiteral("statement failed: %1: %2").arg(sql, q.lastError().text()), where);
        return false;
    }
    return true;
}

void TestProgram::addExaminee(const QString& code, const QString& firstName, const QString& group)
{
    exec(QStringLiteral("INSERT INTO \"IDE\" (\"Code\", \"FName\", \"LName\", \"Jens\", \"Sen\", \"Taahol\", "
                        "\"Tahsil\", \"Group\", \"Date\", \"Time\") "
                        "VALUES (?, ?, 'Ahmadi', 'مرد', '30', 'متأهل', 'Lisans', ?, '1405/09/17', '10:00')"),
        { code, firstName, group });
    exec(QStringLiteral("INSERT INTO \"Answer\" (\"Code\") VALUES (?)"), { code });
}

void TestProgram::setAnswers(const QString& code, const QStringList& answers)
{
    // One statement, so one write to the disk instead of 35.
    QStringList columns;
    QVariantList values;
    for (int i = 0; i < answers.size() && i < 35; ++i) {
        columns << QStringLiteral("\"%1\" = ?").arg(i + 1);
        values << (answers.at(i).isEmpty() ? QVariant() : QVariant(answers.at(i)));
    }
    if (columns.isEmpty())
        return;
    values << code;
    exec(QStringLiteral("UPDATE \"Answer\" SET %1 WHERE \"Code\" = ?").arg(columns.join(QStringLiteral(", "))), values);
}

QString TestProgram::answer(const QString& code, int item)
{
    return scalar(QStringLiteral("SELECT \"%1\" FROM \"Answer\" WHERE \"Code\" = ?").arg(item), { code }).toString();
}

QString TestProgram::ideField(const QString& code, const QString& column)
{
    return scalar(QStringLiteral("SELECT \"%1\" FROM \"IDE\" WHERE \"Code\" = ?").arg(column), { code }).toString();
}

int TestProgram::rowCount(const QString& table, const QString& column, const QString& value)
{
    if (column.isEmpty())
        return scalar(QStringLiteral("SELECT COUNT(*) FROM \"%1\"").arg(table)).toInt();
    return scalar(QStringLiteral("SELECT COUNT(*) FROM \"%1\" WHERE \"%2\" = ?").arg(table, column), { value }).toInt();
}

QString TestProgram::skinColour(const QString& skinFile, const QString& name) const
{
    QFile file(QDir(m_dir.path()).filePath(skinFile));
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    const QRegularExpression line(
        QStringLiteral("^%1\\s*=\\s*(#[0-9a-fA-F]{6})\\s*$").arg(QRegularExpression::escape(name)),
        QRegularExpression::MultilineOption);
    return line.match(QString::fromUtf8(file.readAll())).captured(1).toLower();
}

bool Drive::click(QWidget* root, const QString& name, std::source_location where)
{
    auto* button = find<QAbstractButton>(root, name, where);
    if (!button)
        return false;
    if (!button->isVisible() || !button->isEnabled()) {
        failAt(QStringLiteral("%1 is hidden or disabled and cannot be clicked").arg(name), where);
        return false;
    }
    QTest::mouseClick(button, Qt::LeftButton);
    return true;
}

bool Drive::waitUntilActive(QWidget* window, std::source_location where)
{
    if (window && QTest::qWaitForWindowActive(window))
        return true;
    failAt(window ? QStringLiteral("%1 did not become active").arg(window->objectName())
                  : QStringLiteral("there is no window to become active"),
        where);
    return false;
}

void Drive::type(QWidget* widget, const QString& text)
{
    for (const QChar ch : text) {
        if (ch >= QLatin1Char('0') && ch <= QLatin1Char('9'))
            QTest::keyClick(widget, static_cast<Qt::Key>(Qt::Key_0 + (ch.unicode() - '0')));
        else
            QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(ch), Qt::NoModifier);
    }
}

void Drive::paste(QWidget* widget, const QString& text)
{
    QApplication::clipboard()->setText(text);
    if (auto* edit = qobject_cast<QLineEdit*>(widget))
        edit->paste();
}
