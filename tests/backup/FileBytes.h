#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QStringList>

// Whole files as bytes, for tests that compare what a copy wrote with what it read.
namespace FileBytes {

inline QByteArray read(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

inline bool write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

// The names of the files in a folder, hidden ones included: a temporary file left behind shows here.
inline QStringList namesIn(const QString& folder)
{
    return QDir(folder).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

} // namespace FileBytes
