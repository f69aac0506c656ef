// A second process for the database tests, to do what only another program (or a crash) can do to the file:
//   DatabaseChild write-and-wait <file>   begins a large write, says "writing" on stdout, and waits to be killed
//   DatabaseChild check <file>             prints the start-up check's outcome for the file, as this process's user
#include "data/DatabaseCheck.h"

#include <QCoreApplication>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QThread>

#include <cstdio>

namespace {

int writeAndWait(const QString& path)
{
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"));
    db.setDatabaseName(path);
    if (!db.open())
        return 2;
    QSqlQuery q(db);
    // A cache of a few pages makes SQLite write changed pages into the file before the commit, as a large write
    // does: killed now, the file is only whole again once its journal is played back.
    const bool begun = q.exec(QStringLiteral("PRAGMA cache_size = 5")) && q.exec(QStringLiteral("BEGIN"))
        && q.exec(QStringLiteral("UPDATE IDE SET FName = 'changed', Tahsil = hex(randomblob(300))"))
        && q.exec(QStringLiteral("DELETE FROM Answer WHERE rowid % 2 = 0"));
    if (!begun) {
        std::fprintf(stderr, "%s\n", qPrintable(q.lastError().text()));
        return 3;
    }
    std::printf("writing\n");
    std::fflush(stdout);
    QThread::sleep(120);
    return 4;
}

} // namespace

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = QCoreApplication::arguments();
    if (args.size() != 3)
        return 1;
    if (args.at(1) == QLatin1String("write-and-wait"))
        return writeAndWait(args.at(2));
    if (args.at(1) == QLatin1String("check")) {
        const DatabaseCheck::Result result
            = DatabaseCheck::inspect(args.at(2), DatabaseCheck::Thoroughness::Quick, 200);
        std::printf("%s\n", DatabaseCheck::outcomeName(result.outcome));
        return 0;
    }
    return 1;
}
