#include "CTrueColorToolBar.h"

#include <QAction>
#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QSvgRenderer>
#include <QToolButton>

#include <algorithm>
#include <array>

// The images live in a static library: nothing would pull their object file into the program
// unless something names the registration function. Q_INIT_RESOURCE cannot be used inside a
// namespace.
static void InitToolbarResources()
{
    static const bool registered = [] {
        Q_INIT_RESOURCE(toolbar);
        return true;
    }();
    Q_UNUSED(registered);
}

namespace zembra {

namespace {

struct ButtonInfo {
    int id;
    const char* image;
    const char* objectName;
};

// From left to right; id 0 is a separator.
constexpr std::array kButtons = {
    ButtonInfo{57600, ":/images/tb_new_list.svg", "newListButton"},
    ButtonInfo{57601, ":/images/tb_open.svg", "openButton"},
    ButtonInfo{57603, ":/images/tb_save.svg", "saveButton"},
    ButtonInfo{0, nullptr, nullptr},
    ButtonInfo{32784, ":/images/tb_new_alarm.svg", "newAlarmButton"},
    ButtonInfo{32786, ":/images/tb_edit_alarm.svg", "editAlarmButton"},
    ButtonInfo{32785, ":/images/tb_delete_alarm.svg", "deleteAlarmButton"},
    ButtonInfo{0, nullptr, nullptr},
    ButtonInfo{32776, ":/images/tb_settings.svg", "settingsButton"},
    ButtonInfo{0, nullptr, nullptr},
    ButtonInfo{32787, ":/images/tb_sleep.svg", "sleepButton"},
    ButtonInfo{0, nullptr, nullptr},
    ButtonInfo{57669, ":/images/tb_context_help.svg", "contextHelpButton"},
};

// The object names of the buttons in order, separators left out.
QStringList ButtonObjectNames()
{
    QStringList names;
    for (const ButtonInfo& info : kButtons) {
        if (info.id != 0) {
            names.append(QLatin1String(info.objectName));
        }
    }
    return names;
}

QImage RenderSvg(QSvgRenderer& renderer, int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter);
    painter.end();
    // Straight alpha, so that the looks below change colours without touching the edges.
    return image.convertToFormat(QImage::Format_ARGB32);
}

// The hot look: the same picture a little brighter and more saturated.
QImage HotImage(const QImage& normal)
{
    QImage image = normal;
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(line[x]) == 0) {
                continue;
            }
            const QColor hsv = QColor::fromRgba(line[x]).toHsv();
            const int saturation = std::min(255, hsv.hsvSaturation() * 115 / 100);
            const int value = std::min(255, hsv.value() * 112 / 100 + 12);
            line[x] = QColor::fromHsv(hsv.hsvHue(), saturation, value, hsv.alpha()).rgba();
        }
    }
    return image;
}

// The disabled look: grey, paler and a little see-through, so that it reads as unavailable on
// any background.
QImage DisabledImage(const QImage& normal)
{
    QImage image = normal;
    for (int y = 0; y < image.height(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = line[x];
            const int gray = qGray(pixel);
            const int pale = gray + (255 - gray) * 45 / 100;
            line[x] = qRgba(pale, pale, pale, qAlpha(pixel) * 3 / 4);
        }
    }
    return image;
}

} // namespace

CTrueColorToolBar::CTrueColorToolBar(QWidget* parent)
    : QToolBar(parent)
{
    setObjectName(QStringLiteral("toolBar"));
    // The toolbar stays at the top of the window. The main window's context menu would offer to
    // hide it, and no command brings it back, so that entry is taken away.
    setMovable(false);
    setFloatable(false);
    setAllowedAreas(Qt::TopToolBarArea);
    toggleViewAction()->setVisible(false);
    setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    setIconSize(QSize(kImageSize, kImageSize));
}

QList<int> CTrueColorToolBar::ButtonOrder()
{
    QList<int> order;
    for (const ButtonInfo& info : kButtons) {
        order.append(info.id);
    }
    return order;
}

QStringList CTrueColorToolBar::ButtonImages()
{
    QStringList images;
    for (const ButtonInfo& info : kButtons) {
        if (info.id != 0) {
            images.append(QLatin1String(info.image));
        }
    }
    return images;
}

QIcon CTrueColorToolBar::TrueColorIcon(const QString& svgPath)
{
    InitToolbarResources();
    QSvgRenderer renderer(svgPath);
    if (!renderer.isValid()) {
        return {};
    }
    QIcon icon;
    for (const int size : {kImageSize, 2 * kImageSize}) {
        const QImage normal = RenderSvg(renderer, size);
        icon.addPixmap(QPixmap::fromImage(normal), QIcon::Normal);
        icon.addPixmap(QPixmap::fromImage(HotImage(normal)), QIcon::Active);
        icon.addPixmap(QPixmap::fromImage(DisabledImage(normal)), QIcon::Disabled);
    }
    return icon;
}

QString CTrueColorToolBar::ButtonText(const QString& menuText)
{
    QString text = menuText;
    text.remove(QLatin1Char('&'));
    text.remove(QLatin1Char('.'));
    const qsizetype tab = text.indexOf(QLatin1Char('\t'));
    if (tab >= 0) {
        text.truncate(tab);
    }
    return text;
}

void CTrueColorToolBar::SetButtons(const QList<QAction*>& actions)
{
    clear();
    m_buttonActions.clear();
    const QStringList images = ButtonImages();
    const QStringList names = ButtonObjectNames();
    for (QAction* action : actions) {
        if (action == nullptr) {
            addSeparator();
            continue;
        }
        const qsizetype index = m_buttonActions.size();
        if (index < images.size()) {
            action->setIcon(TrueColorIcon(images.at(index)));
        }
        addAction(action);
        m_buttonActions.append(action);
        if (QToolButton* button = ButtonFor(action)) {
            if (index < names.size()) {
                button->setObjectName(names.at(index));
            }
            if (m_bButtonTextsSet) {
                ApplyButtonSize(button);
            }
        }
    }
}

QList<QAction*> CTrueColorToolBar::ButtonActions() const
{
    return m_buttonActions;
}

QToolButton* CTrueColorToolBar::ButtonFor(QAction* action) const
{
    return qobject_cast<QToolButton*>(widgetForAction(action));
}

void CTrueColorToolBar::UpdateButtonTexts()
{
    QMap<QAction*, QString> menuTexts;
    for (QAction* action : std::as_const(m_buttonActions)) {
        menuTexts.insert(action, action->text());
    }
    SetButtonTexts(menuTexts);
}

void CTrueColorToolBar::SetButtonTexts(const QMap<QAction*, QString>& menuTexts)
{
    for (QAction* action : std::as_const(m_buttonActions)) {
        const auto text = menuTexts.constFind(action);
        if (text != menuTexts.cend()) {
            // The button shows iconText; the menu keeps the full text.
            action->setIconText(ButtonText(*text));
        }
    }
    if (!m_bButtonTextsSet) {
        setIconSize(QSize(kImageSize, kImageSize));
        for (QAction* action : std::as_const(m_buttonActions)) {
            if (QToolButton* button = ButtonFor(action)) {
                ApplyButtonSize(button);
            }
        }
        m_bButtonTextsSet = true;
    }
    update();
}

void CTrueColorToolBar::ApplyButtonSize(QToolButton* button) const
{
    // A minimum rather than a fixed size: a text wider than the image widens its button, and a
    // large font makes the buttons taller instead of cutting the text off.
    button->setMinimumSize(kButtonWidth, kButtonHeight);
}

} // namespace zembra
