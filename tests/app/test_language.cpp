// Switching the interface language at run time, and the language the program starts in.

#include "CAlarmDialog.h"
#include "CAlarmList.h"
#include "CHelpWindow.h"
#include "CMainFrame.h"
#include "CMessageBox.h"
#include "CPower.h"
#include "CSettings.h"
#include "CStatusDIalog.h"
#include "CTipsFile.h"
#include "CTrueColorToolBar.h"
#include "CZembracfgApp.h"
#include "CZembracfgDoc.h"
#include "CZembracfgView.h"
#include "ProgramProfile.h"
#include "QuietTimer.h"

#include <QApplication>
#include <QFile>
#include <QGroupBox>
#include <QHelpEvent>
#include <QMenuBar>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>

using namespace zembra;
using namespace Qt::StringLiterals;

namespace {

QStringList ButtonTexts(CMainFrame& frame)
{
    QStringList texts;
    for (QAction* action : frame.ToolBar()->ButtonActions())
        texts << frame.ToolBar()->ButtonFor(action)->text();
    return texts;
}

QStringList TipsIn(const QString& file)
{
    QFile tips(QStringLiteral(ZEMBRA_SOURCE_DIR "/res/tips/") + file);
    return tips.open(QIODevice::ReadOnly) ? CTipsFile::ParseTips(tips.readAll()) : QStringList();
}

QString YesButtonText()
{
    QMessageBox box(QMessageBox::Question, {}, {}, QMessageBox::Yes | QMessageBox::No);
    return box.button(QMessageBox::Yes)->text();
}

} // namespace

class TestLanguage : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        CSettings::SetStorePath(m_dir->filePath(u"settings.ini"_s));
        CMessageBox::SetTestMode(true);
        m_settings = std::make_unique<CSettings>();
        m_power = std::make_unique<CPower>(std::make_unique<test::QuietTimer>());
        m_doc = std::make_unique<CZembracfgDoc>(*m_power, *m_settings);
        m_frame = std::make_unique<CMainFrame>(*m_doc, *m_settings, nullptr);
    }
    void cleanup()
    {
        if (m_frame)
            m_frame->SetLanguage(2);
        m_frame.reset();
        m_doc.reset();
        m_power.reset();
        m_settings.reset();
        CSettings::SetStorePath({});
        CMessageBox::SetTestMode(false);
    }
    void switchingTranslatesEverythingAndLoadsEachLanguageOnce()
    {
        m_doc->SetDialogRunner([](CAlarmDialog& dialog) {
            dialog.InitDialog();
            dialog.accept();
            return static_cast<int>(QDialog::Accepted);
        });
        m_doc->OnNewAlarm();
        m_doc->SetModifiedFlag(false);
        const int loadsBefore = CMainFrame::TranslatorLoads();
        CHelpWindow* help = CHelpWindow::Instance();
        const auto firstMenu = [this] { return m_frame->menuBar()->actions().at(0)->text(); };

        m_frame->SetLanguage(1);
        QCOMPARE(firstMenu(), u"&File"_s);
        const QStringList english = ButtonTexts(*m_frame);
        QVERIFY(english.contains(u"Open"_s));
        QVERIFY(english.contains(u"Settings"_s));
        QVERIFY(english.contains(u"What's This?"_s));
        const QAbstractItemModel* list = m_frame->View()->List()->model();
        QCOMPARE(list->headerData(1, Qt::Horizontal).toString(), u"Time"_s);
        QCOMPARE(list->headerData(2, Qt::Horizontal).toString(), u"Comment"_s);
        QCOMPARE(m_frame->View()->StatusPanel()->findChild<QGroupBox*>(u"statusGroup"_s)->title(),
                 u"Current Status"_s);
        QCOMPARE(CTipsFile::Tips(), TipsIn(u"TipsEN.lng"_s));
        QCOMPARE(QLocale().language(), QLocale::English);
        QCOMPARE(help->Language(), u"en"_s);
        QCOMPARE(help->windowTitle(), u"Zembra Help"_s);
        // The rows are written again; the list itself did not change.
        QCOMPARE(m_frame->View()->RowCount(), 1);
        QVERIFY(!m_doc->IsModified());
        QCOMPARE(YesButtonText(), u"&Yes"_s);

        m_frame->SetLanguage(2);
        QCOMPARE(firstMenu(), u"&Plik"_s);
        QVERIFY(ButtonTexts(*m_frame).contains(u"Otwórz"_s));
        QCOMPARE(list->headerData(1, Qt::Horizontal).toString(), u"Czas"_s);
        QCOMPARE(CTipsFile::Tips(), TipsIn(u"TipsPL.lng"_s));
        QCOMPARE(help->Language(), u"pl"_s);
        QCOMPARE(help->windowTitle(), u"Pomoc programu Zembra"_s);
        // Qt's own buttons speak the language too.
        QCOMPARE(YesButtonText(), u"&Tak"_s);

        m_frame->SetLanguage(1);
        QCOMPARE(firstMenu(), u"&File"_s);
        QCOMPARE(CMainFrame::TranslatorLoads() - loadsBefore, 1);

        m_frame->SetLanguage(3);
        QCOMPARE(firstMenu(), u"&Datei"_s);
        QCOMPARE(CTipsFile::Tips(), TipsIn(u"TipsGER.lng"_s));
        QCOMPARE(help->Language(), u"de"_s);
        QCOMPARE(YesButtonText(), u"&Ja"_s);
    }
    void theProgramStartsInTheSystemLanguage_data()
    {
        QTest::addColumn<QByteArray>("locale");
        QTest::addColumn<int>("language");
        QTest::newRow("German") << QByteArray("de_DE.UTF-8") << 3;
        QTest::newRow("Polish") << QByteArray("pl_PL.UTF-8") << 2;
        QTest::newRow("any other: English") << QByteArray("fr_FR.UTF-8") << 1;
    }
    // The real program, with the language setting left at its default.
    void theProgramStartsInTheSystemLanguage()
    {
        QFETCH(QByteArray, locale);
        QFETCH(int, language);
        QProcessEnvironment env =
            test::ProgramProfile(m_dir->path(), "Tips=0\nAutoload=0\nLang=default\n");
        env.insert(u"LC_ALL"_s, QString::fromLatin1(locale));
        env.insert(u"LANGUAGE"_s, QString::fromLatin1(locale));
        QProcess zembra;
        zembra.setProcessEnvironment(env);
        zembra.start(QStringLiteral(ZEMBRA_PATH),
                     {u"--simulate-power"_s, m_dir->filePath(u"log"_s)});
        QByteArray log;
        int started = -1;
        for (int i = 0; i < 100 && started < 0; ++i) {
            zembra.waitForReadyRead(100);
            log += zembra.readAllStandardError();
            const qsizetype at = log.indexOf("language ");
            if (at >= 0 && at + 9 < log.size())
                started = log.at(at + 9) - '0';
        }
        zembra.terminate();
        zembra.waitForFinished(10000);
        QCOMPARE(started, language);
    }
    void otherLetterCaseSwitchesNothing()
    {
        m_frame.reset();
        m_doc.reset();
        m_settings->m_regLang = u"english"_s;
        m_settings->m_regTips = 0;
        CZembracfgApp app;
        CZembracfgApp::Options options;
        options.simulatePowerLog = m_dir->filePath(u"log"_s);
        options.noTips = true;
        QVERIFY(app.InitInstance(options));
        QCOMPARE(app.MainFrame()->Language(), 2);
        QCOMPARE(app.MainFrame()->menuBar()->actions().at(0)->text(), u"&Plik"_s);
        app.ExitInstance();
    }
    void f1OnNewAlarmOpensTheHelpAboutAddingAlarms()
    {
        m_frame->ShowHelpFor(CMainFrame::kNewAlarm);
        CHelpWindow* help = CHelpWindow::Instance();
        QVERIFY(help->isVisible());
        const auto section =
            CHelpWindow::SectionForContext(CHelpWindow::ContextForCommand(CMainFrame::kNewAlarm));
        QCOMPARE(help->CurrentPage(), section.first);
        QCOMPARE(help->CurrentAnchor(), section.second);
        QVERIFY(help->CurrentAnchor().contains(u"alarm"_s));

        // Shift+F1, then a click on the Settings button: the help about the settings command.
        QToolButton* settings =
            m_frame->ToolBar()->ButtonFor(m_frame->Action(CMainFrame::kSettings));
        QHelpEvent whatsThis(QEvent::WhatsThis, QPoint(1, 1), settings->mapToGlobal(QPoint(1, 1)));
        QApplication::sendEvent(settings, &whatsThis);
        QCOMPARE(help->CurrentPage(), CHelpWindow::SectionForContext(
                                          CHelpWindow::ContextForCommand(CMainFrame::kSettings))
                                          .first);
        help->close();
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<CSettings> m_settings;
    std::unique_ptr<CPower> m_power;
    std::unique_ptr<CZembracfgDoc> m_doc;
    std::unique_ptr<CMainFrame> m_frame;
};

int main(int argc, char** argv)
{
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", home.filePath(u"config"_s).toUtf8());
    qputenv("XDG_DATA_HOME", home.filePath(u"data"_s).toUtf8());
    qputenv("XDG_RUNTIME_DIR", home.path().toUtf8());
    qputenv("TMPDIR", home.path().toUtf8());
    QApplication app(argc, argv);
    QApplication::setQuitOnLastWindowClosed(false);
    TestLanguage test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_language.moc"
