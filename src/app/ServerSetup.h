#pragma once

#include "app/CopyToServer.h"

#include <QString>

class QTextStream;

// The clinic's administrator's commands, run without a display: `--setup-server URI [--counsellor NAME]` makes or
// brings up to date the counsellors' rights on the server (data/ServerRights), and `--add-counsellor NAME [--head]
// --database URI` makes a counsellor's login role, its password asked twice on the terminal. Each prints what it did
// and ends with 0 when done, 1 when not (nothing changed then).
namespace ServerSetup {

int setUp(const QString& uri, const QString& formerCounsellor, const CopyToServer::PasswordAsk& askPassword,
    QTextStream& out, QTextStream& err);

int addCounsellor(const QString& uri, const QString& name, bool head, const CopyToServer::PasswordAsk& askPassword,
    QTextStream& out, QTextStream& err);

} // namespace ServerSetup
