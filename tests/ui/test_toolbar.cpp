#include "CTrueColorToolBar.h"

#include <QAction>
#include <QImage>
#include <QMainWindow>
#include <QRegularExpression>
#include <QTest>
#include <QToolButton>

#include <memory>

using zembra::CTrueColorToolBar;

namespace {

// Polish menu texts of the toolbar's commands, in button order.
const QStringList kPolishMenuTexts = {
    QStringLiteral("&Nowa lista\tCtrl+N"),  QStringLiteral("&Otwórz...\tCtrl+O"),
    QStringLiteral("&Zapisz\tCtrl+S"),      QStringLiteral("&Nowy alarm\tInsert"),
    QStringLiteral("&Edytuj alarm\tEnter"), QStringLiteral("&Usuń alarm"),
    QStringLiteral("&Ustawienia"),          QStringLiteral("&Uśpij"),
    QStringLiteral("Pomoc kontekstowa"),
};

const QStringList kObjectNames = {
    QStringLiteral("newListButton"),     QStringLiteral("openButton"),
    QStringLiteral("saveButton"),        QStringLiteral("newAlarmButton"),
    QStringLiteral("editAlarmButton"),   QStringLiteral("deleteAlarmButton"),
    QStringLiteral("settingsButton"),    QStringLiteral("sleepButton"),
    QStringLiteral("contextHelpButton"),
};

} // namespace

class TestToolBar : public QObject {
    Q_OBJECT

private:
    // A frame's worth of actions, laid out on the toolbar as the frame does it.
    void Populate()
    {
        m_window = std::make_unique<QMainWindow>();
        m_toolBar = new CTrueColorToolBar(m_window.get());
        m_window->addToolBar(Qt::TopToolBarArea, m_toolBar);
        m_actions.clear();
        QList<QAction*> layout;
        int n = 0;
        for (const int id : CTrueColorToolBar::ButtonOrder()) {
            if (id == 0) {
                layout.append(nullptr);
                continue;
            }
            auto* action = new QAction(kPolishMenuTexts.at(n++), m_window.get());
            action->setData(id);
            m_actions.append(action);
            layout.append(action);
        }
        m_toolBar->SetButtons(layout);
    }

    std::unique_ptr<QMainWindow> m_window;
    CTrueColorToolBar* m_toolBar = nullptr;
    QList<QAction*> m_actions;

private Q_SLOTS:
    void init() { Populate(); }
    void cleanup() { m_window.reset(); }

    void buttonText_data()
    {
        QTest::addColumn<QString>("menuText");
        QTest::addColumn<QString>("expected");
        QTest::newRow("dots, ampersand and shortcut go")
            << QStringLiteral("&Otwórz...\tCtrl+O") << QStringLiteral("Otwórz");
        QTest::newRow("a long text stays whole")
            << QStringLiteral("Pomoc kontekstowa") << QStringLiteral("Pomoc kontekstowa");
        QTest::newRow("a long text before the tab stays whole")
            << QStringLiteral("&Edytuj alarm\tEnter") << QStringLiteral("Edytuj alarm");
        QTest::newRow("dots inside the text go too")
            << QStringLiteral("a.b&c.") << QStringLiteral("abc");
        QTest::newRow("cut at the first tab")
            << QStringLiteral("Ab\tcd\tef") << QStringLiteral("Ab");
        QTest::newRow("empty") << QString() << QString();
    }
    void buttonText()
    {
        QFETCH(QString, menuText);
        QFETCH(QString, expected);
        QCOMPARE(CTrueColorToolBar::ButtonText(menuText), expected);
    }

    void oneButtonPerActionWithSeparatorsBetweenGroups()
    {
        const QList<QAction*> shown = m_toolBar->actions();
        QCOMPARE(shown.size(), CTrueColorToolBar::ButtonOrder().size());
        int n = 0;
        for (qsizetype i = 0; i < shown.size(); ++i) {
            QCOMPARE(shown.at(i)->isSeparator(), CTrueColorToolBar::ButtonOrder().at(i) == 0);
            if (!shown.at(i)->isSeparator()) {
                QCOMPARE(shown.at(i), m_actions.at(n));
                auto* button = m_toolBar->findChild<QToolButton*>(kObjectNames.at(n));
                QVERIFY2(button != nullptr, qPrintable(kObjectNames.at(n)));
                QCOMPARE(button->defaultAction(), m_actions.at(n++));
            }
        }
        // Setting the buttons again replaces them rather than adding more.
        m_toolBar->SetButtons({m_actions.at(0), nullptr, m_actions.at(1)});
        QCOMPARE(m_toolBar->actions().size(), 3);
        QCOMPARE(m_toolBar->ButtonActions().size(), 2);
    }

    void textsUnderTheImages()
    {
        QVERIFY(!m_toolBar->ButtonTextsSet());
        m_toolBar->UpdateButtonTexts();
        QVERIFY(m_toolBar->ButtonTextsSet());
        QCOMPARE(m_toolBar->iconSize(), QSize(24, 24));

        const QStringList expected = {
            QStringLiteral("Nowa lista"), QStringLiteral("Otwórz"),
            QStringLiteral("Zapisz"),     QStringLiteral("Nowy alarm"),
            QStringLiteral("Edytuj alarm"), QStringLiteral("Usuń alarm"),
            QStringLiteral("Ustawienia"), QStringLiteral("Uśpij"),
            QStringLiteral("Pomoc kontekstowa"),
        };
        for (qsizetype i = 0; i < kObjectNames.size(); ++i) {
            auto* button = m_toolBar->findChild<QToolButton*>(kObjectNames.at(i));
            QVERIFY(button != nullptr);
            QCOMPARE(button->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
            QCOMPARE(button->text(), expected.at(i));
            QVERIFY(button->minimumWidth() >= 32);
            QVERIFY(button->minimumHeight() >= 44);
            // The menu keeps its full text.
            QCOMPARE(m_actions.at(i)->text(), kPolishMenuTexts.at(i));
        }
    }

    void textsFromTheFramesMenuTexts()
    {
        auto* save = m_toolBar->findChild<QToolButton*>(QStringLiteral("saveButton"));
        const QString saveBefore = save->text();
        m_toolBar->SetButtonTexts({{m_actions.at(1), QStringLiteral("&Open...\tCtrl+O")},
                                   {m_actions.at(8), QStringLiteral("&Context help\tShift+F1")}});
        QVERIFY(m_toolBar->ButtonTextsSet());
        QCOMPARE(m_toolBar->findChild<QToolButton*>(QStringLiteral("openButton"))->text(),
                 QStringLiteral("Open"));
        QCOMPARE(m_toolBar->findChild<QToolButton*>(QStringLiteral("contextHelpButton"))->text(),
                 QStringLiteral("Context help"));
        // A command the frame gave no text for keeps the one it had.
        QCOMPARE(save->text(), saveBefore);
        QVERIFY(save->minimumHeight() >= 44);
    }

    void disabledActionDisablesItsButton()
    {
        auto* button = m_toolBar->findChild<QToolButton*>(QStringLiteral("deleteAlarmButton"));
        QVERIFY(button != nullptr);
        QVERIFY(button->isEnabled());
        m_actions.at(5)->setEnabled(false);
        QVERIFY(!button->isEnabled());
        QVERIFY(m_toolBar->findChild<QToolButton*>(QStringLiteral("editAlarmButton"))->isEnabled());
        // The button keeps its image while disabled.
        QVERIFY(!button->icon().isNull());
    }

    void iconsHaveThreeLooks()
    {
        const QStringList images = CTrueColorToolBar::ButtonImages();
        QCOMPARE(images.size(), kObjectNames.size());
        for (qsizetype i = 0; i < images.size(); ++i) {
            const QIcon icon = m_actions.at(i)->icon();
            QVERIFY2(!icon.isNull(), qPrintable(images.at(i)));
            const QSize size(24, 24);
            const QImage normal = icon.pixmap(size, 1.0, QIcon::Normal).toImage();
            const QImage hot = icon.pixmap(size, 1.0, QIcon::Active).toImage();
            const QImage disabled = icon.pixmap(size, 1.0, QIcon::Disabled)
                                        .toImage()
                                        .convertToFormat(QImage::Format_ARGB32);
            QCOMPARE(normal.size(), size);
            QVERIFY2(normal != hot, qPrintable(images.at(i)));
            QVERIFY2(normal != disabled, qPrintable(images.at(i)));
            QVERIFY2(hot != disabled, qPrintable(images.at(i)));

            // The disabled look has no colour left, and the picture is still there.
            int drawn = 0;
            for (int y = 0; y < disabled.height(); ++y) {
                for (int x = 0; x < disabled.width(); ++x) {
                    const QRgb pixel = disabled.pixel(x, y);
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
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("no_such\\.svg")));
        QVERIFY(CTrueColorToolBar::TrueColorIcon(QStringLiteral(":/images/no_such.svg")).isNull());
    }
};

QTEST_MAIN(TestToolBar)
#include "test_toolbar.moc"
