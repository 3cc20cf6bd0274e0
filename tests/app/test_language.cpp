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
#include "CZembracfgDoc.h"
#include "CZembracfgView.h"
#include "ProgramProfile.h"
#include "QuietTimer.h"

#include <QtTest>
#include <QtWidgets>

using namespace zembra;
using namespace Qt::StringLiterals;

namespace {

QStringList TipsIn(const QString& file)
{
    QFile tips(QStringLiteral(ZEMBRA_SOURCE_DIR "/res/tips/") + file);
    return tips.open(QIODevice::ReadOnly) ? CTipsFile::ParseTips(tips.readAll()) : QStringList();
}

// The texts of each kind of window part that a switch re-translates: the menu, the toolbar
// (its short label too), the list's header, the status panel, the help, and Qt's own buttons.
QStringList ShownTexts(CMainFrame& frame)
{
    QMessageBox box(QMessageBox::Question, {}, {}, QMessageBox::Yes | QMessageBox::No);
    const auto button = [&](int command) {
        return frame.ToolBar()->ButtonFor(frame.Action(command))->text();
    };
    return {frame.menuBar()->actions().at(0)->text(),
            button(CMainFrame::kFileOpen),
            button(CMainFrame::kContextHelp),
            frame.View()->List()->model()->headerData(1, Qt::Horizontal).toString(),
            frame.View()->StatusPanel()->findChild<QGroupBox*>(u"statusGroup"_s)->title(),
            CHelpWindow::Instance()->windowTitle(),
            box.button(QMessageBox::Yes)->text()};
}

// The main window over a list, with a timer that never comes due.
struct Window {
    CSettings settings;
    CPower power{std::make_unique<test::QuietTimer>()};
    CZembracfgDoc doc{power, settings};
    CMainFrame frame{doc, settings, nullptr};
};

} // namespace

class TestLanguage : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        CSettings::SetStorePath(m_dir->filePath(u"settings.ini"_s));
        CMessageBox::SetTestMode(true);
        m_window = std::make_unique<Window>();
    }
    void cleanup()
    {
        m_window->frame.SetLanguage(2);
        m_window.reset();
        CSettings::SetStorePath({});
        CMessageBox::SetTestMode(false);
    }
    void switchingTranslatesEverythingAndLoadsEachLanguageOnce_data()
    {
        QTest::addColumn<int>("language");
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("tips");
        QTest::addColumn<QString>("texts"); // ShownTexts, joined with '|'
        QTest::newRow("English")
            << 1 << u"en"_s << u"TipsEN.lng"_s
            << u"&File|Open|What's This?|Time|Current Status|Zembra Help|&Yes"_s;
        QTest::newRow("German") << 3 << u"de"_s << u"TipsGER.lng"_s
                                << u"&Datei|Öffnen|Was ist das?|Zeit|Aktueller Status|"
                                   u"Hilfe zu Zembra|&Ja"_s;
        QTest::newRow("Polish, back from English")
            << 2 << u"pl"_s << u"TipsPL.lng"_s
            << u"&Plik|Otwórz|Pomoc kontekstowa|Czas|Aktualny stan|Pomoc programu Zembra|&Tak"_s;
    }
    void switchingTranslatesEverythingAndLoadsEachLanguageOnce()
    {
        QFETCH(int, language);
        QFETCH(QString, code);
        QFETCH(QString, tips);
        QFETCH(QString, texts);
        m_window->doc.SetDialogRunner([](CAlarmDialog& dialog) {
            dialog.InitDialog();
            dialog.accept();
            return static_cast<int>(QDialog::Accepted);
        });
        m_window->doc.OnNewAlarm();
        m_window->doc.SetModifiedFlag(false);
        // There, away and back: a language already loaded is not loaded again.
        const int loads = CMainFrame::TranslatorLoads();
        m_window->frame.SetLanguage(language);
        m_window->frame.SetLanguage(language == 2 ? 1 : 2);
        m_window->frame.SetLanguage(language);
        QVERIFY(CMainFrame::TranslatorLoads() - loads <= 1);

        QCOMPARE(ShownTexts(m_window->frame), texts.split(u'|'));
        QCOMPARE(CTipsFile::Tips(), TipsIn(tips));
        QCOMPARE(CHelpWindow::Instance()->Language(), code);
        QCOMPARE(QLocale().language(), QLocale(code).language());
        // The rows are written again; the list itself did not change.
        QCOMPARE(m_window->frame.View()->RowCount(), 1);
        QVERIFY(!m_window->doc.IsModified());
    }
    void theProgramStartsInTheLanguageSetOrElseInTheSystems_data()
    {
        QTest::addColumn<QByteArray>("lang");
        QTest::addColumn<QByteArray>("locale");
        QTest::addColumn<int>("language"); // 0: none switched to, the built-in Polish stays
        QTest::newRow("German system") << QByteArray("default") << QByteArray("de_DE.UTF-8") << 3;
        QTest::newRow("Polish system") << QByteArray("default") << QByteArray("pl_PL.UTF-8") << 2;
        QTest::newRow("any other system: English")
            << QByteArray("default") << QByteArray("fr_FR.UTF-8") << 1;
        QTest::newRow("set in another letter case: nothing")
            << QByteArray("english") << QByteArray("fr_FR.UTF-8") << 0;
    }
    // The real program; its start-up is over once the tip of the day is up.
    void theProgramStartsInTheLanguageSetOrElseInTheSystems()
    {
        QFETCH(QByteArray, lang);
        QFETCH(QByteArray, locale);
        QFETCH(int, language);
        QProcessEnvironment env =
            test::ProgramProfile(m_dir->path(), "Tips=1\nAutoload=0\nLang=" + lang + "\n");
        env.insert(u"LC_ALL"_s, QString::fromLatin1(locale));
        env.insert(u"LANGUAGE"_s, QString::fromLatin1(locale));
        QProcess zembra;
        zembra.setProcessEnvironment(env);
        zembra.start(QStringLiteral(ZEMBRA_PATH),
                     {u"--simulate-power"_s, m_dir->filePath(u"log"_s)});
        QByteArray log;
        QTRY_VERIFY_WITH_TIMEOUT(
            (log += zembra.readAllStandardError()).contains("tip of the day shown"), 10000);
        zembra.terminate();
        zembra.waitForFinished(10000);
        const qsizetype at = log.indexOf("language ");
        QCOMPARE(at < 0 ? 0 : log.at(at + 9) - '0', language);
    }
    void f1OnNewAlarmOpensTheHelpAboutAddingAlarms()
    {
        const auto sectionOf = [](int command) {
            return CHelpWindow::SectionForContext(CHelpWindow::ContextForCommand(command));
        };
        m_window->frame.ShowHelpFor(CMainFrame::kNewAlarm);
        CHelpWindow* help = CHelpWindow::Instance();
        QVERIFY(help->isVisible());
        QCOMPARE(qMakePair(help->CurrentPage(), help->CurrentAnchor()),
                 sectionOf(CMainFrame::kNewAlarm));
        QVERIFY(help->CurrentAnchor().contains(u"alarm"_s));

        // Shift+F1, then a click on the Settings button: the help about the settings command.
        QToolButton* settings =
            m_window->frame.ToolBar()->ButtonFor(m_window->frame.Action(CMainFrame::kSettings));
        QHelpEvent whatsThis(QEvent::WhatsThis, QPoint(1, 1), settings->mapToGlobal(QPoint(1, 1)));
        QApplication::sendEvent(settings, &whatsThis);
        QCOMPARE(help->CurrentPage(), sectionOf(CMainFrame::kSettings).first);
        help->close();
    }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Window> m_window;
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
