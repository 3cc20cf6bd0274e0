// zembra: the desktop program.

#include "CZembracfgApp.h"
#include "TerminationSignals.h"

#include <QApplication>
#include <QCommandLineParser>

namespace {

// The pop-up beside the clock must place itself, which Wayland does not let a window do; where
// XWayland is there, run through it.
void PreferXcbOnWayland()
{
    if (qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) {
        return;
    }
    if (qgetenv("XDG_SESSION_TYPE") == "wayland" && qEnvironmentVariableIsSet("DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
}

} // namespace

int main(int argc, char** argv)
{
    PreferXcbOnWayland();
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zembra"));
    QApplication::setOrganizationName(QStringLiteral("Brelko"));
    QApplication::setApplicationVersion(QStringLiteral(ZEMBRA_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("zembra"));
    // Closing the window sends it to the tray; the program ends only on Exit.
    QApplication::setQuitOnLastWindowClosed(false);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral("Zembra: alarm clock and power scheduler"));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("an alarm list (.zmb) to open"),
                                 QStringLiteral("[FILE]"));
    const QCommandLineOption hidden(QStringLiteral("hidden"), QStringLiteral("start in the tray, without a window"));
    const QCommandLineOption simulate(
        QStringLiteral("simulate-power"),
        QStringLiteral("never suspend, hibernate or shut the computer down: append each request to LOG"),
        QStringLiteral("LOG"));
    parser.addOption(hidden);
    parser.addOption(simulate);
    parser.process(app);

    zembra::CZembracfgApp::Options options;
    options.file = parser.positionalArguments().value(0);
    options.hidden = parser.isSet(hidden);
    options.simulatePowerLog = parser.value(simulate);

    if (zembra::CZembracfgApp::HandOverToRunningInstance(options.file)) {
        return 0;
    }

    zembra::ExitOnTerminationSignals(app);

    zembra::CZembracfgApp zembra;
    if (!zembra.InitInstance(options)) {
        return 1;
    }
    const int status = QApplication::exec();
    zembra.ExitInstance();
    return status;
}
