// The main window's toolbar: one button per command with separators between the groups, texts
// under the images that are never cut, and images with a normal, a hot and a grey look.

#include "CTrueColorToolBar.h"

#include <QAction>
#include <QImage>
#include <QMainWindow>
#include <QRegularExpression>
#include <QTest>
#include <QToolButton>

#include <memory>

using zembra::CTrueColorToolBar;
using namespace Qt::StringLiterals;

class TestToolBar : public QObject {
    Q_OBJECT

    // The commands in button order: the button's name, the Polish menu text, the button text.
    struct Command {
        const char* button;
        QString menu;
        QString text;
    };
    const QList<Command> m_commands = {
        {"newListButton", u"&Nowa lista\tCtrl+N"_s, u"Nowa lista"_s},
        {"openButton", u"&Otwórz...\tCtrl+O"_s, u"Otwórz"_s},
        {"saveButton", u"&Zapisz\tCtrl+S"_s, u"Zapisz"_s},
        {"newAlarmButton", u"&Nowy alarm\tInsert"_s, u"Nowy alarm"_s},
        {"editAlarmButton", u"&Edytuj alarm\tEnter"_s, u"Edytuj alarm"_s},
        {"deleteAlarmButton", u"&Usuń alarm"_s, u"Usuń alarm"_s},
        {"settingsButton", u"&Ustawienia"_s, u"Ustawienia"_s},
        {"sleepButton", u"&Uśpij"_s, u"Uśpij"_s},
        {"contextHelpButton", u"Pomoc kontekstowa"_s, u"Pomoc kontekstowa"_s},
    };
    std::unique_ptr<QMainWindow> m_window;
    CTrueColorToolBar* m_toolBar = nullptr;
    QList<QAction*> m_actions;

    QToolButton* Button(QString name) const { return m_toolBar->findChild<QToolButton*>(name); }

private Q_SLOTS:
    // A frame's worth of actions, laid out on the toolbar as the frame does it.
    void init()
    {
        m_window = std::make_unique<QMainWindow>();
        m_toolBar = new CTrueColorToolBar(m_window.get());
        m_window->addToolBar(Qt::TopToolBarArea, m_toolBar);
        m_actions.clear();
        QList<QAction*> layout;
        for (const int id : CTrueColorToolBar::ButtonOrder()) {
            if (id != 0)
                m_actions.append(new QAction(m_commands.at(m_actions.size()).menu, m_window.get()));
            layout.append(id != 0 ? m_actions.last() : nullptr);
        }
        m_toolBar->SetButtons(layout);
    }
    void cleanup() { m_window.reset(); }

    // One button per command, its text under its image, never cut; separators between the
    // groups. The button text is the menu text without its ampersands and dots (inside ones
    // too), cut at the first tab, and the menu keeps its full text; a command the frame gives
    // no new text for keeps the one it had.
    void oneButtonPerCommandWithItsTextUnderTheImage()
    {
        m_toolBar->UpdateButtonTexts();
        QVERIFY(m_toolBar->ButtonTextsSet());
        // One entry on the bar, button or separator, per entry of the frame's layout.
        QCOMPARE(m_toolBar->actions().size(), CTrueColorToolBar::ButtonOrder().size());
        for (qsizetype n = 0; n < m_commands.size(); ++n) {
            const Command& command = m_commands.at(n);
            QToolButton* button = Button(QLatin1String(command.button));
            QVERIFY2(button, command.button);
            QCOMPARE(button->defaultAction(), m_actions.at(n));
            QCOMPARE(button->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
            QCOMPARE(button->text(), command.text);
            QVERIFY(button->minimumWidth() >= 32 && button->minimumHeight() >= 44);
            QCOMPARE(m_actions.at(n)->text(), command.menu);
        }
        m_toolBar->SetButtonTexts({{m_actions.at(1), u"&Op.en...\tCtrl+O\tx"_s},
                                   {m_actions.at(8), u"&Context help\tShift+F1"_s}});
        QCOMPARE(Button(u"openButton"_s)->text(), u"Open"_s);
        QCOMPARE(Button(u"contextHelpButton"_s)->text(), u"Context help"_s);
        QCOMPARE(Button(u"saveButton"_s)->text(), m_commands.at(2).text);
        // Setting the buttons again replaces them rather than adding more.
        m_toolBar->SetButtons({m_actions.at(0), nullptr, m_actions.at(1)});
        QCOMPARE(m_toolBar->actions().size(), 3);
        QCOMPARE(m_toolBar->ButtonActions().size(), 2);
    }

    // Each image has a normal, a hot and a disabled look; the disabled one has no colour left,
    // and the picture is still there. An image that is not there gives no icon.
    void iconsHaveThreeLooksAndAMissingImageNone()
    {
        const QSize size(24, 24);
        for (const QAction* action : std::as_const(m_actions)) {
            const QIcon icon = action->icon();
            const QImage normal = icon.pixmap(size, 1.0, QIcon::Normal).toImage();
            const QImage hot = icon.pixmap(size, 1.0, QIcon::Active).toImage();
            const QImage grey = icon.pixmap(size, 1.0, QIcon::Disabled).toImage();
            QVERIFY2(normal != hot && normal != grey && hot != grey, qPrintable(action->text()));
            int drawn = 0;
            for (int y = 0; y < grey.height(); ++y) {
                for (int x = 0; x < grey.width(); ++x)
                    drawn += qAlpha(grey.pixel(x, y)) > 0 ? 1 : 0;
            }
            QVERIFY2(grey.allGray() && drawn > 24, qPrintable(action->text()));
        }
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"no_such\\.svg"_s));
        QVERIFY(CTrueColorToolBar::TrueColorIcon(u":/images/no_such.svg"_s).isNull());
    }
};

QTEST_MAIN(TestToolBar)
#include "test_toolbar.moc"
