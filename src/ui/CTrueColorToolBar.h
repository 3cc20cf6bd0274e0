#pragma once

// The main window's toolbar: large full-colour images with the command's name under each, made
// from the frame's own actions so that enabling, triggering and tooltips stay the frame's.
//
// Each image comes in three looks drawn from one SVG: normal, hot (under the mouse) and disabled.
// The button texts are short forms of the actions' menu texts; the frame asks for them again
// after every language switch, once it has re-translated its actions.

#include <QIcon>
#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>
#include <QToolBar>

class QAction;
class QToolButton;

namespace zembra {

class CTrueColorToolBar : public QToolBar {
    Q_OBJECT

public:
    static constexpr int kImageSize = 24;
    static constexpr int kButtonWidth = 32;
    static constexpr int kButtonHeight = 44;

    explicit CTrueColorToolBar(QWidget* parent = nullptr);

    // Command ids of the buttons from left to right; 0 stands for a separator.
    static QList<int> ButtonOrder();
    // The image of each button, in the order of ButtonOrder() without the separators.
    static QStringList ButtonImages();

    // An icon of kImageSize pixels (and twice that for dense screens) with the SVG as it is for
    // QIcon::Normal, a brighter version for QIcon::Active and a pale grey one for
    // QIcon::Disabled. A null icon when the file cannot be read as SVG.
    static QIcon TrueColorIcon(const QString& svgPath);

    // The text of a button from its command's menu text: without "&" and ".", only what comes
    // before a tab. Never cut: the button grows to its text, so a language whose menu text is
    // too long for a button gives the button a shorter text of its own instead.
    static QString ButtonText(const QString& menuText);

    // Replaces the buttons with these actions, in this order; a null entry is a separator. The
    // n-th action gets the n-th image of ButtonImages() as its icon.
    void SetButtons(const QList<QAction*>& actions);
    // The buttons' actions in order, separators left out.
    QList<QAction*> ButtonActions() const;
    // The button showing an action; null when the action is not on the toolbar.
    QToolButton* ButtonFor(QAction* action) const;

    // Sets the buttons' texts from their commands' menu texts (as the menu shows them, perhaps
    // with a tab and the shortcut); a button whose action is not in the map keeps its text. The
    // first call also fixes the buttons' size. The frame calls it after SetButtons and after
    // each language switch, once its actions carry the new language.
    void SetButtonTexts(const QMap<QAction*, QString>& menuTexts);
    // SetButtonTexts with each action's own text().
    void UpdateButtonTexts();
    // Whether the button texts have been set.
    bool ButtonTextsSet() const { return m_bButtonTextsSet; }

private:
    void ApplyButtonSize(QToolButton* button) const;

    QList<QAction*> m_buttonActions;
    bool m_bButtonTextsSet = false;
};

} // namespace zembra
