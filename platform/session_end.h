#pragma once

// The end of the desktop session without the windows being closed: SIGTERM
// (a log-out, a shutdown, systemctl), SIGHUP, SIGINT, the session manager's
// commit and save requests, and a lost X connection. Each window then stores
// what its normal end stores, asking nothing.

#include <functional>

class QObject;

namespace wirtello {

// Registers `store` for as long as `owner` lives: it runs whenever the
// session ends and stores what `owner`'s normal end stores, without questions
// (a log-out that is cancelled may come again). An IoError or other failure it
// raises is written to standard error.
void onSessionEnd(QObject* owner, std::function<void()> store);

// Starts watching for the end of the session; call once, after the
// application object exists. `afterSignal` runs after the stores when a
// signal came (the default ends the process at once, so that no question
// still open goes on to act); the session manager's requests and a lost X
// connection only store, as the ending is theirs.
void watchSessionEnd(std::function<void()> afterSignal = {});

// Runs every registered store, as the end of the session does.
void storeForSessionEnd();

} // namespace wirtello
