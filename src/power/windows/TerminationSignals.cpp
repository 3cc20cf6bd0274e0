#include "TerminationSignals.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QPointer>

#include <windows.h>

#include <functional>

namespace zembra {

namespace {

// Windows has no SIGTERM for a GUI program: a console's Ctrl+C, its closing, or the end of the
// session arrive as control events, on a thread of the system's own.
QPointer<QCoreApplication> g_app;
std::function<void()> g_onSignal;

BOOL WINAPI OnControlEvent(DWORD event)
{
    switch (event) {
    case CTRL_C_EVENT:
    case CTRL_BREAK_EVENT:
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
        break;
    default:
        return FALSE;
    }
    if (QCoreApplication* app = g_app.data()) {
        // Handled on the event loop's thread, as the POSIX signal is.
        QMetaObject::invokeMethod(app, [] {
            if (g_onSignal) {
                g_onSignal();
                return;
            }
            QCoreApplication::exit(0);
        }, Qt::QueuedConnection);
    }
    return TRUE;
}

} // namespace

bool ExitOnTerminationSignals(QCoreApplication& app, std::function<void()> onSignal)
{
    g_app = &app;
    g_onSignal = std::move(onSignal);
    return ::SetConsoleCtrlHandler(OnControlEvent, TRUE) != FALSE;
}

} // namespace zembra
