#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// Reads a file the program did not make itself (a skin, a notice) whole, but never more than it could need: a file
// over the limit, or one that is not a regular file (a device such as /dev/zero, a pipe), is refused before it is
// read, so a strange file costs neither memory nor a wait.
namespace BoundedRead {

// The file's bytes, or nothing (with `error` saying why) when it is missing, unreadable, not a regular file or
// longer than `maxBytes`.
std::optional<QByteArray> readFile(const QString& path, qint64 maxBytes, QString* error = nullptr);

} // namespace BoundedRead
