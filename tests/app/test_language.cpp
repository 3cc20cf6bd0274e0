// Switching the interface language at run time, and the language the program starts in.

#include "CAlarmDialog.h"
#include "CAlarmList.h"
#include "CHelpWindow.h"
#include "CMainFrame.h"
#include "ProgramProfile.h"
#include "QuietTimer.h"
#include "CMessageBox.h"
#include "CPower.h"
#include "CSettings.h"
#include "CStatusDIalog.h"
#include "CTipsFile.h"
#include "CTrueColorToolBar.h"
#include "CZembracfgApp.h"
#include "CZembracfgDoc.h"
#include "CZembracfgView.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QHelpEvent>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

#include <algorithm>

using namespace zembra;
using zembra::test::QuietTimer;

namespace {

QStringList ButtonTexts(CMainFrame& frame)
{
    QStringList texts;
    for (QAction* action : frame.ToolBar()->ButtonActions()) {
        if (action != nullptr) {
            texts << frame.ToolBar()->ButtonFor(action)->text();
        }
    }
    return texts;
}

QStringList TipsIn(const QString& file)
{
    QFile tips(QStringLiteral(ZEMBRA_SOURCE_DIR "/res/tips/") + file);
    return tips.open(QIODevice::ReadOnly) ? CTipsFile::ParseTips(tips.readAll()) : QStringList();
}

// Starts the real program with a Lang setting and a locale, and returns the language it chose.
int StartedLanguage(const QString& lang, const QByteArray& locale)
{
    QTemporaryDir dir;
    QProcessEnvironment env =
        test::ProgramProfile(dir.path(), "Tips=0\nAutoload=0\nLang=" + lang.toUtf8() + "\n");
    env.insert(QStringLiteral("LC_ALL"), QString::fromLatin1(locale));
    env.insert(QStringLiteral("LANGUAGE"), QString::fromLatin1(locale));
    QProcess zembra;
    zembra.setProcessEnvironment(env);
    zembra.start(QStringLiteral(ZEMBRA_PATH), {QStringLiteral("--simulate-power"), dir.filePath(QStringLiteral("log"))});
    QByteArray log;
    int language = -1;
    for (int i = 0; i < 100 && language < 0; ++i) {
        zembra.waitForReadyRead(100);
        log += zembra.readAllStandardError();
        const int at = static_cast<int>(log.indexOf("language "));
        if (at >= 0 && at + 9 < log.size()) {
            language = log.at(at + 9) - '0';
        }
    }
    zembra.terminate();
    zembra.waitForFinished(10000);
    return language;
}

} // namespace

class TestLanguage : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();

private:
    static QString YesButtonText();

private Q_SLOTS:
    void switchingTranslatesEverythingAndLoadsEachLanguageOnce();
    void defaultFollowsTheSystem();
    void otherLetterCaseSwitchesNothing();
    void f1OnNewAlarmOpensTheHelpAboutAddingAlarms();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<CSettings> m_settings;
    std::unique_ptr<CPower> m_power;
    std::unique_ptr<CZembracfgDoc> m_doc;
    std::unique_ptr<CMainFrame> m_frame;
};

void TestLanguage::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    CSettings::SetStorePath(m_dir->filePath(QStringLiteral("settings.ini")));
    CMessageBox::SetTestMode(true);
    m_settings = std::make_unique<CSettings>();
    m_power = std::make_unique<CPower>(std::make_unique<QuietTimer>());
    m_doc = std::make_unique<CZembracfgDoc>(*m_power, *m_settings);
    m_frame = std::make_unique<CMainFrame>(*m_doc, *m_settings, nullptr);
}

QString TestLanguage::YesButtonText()
{
    QMessageBox box(QMessageBox::Question, QString(), QString(), QMessageBox::Yes | QMessageBox::No);
    return box.button(QMessageBox::Yes)->text();
}

void TestLanguage::cleanup()
{
    m_frame->SetLanguage(2);
    m_frame.reset();
    m_doc.reset();
    m_power.reset();
    m_settings.reset();
    CSettings::SetStorePath({});
    CMessageBox::SetTestMode(false);
}

void TestLanguage::switchingTranslatesEverythingAndLoadsEachLanguageOnce()
{
    m_doc->SetDialogRunner([](CAlarmDialog& dialog) {
        dialog.InitDialog();
        dialog.accept();
        return static_cast<int>(QDialog::Accepted);
    });
    m_doc->OnNewAlarm();
    m_doc->SetModifiedFlag(false);
    const int loadsBefore = CMainFrame::TranslatorLoads();

    m_frame->SetLanguage(1);
    QCOMPARE(m_frame->menuBar()->actions().at(0)->text(), QStringLiteral("&File"));
    const QStringList english = ButtonTexts(*m_frame);
    QVERIFY(english.contains(QStringLiteral("Open")));
    QVERIFY(english.contains(QStringLiteral("Settings")));
    QVERIFY(english.contains(QStringLiteral("What's This?")));
    const QAbstractItemModel* list = m_frame->View()->List()->model();
    QCOMPARE(list->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Time"));
    QCOMPARE(list->headerData(2, Qt::Horizontal).toString(), QStringLiteral("Comment"));
    QCOMPARE(m_frame->View()->StatusPanel()->findChild<QGroupBox*>(QStringLiteral("statusGroup"))->title(),
             QStringLiteral("Current Status"));
    QCOMPARE(CTipsFile::Tips(), TipsIn(QStringLiteral("TipsEN.lng")));
    QCOMPARE(QLocale().language(), QLocale::English);
    // The rows are written again; the list itself did not change.
    QCOMPARE(m_frame->View()->RowCount(), 1);
    QVERIFY(!m_doc->IsModified());
    QCOMPARE(YesButtonText(), QStringLiteral("&Yes"));

    m_frame->SetLanguage(2);
    QCOMPARE(m_frame->menuBar()->actions().at(0)->text(), QStringLiteral("&Plik"));
    QVERIFY(ButtonTexts(*m_frame).contains(QStringLiteral("Otwórz")));
    QCOMPARE(list->headerData(1, Qt::Horizontal).toString(), QStringLiteral("Czas"));
    QCOMPARE(CTipsFile::Tips(), TipsIn(QStringLiteral("TipsPL.lng")));
    // Qt's own buttons speak the language too.
    QCOMPARE(YesButtonText(), QStringLiteral("&Tak"));

    m_frame->SetLanguage(1);
    QCOMPARE(m_frame->menuBar()->actions().at(0)->text(), QStringLiteral("&File"));
    QCOMPARE(CMainFrame::TranslatorLoads() - loadsBefore, 1);

    m_frame->SetLanguage(3);
    QCOMPARE(m_frame->menuBar()->actions().at(0)->text(), QStringLiteral("&Datei"));
    QCOMPARE(CTipsFile::Tips(), TipsIn(QStringLiteral("TipsGER.lng")));
    QCOMPARE(YesButtonText(), QStringLiteral("&Ja"));
}

void TestLanguage::defaultFollowsTheSystem()
{
    QCOMPARE(StartedLanguage(QStringLiteral("default"), "de_DE.UTF-8"), 3);
    QCOMPARE(StartedLanguage(QStringLiteral("default"), "fr_FR.UTF-8"), 1);
    QCOMPARE(StartedLanguage(QStringLiteral("default"), "pl_PL.UTF-8"), 2);
}

void TestLanguage::otherLetterCaseSwitchesNothing()
{
    m_frame.reset();
    m_doc.reset();
    m_settings->m_regLang = QStringLiteral("english");
    m_settings->m_regTips = 0;
    CZembracfgApp app;
    CZembracfgApp::Options options;
    options.simulatePowerLog = m_dir->filePath(QStringLiteral("log"));
    options.noTips = true;
    QVERIFY(app.InitInstance(options));
    QCOMPARE(app.MainFrame()->Language(), 2);
    QCOMPARE(app.MainFrame()->menuBar()->actions().at(0)->text(), QStringLiteral("&Plik"));
    app.ExitInstance();
    m_doc = std::make_unique<CZembracfgDoc>(*m_power, *m_settings);
    m_frame = std::make_unique<CMainFrame>(*m_doc, *m_settings, nullptr);
}

void TestLanguage::f1OnNewAlarmOpensTheHelpAboutAddingAlarms()
{
    m_frame->ShowHelpFor(CMainFrame::kNewAlarm);
    CHelpWindow* help = CHelpWindow::Instance();
    QVERIFY(help->isVisible());
    const auto section = CHelpWindow::SectionForContext(CHelpWindow::ContextForCommand(CMainFrame::kNewAlarm));
    QCOMPARE(help->CurrentPage(), section.first);
    QCOMPARE(help->CurrentAnchor(), section.second);
    QVERIFY(help->CurrentAnchor().contains(QStringLiteral("alarm")));

    // Shift+F1, then a click on the Settings button: the help about the settings command.
    QToolButton* settings = m_frame->ToolBar()->ButtonFor(m_frame->Action(CMainFrame::kSettings));
    QHelpEvent whatsThis(QEvent::WhatsThis, QPoint(1, 1), settings->mapToGlobal(QPoint(1, 1)));
    QApplication::sendEvent(settings, &whatsThis);
    const auto settingsSection =
        CHelpWindow::SectionForContext(CHelpWindow::ContextForCommand(CMainFrame::kSettings));
    QCOMPARE(help->CurrentPage(), settingsSection.first);
    help->close();
}

int main(int argc, char** argv)
{
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral("config")).toUtf8());
    qputenv("XDG_RUNTIME_DIR", home.path().toUtf8());
    qputenv("TMPDIR", home.path().toUtf8());
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    TestLanguage test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_language.moc"
