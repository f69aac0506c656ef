#pragma once

#include "data/ServerFailure.h"

// The words a window gives a server that could not be reached; the data layer only tells the reason.
namespace ServerFailure {

// One Persian sentence naming the server (and the user or database the reason concerns) and saying what happened.
QString sentence(Reason reason, const ServerAddress& server);

} // namespace ServerFailure
