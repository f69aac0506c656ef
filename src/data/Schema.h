#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The tables and indexes of the program's data file, each as the statement that creates it. A first start runs these
// statements; the check of a file compares what the file says of each table and index with them, so a table rebuilt
// another way (without row ids, with a constraint or a collation of its own) never passes for ours.
namespace Schema {

// The schema version this program writes into its data file (PRAGMA user_version). Version 0 is the first five
// tables; version 1 adds the remembered comparison pairs; version 2 the invitations to answer on a phone and an index
// of the complete answer rows; version 3 the audit trail, whose lines nobody changes or deletes; version 4 adds no
// table: it says every stored code has been brought to its normalised form (ExamineeCode::normaliseStoredCodes), so
// no start needs to look over them again. A file of an older version is brought up to date at start; a newer one was
// made by a newer program and is refused.
constexpr int CurrentVersion = 4;
constexpr int CodesNormalisedVersion = 4;
// What the program makes on a clinic's server by itself: the tables of version 2. The server's trail comes with
// counsellors' rights (data/ServerRights), version 3 there: the tables of version 2 and those that say whose each
// examinee is. Only the setup makes it; the program opens it as it is.
constexpr int ServerVersion = 2;
constexpr int ServerRightsVersion = 3;

struct Object {
    // A trigger belongs to the data file alone: on a server the setup writes the trail its own way.
    enum class Kind { Table, Index, Trigger };
    Kind kind = Kind::Table;
    QString name;
    QString sql; // as the program's data file has it
    int version = 0; // the schema version that added it
    // A table's columns in order; an index's table and its one column; a trigger's table.
    QStringList columns;
    QString table;
    // A partial index's condition: only the rows it holds are in the index (empty: every row).
    QString where;
};

// The condition of an answer row with every item answered, as scoring takes it (no item left exactly empty; a
// missing value is no answer either): the home panel counts these rows, and an index holds just them.
QString everyItemAnswered();

// Every table and index, tables first, in the order a new file gets them.
const QList<Object>& objects();

// The objects a file of schema version `version` has, in the same order.
QList<Object> objectsOf(int version);

// The statements that bring a file of version `from` up to CurrentVersion, in order; none when it is current.
QStringList upgradeStatements(int from);

// The object of that kind and name (compared as SQLite compares names) that a file of `version` has, or nullptr.
const Object* find(Object::Kind kind, const QString& name, int version = CurrentVersion);

// The words of a statement as SQLite reads them: white space, comments, quoting of names and the case of keywords and
// names do not count; text in quotes ('...') does.
QStringList tokens(const QString& sql);

// Whether two statements define the same thing in the same words.
bool sameDefinition(const QString& a, const QString& b);

} // namespace Schema
