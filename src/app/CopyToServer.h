#pragma once

#include <QString>

#include <functional>
#include <optional>

class QTextStream;

// `--copy-to-server URI`: the data file's examinees, answers and remembered pairs copied to the server at URI in one
// transaction, the outcome printed. 0 when copied; 1 when refused (a code already on the server or held twice in the
// file, a server that cannot be reached, no data file), with nothing copied. It needs no display: the data file is
// only read, and a password libpq has no means to find is asked for through `askPassword` and kept in memory only.
namespace CopyToServer {

// Asks for the password with `prompt`: the text typed (empty when the person gave up), or nothing when there is no
// way to ask.
using PasswordAsk = std::function<std::optional<QString>(const QString& prompt)>;

// Asks on the terminal, without echo, when standard input is one; nothing otherwise (a script, a service).
PasswordAsk terminalPassword(QTextStream& err);

int run(const QString& dataFolder, const QString& uri, const PasswordAsk& askPassword, QTextStream& out,
    QTextStream& err);

} // namespace CopyToServer
