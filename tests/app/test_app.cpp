// Start-up of the application: which window shows, which list opens, and a second start that
// hands its file over to the instance already running.

#include "CMainFrame.h"
#include "CMessageBox.h"
#include "CSettings.h"
#include "CZembracfgApp.h"
#include "CZembracfgDoc.h"
#include "model/CScheduler.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

using namespace zembra;

namespace {


QString MakeList(const QString& path, const char* comment)
{
    CScheduler schedule;
    auto alarm = std::make_unique<CAlarm>();
    alarm->m_strFrequency = kFrequencyEveryday;
    alarm->m_strType = kTypeWakeup;
    alarm->m_time = SystemTime{2030, 1, 0, 1, 7, 0, 0, 0};
    alarm->m_bActive = true;
    alarm->m_strComment = comment;
    schedule.AddAlarm(std::move(alarm));
    schedule.SaveToFile(path.toStdString());
    return path;
}

} // namespace

class TestApp : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void hideOnStartupNeverHidesIntoNowhere();
    void autoloadWithEmptyLastCfgOpensNothing();
    void autoloadWithMissingLastCfgSaysSoAndKeepsIt();
    void autoloadOpensTheLastListAndTheCommandLineWins();
    void secondStartHandsItsFileToTheFirst();

private:
    std::unique_ptr<CZembracfgApp> Start(const QString& file = {});

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestApp::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    CSettings::SetStorePath(m_dir->filePath(QStringLiteral("settings.ini")));
    CMessageBox::SetTestMode(true);
    CMessageBox::TakeShownTexts();
    CSettings settings;
    settings.m_regTips = 0;
}

void TestApp::cleanup()
{
    CSettings::SetStorePath({});
    CMessageBox::SetTestMode(false);
    m_dir.reset();
}

std::unique_ptr<CZembracfgApp> TestApp::Start(const QString& file)
{
    auto app = std::make_unique<CZembracfgApp>();
    CZembracfgApp::Options options;
    options.file = file;
    options.simulatePowerLog = m_dir->filePath(QStringLiteral("power.log"));
    options.noTips = true;
    if (!app->InitInstance(options)) {
        return nullptr;
    }
    return app;
}

void TestApp::hideOnStartupNeverHidesIntoNowhere()
{
    {
        CSettings settings;
        settings.m_regHideOnStartup = 1;
    }
    const auto app = Start();
    QVERIFY(app);
    // The offscreen desktop has no tray: the window stays reachable.
    QVERIFY(!app->MainFrame()->HasTray());
    QVERIFY(app->MainFrame()->isVisible());
}

void TestApp::autoloadWithEmptyLastCfgOpensNothing()
{
    const auto app = Start();
    QVERIFY(app);
    QVERIFY(app->Document()->PathName().isEmpty());
    QCOMPARE(app->Document()->Scheduler().Count(), 0u);
    QVERIFY(CMessageBox::TakeShownTexts().isEmpty());
}

void TestApp::autoloadWithMissingLastCfgSaysSoAndKeepsIt()
{
    const QString missing = m_dir->filePath(QStringLiteral("gone.zmb"));
    {
        CSettings settings;
        settings.m_regLastCfg = missing;
    }
    const auto app = Start();
    QVERIFY(app);
    const QStringList shown = CMessageBox::TakeShownTexts();
    QCOMPARE(shown.size(), 1);
    QVERIFY(shown.first().contains(QDir::toNativeSeparators(missing)) || shown.first().contains(missing));
    QVERIFY(app->Document()->PathName().isEmpty());
    QCOMPARE(app->Settings().m_regLastCfg.Get(), missing);
}

void TestApp::autoloadOpensTheLastListAndTheCommandLineWins()
{
    const QString last = MakeList(m_dir->filePath(QStringLiteral("last.zmb")), "last");
    const QString given = MakeList(m_dir->filePath(QStringLiteral("given.zmb")), "given");
    {
        CSettings settings;
        settings.m_regLastCfg = last;
    }
    {
        const auto app = Start();
        QCOMPARE(QFileInfo(app->Document()->PathName()), QFileInfo(last));
    }
    const auto app = Start(given);
    QCOMPARE(QFileInfo(app->Document()->PathName()), QFileInfo(given));
    QCOMPARE(app->Document()->Scheduler().At(0)->m_strComment, std::string("given"));
}

void TestApp::secondStartHandsItsFileToTheFirst()
{
    QFile settings(m_dir->filePath(QStringLiteral("config/Brelko/Zembra.conf")));
    QDir(m_dir->path()).mkpath(QStringLiteral("config/Brelko"));
    QVERIFY(settings.open(QIODevice::WriteOnly));
    settings.write("[General]\nTips=0\nAutoload=0\n");
    settings.close();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_dir->filePath(QStringLiteral("config")));
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_dir->path());
    env.insert(QStringLiteral("TMPDIR"), m_dir->path());
    env.insert(QStringLiteral("QT_LOGGING_RULES"), QStringLiteral("zembra.*.info=true"));
    const QStringList power{QStringLiteral("--simulate-power"), m_dir->filePath(QStringLiteral("power.log"))};

    QProcess first;
    first.setProcessEnvironment(env);
    first.start(QStringLiteral(ZEMBRA_PATH), power);
    QVERIFY(first.waitForStarted());
    QByteArray firstLog;
    QTRY_VERIFY_WITH_TIMEOUT((firstLog += first.readAllStandardError()).contains("no alarm pending"), 10000);

    const QString list = MakeList(m_dir->filePath(QStringLiteral("handed.zmb")), "handed over");
    QProcess second;
    second.setProcessEnvironment(env);
    second.start(QStringLiteral(ZEMBRA_PATH), QStringList{list} + power);
    QVERIFY(second.waitForFinished(10000));
    QCOMPARE(second.exitCode(), 0);
    // The first instance opened the list: its alarm is armed.
    QTRY_VERIFY_WITH_TIMEOUT((firstLog += first.readAllStandardError()).contains("armed for"), 10000);
    QCOMPARE(first.state(), QProcess::Running);
    first.terminate();
    QVERIFY(first.waitForFinished(10000));
    QCOMPARE(first.exitCode(), 0);
}

int main(int argc, char** argv)
{
    // Keep the program's sockets, locks and autostart entries out of the user's folders.
    QTemporaryDir home;
    QFile::setPermissions(home.path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toUtf8());
    qputenv("XDG_RUNTIME_DIR", home.path().toUtf8());
    qputenv("TMPDIR", home.path().toUtf8());
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    TestApp test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_app.moc"
