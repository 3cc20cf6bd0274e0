// The main window's toolbar: one button per command with separators between the groups, texts
// under the images that are never cut, and images with a normal, a hot and a grey look.

#include "CTrueColorToolBar.h"

#include <QtTest>
#include <QtWidgets>

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

private Q_SLOTS:
    // A frame's worth of actions, laid out on the toolbar as the frame does it: one button per
    // command, its text under its image, never cut; separators between the groups. The button
    // text is the menu text without its ampersands and dots (inside ones too), cut at the first
    // tab, and the menu keeps its full text; a command the frame gives no new text for keeps
    // the one it had. Each image has a normal, a hot and a disabled look; the disabled one has
    // no colour left, and the picture is still there. An image that is not there gives no icon.
    void oneButtonPerCommandWithItsTextUnderAnImageOfThreeLooks()
    {
        QMainWindow window;
        auto* toolBar = new CTrueColorToolBar(&window);
        window.addToolBar(Qt::TopToolBarArea, toolBar);
        QList<QAction*> actions, layout;
        for (const int id : CTrueColorToolBar::ButtonOrder()) {
            if (id != 0)
                actions.append(new QAction(m_commands.at(actions.size()).menu, &window));
            layout.append(id != 0 ? actions.last() : nullptr);
        }
        toolBar->SetButtons(layout);
        toolBar->UpdateButtonTexts();
        QVERIFY(toolBar->ButtonTextsSet());
        // One entry on the bar, button or separator, per entry of the frame's layout.
        QCOMPARE(toolBar->actions().size(), layout.size());
        const auto button = [toolBar](const char* name) {
            return toolBar->findChild<QToolButton*>(QLatin1String(name));
        };
        for (qsizetype n = 0; n < m_commands.size(); ++n) {
            const Command& command = m_commands.at(n);
            QToolButton* shown = button(command.button);
            QVERIFY2(shown, command.button);
            QCOMPARE(shown->defaultAction(), actions.at(n));
            QCOMPARE(shown->text(), command.text);
            QVERIFY(shown->minimumWidth() >= 32 && shown->minimumHeight() >= 44);
            QCOMPARE(actions.at(n)->text(), command.menu);

            const QIcon icon = actions.at(n)->icon();
            const QImage normal = icon.pixmap(QSize(24, 24), 1.0, QIcon::Normal).toImage();
            const QImage hot = icon.pixmap(QSize(24, 24), 1.0, QIcon::Active).toImage();
            const QImage grey = icon.pixmap(QSize(24, 24), 1.0, QIcon::Disabled).toImage();
            QVERIFY2(normal != hot && normal != grey && hot != grey, command.button);
            int drawn = 0;
            for (int y = 0; y < grey.height(); ++y) {
                for (int x = 0; x < grey.width(); ++x)
                    drawn += qAlpha(grey.pixel(x, y)) > 0 ? 1 : 0;
            }
            QVERIFY2(grey.allGray() && drawn > 24, command.button);
        }
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"no_such\\.svg"_s));
        QVERIFY(CTrueColorToolBar::TrueColorIcon(u":/images/no_such.svg"_s).isNull());

        toolBar->SetButtonTexts({{actions.at(1), u"&Op.en...\tCtrl+O\tx"_s},
                                 {actions.at(8), u"&Context help\tShift+F1"_s}});
        QCOMPARE(button("openButton")->text(), u"Open"_s);
        QCOMPARE(button("contextHelpButton")->text(), u"Context help"_s);
        QCOMPARE(button("saveButton")->text(), m_commands.at(2).text);
        // Setting the buttons again replaces them rather than adding more.
        toolBar->SetButtons({actions.at(0), nullptr, actions.at(1)});
        QCOMPARE(toolBar->actions().size(), 3);
        QCOMPARE(toolBar->ButtonActions().size(), 2);
    }
};

QTEST_MAIN(TestToolBar)
#include "test_toolbar.moc"
