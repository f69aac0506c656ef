#pragma once

#include "data/Database.h"
#include "data/ServerAddress.h"
#include "support/ScriptedFileDialogs.h"
#include "support/ScriptedMessages.h"

#include <QString>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariant>

#include <memory>
#include <optional>
#include <source_location>

class QWidget;

// A program folder in a temporary directory with a fresh database, the scripted message seam, and helpers to
// drive widgets by objectName and read the database back. One per test function.
// The database is the program's data file in that folder, or a fresh database of its own on the test cluster
// (TestServer), dropped at the end. Without a choice it is the file, unless T35_TEST_ENGINE=server: the tests of
// the data layer run a second time so (tests/CMakeLists.txt, t35_add_server_test).
class TestProgram {
public:
    enum Where { Default, OnFile, OnServer };

    explicit TestProgram(Where where = Default);
    ~TestProgram();

    // Whether a test program made without a choice runs on the server.
    static bool serverByDefault();

    QString folder() const { return m_dir.path(); }
    bool onServer() const { return m_server.has_value(); }
    // The server database, when on one.
    std::optional<ServerAddress> server() const { return m_server; }
    Database& database() { return *m_database; }
    ScriptedMessages& messages() { return m_messages; }
    ScriptedFileDialogs& fileDialogs() { return m_fileDialogs; }

    // Runs `sql` with the values bound and returns the first column of the first row (invalid when none).
    // A statement that fails fails the current test, at the caller's line.
    QVariant scalar(const QString& sql, const QVariantList& values = {},
        std::source_location where = std::source_location::current());
    // Runs a statement; a failure fails the current test, at the caller's line, and returns false.
    bool exec(const QString& sql, const QVariantList& values = {},
        std::source_location where = std::source_location::current());

    // Registers an examinee directly in the tables (IDE and Answer rows with the same code).
    void addExaminee(const QString& code, const QString& firstName = QStringLiteral("Ali"),
        const QString& group = QStringLiteral("A"));
    // Stores the 35 keyed answers of an examinee (index 0 = item 1; empty text leaves an item unanswered).
    void setAnswers(const QString& code, const QStringList& answers);
    QString answer(const QString& code, int item);
    QString ideField(const QString& code, const QString& column);
    int rowCount(const QString& table, const QString& column = QString(), const QString& value = QString());

    // A colour as a skin file in the program's folder writes it ("window = #f3ead8" gives "#f3ead8"), read without
    // the program's own reader, so a window's palette can be compared with it; "" when there is none.
    QString skinColour(const QString& skinFile, const QString& name) const;

private:
    QTemporaryDir m_dir;
    std::optional<ServerAddress> m_server;
    std::unique_ptr<Database> m_database;
    ScriptedMessages m_messages;
    ScriptedFileDialogs m_fileDialogs;
};

namespace Drive {

// Finds a child of `root` by objectName. A missing one fails the current test at the caller's line and gives
// nullptr; to check that a control is absent, use findChild.
template <typename T>
T* find(QWidget* root, const QString& name, std::source_location where = std::source_location::current());

// Clicks the named button (or any QAbstractButton) with the left mouse button. A missing, hidden or disabled
// button fails the current test at the caller's line (a person could not click it) and is not clicked.
bool click(QWidget* root, const QString& name, std::source_location where = std::source_location::current());

// Waits until a shown window takes the keyboard, as the window a person opens does. A window that does not (or no
// window at all) fails the current test at the caller's line and gives false.
bool waitUntilActive(QWidget* window, std::source_location where = std::source_location::current());

// Types text into a widget key by key; works for Persian text, which QTest::keyClicks cannot send.
void type(QWidget* widget, const QString& text);

// Replaces a line edit's text as a paste would.
void paste(QWidget* widget, const QString& text);

} // namespace Drive

// Skips a case that is about the data file itself when the program runs on the server.
#define T35_FILE_ONLY()                                                                                               \
    do {                                                                                                               \
        if (TestProgram::serverByDefault())                                                                            \
            QSKIP("about the data file itself; a server has no file");                                                \
    } while (false)

#include "support/TestProgram.inl"
