#pragma once

// Ending cleanly on SIGINT and SIGTERM: the signal only writes to a pipe, and the event loop,
// reading it, leaves with exit status 0, so that everything is shut down in the normal order
// (a raised volume put back, the alerter thread stopped).

class QCoreApplication;

namespace zembra {

// Installs the handlers for the application's event loop; false when that is not possible.
bool ExitOnTerminationSignals(QCoreApplication& app);

} // namespace zembra
