#pragma once

#include <QList>
#include <QString>
#include <QStringList>

// The tables and indexes of the program's data file, each as the statement that creates it. A first start runs these
// statements; the check of a file compares what the file says of each table and index with them, so a table rebuilt
// another way (without row ids, with a constraint or a collation of its own) never passes for ours.
namespace Schema {

struct Object {
    enum class Kind { Table, Index };
    Kind kind = Kind::Table;
    QString name;
    QString sql;
};

// Every table and index, tables first, in the order a new file gets them.
const QList<Object>& objects();

// The object of that kind and name (compared as SQLite compares names), or nullptr when it is not ours.
const Object* find(Object::Kind kind, const QString& name);

// The words of a statement as SQLite reads them: white space, comments, quoting of names and the case of keywords and
// names do not count; text in quotes ('...') does.
QStringList tokens(const QString& sql);

// Whether two statements define the same thing in the same words.
bool sameDefinition(const QString& a, const QString& b);

} // namespace Schema
