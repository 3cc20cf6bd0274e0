// zembra: the desktop program.

#include "ApplicationId.h"
#include "CFocusStyle.h"
#include "CZembracfgApp.h"
#include "TerminationSignals.h"

#include <QApplication>
#include <QCommandLineParser>

#include <algorithm>
#include <cstdio>

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

// On X, Qt draws through shared memory and waits for the server (a round trip) before every
// repaint; the window repaints one line a second for its countdown, and those waits wake two
// threads each time. Plain image transfers cost nothing of the kind, and the window is small.
// Whoever sets the variable decides. True when it was set here: it is taken back once the
// connection is made, so that the programs alarms start do not inherit it.
bool PaintWithoutSharedMemory()
{
    if (qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM")) {
        return false;
    }
    qputenv("QT_XCB_NO_MITSHM", "1");
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    QCommandLineParser parser;
    // "-platform xcb" is one of the toolkit's options, not seven short ones.
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    parser.setApplicationDescription(QStringLiteral("Zembra: alarm clock and power scheduler"));
    const QCommandLineOption help({QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("show this help and end"));
    const QCommandLineOption version({QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("show the version and end"));
    parser.addOption(help);
    parser.addOption(version);
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("an alarm list (.zmb) to open"),
                                 QStringLiteral("[FILE]"));
    const QCommandLineOption hidden(QStringLiteral("hidden"), QStringLiteral("start in the tray, without a window"));
    const QCommandLineOption simulate(
        QStringLiteral("simulate-power"),
        QStringLiteral("never suspend, hibernate or shut the computer down: append each request to LOG"),
        QStringLiteral("LOG"));
    parser.addOption(hidden);
    parser.addOption(simulate);

    // --help and --version answer before the window system is reached, so that they work on a
    // terminal without a display.
    for (int i = 1; i < argc; ++i) {
        const QString argument = QString::fromLocal8Bit(argv[i]);
        if (argument == QLatin1String("--")) {
            break;
        }
        if (argument == QLatin1String("-h") || argument == QLatin1String("--help")) {
            std::fputs(qPrintable(parser.helpText().replace(QStringLiteral("<executable_name>"),
                                                            QStringLiteral("zembra"))),
                       stdout);
            return 0;
        }
        if (argument == QLatin1String("-v") || argument == QLatin1String("--version")) {
            std::printf("Zembra %s\n", ZEMBRA_VERSION);
            return 0;
        }
    }

    // Wrong usage is said before the window system is reached too; the toolkit's own options
    // (-platform, -display, -style...) are left to QApplication, which takes them out.
    static const QStringList kToolkitOptions{
        QStringLiteral("platform"), QStringLiteral("platformpluginpath"), QStringLiteral("platformtheme"),
        QStringLiteral("plugin"), QStringLiteral("display"), QStringLiteral("geometry"),
        QStringLiteral("qwindowgeometry"), QStringLiteral("qwindowicon"), QStringLiteral("qwindowtitle"),
        QStringLiteral("reverse"), QStringLiteral("session"), QStringLiteral("style"),
        QStringLiteral("stylesheet"), QStringLiteral("widgetcount"), QStringLiteral("name"),
        QStringLiteral("title"), QStringLiteral("sync"), QStringLiteral("nograb"), QStringLiteral("dograb")};
    QStringList arguments;
    for (int i = 0; i < argc; ++i) {
        arguments << QString::fromLocal8Bit(argv[i]);
    }
    if (!parser.parse(arguments)) {
        const QStringList unknown = parser.unknownOptionNames();
        const bool toolkitsOwn = !unknown.isEmpty()
                                 && std::all_of(unknown.cbegin(), unknown.cend(), [](const QString& name) {
                                        return kToolkitOptions.contains(name);
                                    });
        if (!toolkitsOwn) {
            std::fprintf(stderr, "zembra: %s\nTry 'zembra --help'.\n", qPrintable(parser.errorText()));
            return 2;
        }
    }

    PreferXcbOnWayland();
    const bool ownPaintSetting = PaintWithoutSharedMemory();
    QApplication app(argc, argv);
    if (ownPaintSetting) {
        qunsetenv("QT_XCB_NO_MITSHM");
    }
    QApplication::setApplicationName(QStringLiteral("Zembra"));
    QApplication::setOrganizationName(QStringLiteral("Brelko"));
    QApplication::setApplicationVersion(QStringLiteral(ZEMBRA_VERSION));
    // The desktop entry's name, so that the desktop ties the window to the menu entry's icon.
    QApplication::setDesktopFileName(QString::fromLatin1(zembra::kApplicationId));
    // Closing the window sends it to the tray; the program ends only on Exit.
    QApplication::setQuitOnLastWindowClosed(false);
    // The desktop's style (or the one given with -style), with a focus mark that can be seen.
    QApplication::setStyle(new zembra::CFocusStyle(QApplication::style()->name()));
    parser.process(app);

    zembra::CZembracfgApp::Options options;
    options.file = parser.positionalArguments().value(0);
    options.hidden = parser.isSet(hidden);
    options.simulatePowerLog = parser.value(simulate);

    if (zembra::CZembracfgApp::HandOverToRunningInstance(options.file)) {
        return 0;
    }

    zembra::CZembracfgApp zembra;
    zembra::ExitOnTerminationSignals(app, [&zembra] { zembra.OnTerminationSignal(); });
    if (!zembra.InitInstance(options)) {
        return 1;
    }
    // Asked to end while start-up showed a question: no event loop is entered any more.
    const int status = zembra.IsExiting() ? 0 : QApplication::exec();
    zembra.ExitInstance();
    return status;
}
