#pragma once

// Ending cleanly on SIGINT and SIGTERM: the signal only writes to a pipe, and the event loop,
// reading it, leaves with exit status 0, so that everything is shut down in the normal order
// (a raised volume put back, the alerter thread stopped).

#include <functional>

class QCoreApplication;

namespace zembra {

// Installs the handlers for the application's event loop; false when that is not possible.
// `onSignal` runs on the event loop's thread when a signal came; without it the application
// leaves its event loops with status 0.
bool ExitOnTerminationSignals(QCoreApplication& app, std::function<void()> onSignal = {});

} // namespace zembra
