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

    QToolButton* Button(const char* name) const
    {
        return m_toolBar->findChild<QToolButton*>(QLatin1String(name));
    }

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
            QAction* action = nullptr;
            if (id != 0) {
                action = new QAction(m_commands.at(m_actions.size()).menu, m_window.get());
                action->setData(id);
                m_actions.append(action);
            }
            layout.append(action);
        }
        m_toolBar->SetButtons(layout);
    }
    void cleanup() { m_window.reset(); }

    // The menu text loses its dots, its ampersands and all from the first tab on; the rest
    // stays whole, however long.
    void buttonText_data()
    {
        QTest::addColumn<QString>("menuText");
        QTest::addColumn<QString>("expected");
        QTest::newRow("dots inside the text go too") << u"a.b&c."_s << u"abc"_s;
        QTest::newRow("cut at the first tab") << u"Ab\tcd\tef"_s << u"Ab"_s;
        QTest::newRow("empty") << QString() << QString();
    }
    void buttonText()
    {
        QFETCH(QString, menuText);
        QFETCH(QString, expected);
        QCOMPARE(CTrueColorToolBar::ButtonText(menuText), expected);
    }

    // One button per command, its text under its image, never cut; separators between the
    // groups; the menu keeps its full text.
    void oneButtonPerCommandWithItsTextUnderTheImage()
    {
        QVERIFY(!m_toolBar->ButtonTextsSet());
        m_toolBar->UpdateButtonTexts();
        QVERIFY(m_toolBar->ButtonTextsSet());
        const QList<QAction*> shown = m_toolBar->actions();
        QCOMPARE(shown.size(), CTrueColorToolBar::ButtonOrder().size());
        qsizetype n = 0;
        for (qsizetype i = 0; i < shown.size(); ++i) {
            QCOMPARE(shown.at(i)->isSeparator(), CTrueColorToolBar::ButtonOrder().at(i) == 0);
            if (shown.at(i)->isSeparator())
                continue;
            const Command& command = m_commands.at(n);
            QToolButton* button = Button(command.button);
            QVERIFY2(button, command.button);
            QCOMPARE(shown.at(i), m_actions.at(n));
            QCOMPARE(button->defaultAction(), m_actions.at(n++));
            QCOMPARE(button->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
            QCOMPARE(button->text(), command.text);
            QVERIFY(button->minimumWidth() >= 32 && button->minimumHeight() >= 44);
            QCOMPARE(shown.at(i)->text(), command.menu);
        }
        QCOMPARE(n, m_commands.size());
        // Setting the buttons again replaces them rather than adding more.
        m_toolBar->SetButtons({m_actions.at(0), nullptr, m_actions.at(1)});
        QCOMPARE(m_toolBar->actions().size(), 3);
        QCOMPARE(m_toolBar->ButtonActions().size(), 2);
    }

    void textsFromTheFramesMenuTexts()
    {
        const QString saveBefore = Button("saveButton")->text();
        m_toolBar->SetButtonTexts({{m_actions.at(1), u"&Open...\tCtrl+O"_s},
                                   {m_actions.at(8), u"&Context help\tShift+F1"_s}});
        QVERIFY(m_toolBar->ButtonTextsSet());
        QCOMPARE(Button("openButton")->text(), u"Open"_s);
        QCOMPARE(Button("contextHelpButton")->text(), u"Context help"_s);
        // A command the frame gave no text for keeps the one it had.
        QCOMPARE(Button("saveButton")->text(), saveBefore);
        QVERIFY(Button("saveButton")->minimumHeight() >= 44);
    }

    void disabledActionDisablesItsButtonAndKeepsItsImage()
    {
        QVERIFY(Button("deleteAlarmButton")->isEnabled());
        m_actions.at(5)->setEnabled(false);
        QVERIFY(!Button("deleteAlarmButton")->isEnabled());
        QVERIFY(Button("editAlarmButton")->isEnabled());
        QVERIFY(!Button("deleteAlarmButton")->icon().isNull());
    }

    // The disabled look has no colour left, and the picture is still there.
    void iconsHaveThreeLooks()
    {
        const QStringList images = CTrueColorToolBar::ButtonImages();
        QCOMPARE(images.size(), m_commands.size());
        const QSize size(24, 24);
        for (qsizetype i = 0; i < images.size(); ++i) {
            const QIcon icon = m_actions.at(i)->icon();
            QVERIFY2(!icon.isNull(), qPrintable(images.at(i)));
            const QImage normal = icon.pixmap(size, 1.0, QIcon::Normal).toImage();
            const QImage hot = icon.pixmap(size, 1.0, QIcon::Active).toImage();
            const QImage grey = icon.pixmap(size, 1.0, QIcon::Disabled)
                                    .toImage()
                                    .convertToFormat(QImage::Format_ARGB32);
            QCOMPARE(normal.size(), size);
            QVERIFY2(normal != hot && normal != grey && hot != grey, qPrintable(images.at(i)));
            int drawn = 0;
            for (int y = 0; y < grey.height(); ++y) {
                for (int x = 0; x < grey.width(); ++x) {
                    const QRgb pixel = grey.pixel(x, y);
                    if (qAlpha(pixel) > 0) {
                        ++drawn;
                        QVERIFY(qRed(pixel) == qGreen(pixel) && qGreen(pixel) == qBlue(pixel));
                    }
                }
            }
            QVERIFY2(drawn > 24, qPrintable(images.at(i)));
        }
    }

    void missingImageGivesNoIcon()
    {
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(u"no_such\\.svg"_s));
        QVERIFY(CTrueColorToolBar::TrueColorIcon(u":/images/no_such.svg"_s).isNull());
    }
};

QTEST_MAIN(TestToolBar)
#include "test_toolbar.moc"
