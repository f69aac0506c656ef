#pragma once

#include <QString>

class Messages;
class QTextStream;

// `--copy-to-server URI`: the data file's examinees, answers and remembered pairs copied to the server at URI in one
// transaction, the outcome printed. 0 when copied; 1 when refused (a code already on the server, a server that
// cannot be reached, no data file), with nothing copied. A password libpq has no means to find is asked for through
// `messages` and kept in memory only.
namespace CopyToServer {

int run(const QString& dataFolder, const QString& uri, Messages& messages, QTextStream& out, QTextStream& err);

} // namespace CopyToServer
