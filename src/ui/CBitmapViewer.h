#pragma once

// The picture of the status panel: one image drawn at its natural size at the control's
// top-left corner, never scaled. Its transparent parts leave the panel's background visible,
// and the control paints nothing at all until a picture is loaded.

#include <QPixmap>
#include <QSize>
#include <QWidget>

class QSvgRenderer;

namespace zembra {

class CBitmapViewer : public QWidget {
    Q_OBJECT

public:
    explicit CBitmapViewer(QWidget* parent = nullptr);
    ~CBitmapViewer() override;

    // Loads an SVG picture (a resource path or a file); false, and an empty control, when it
    // cannot be read.
    bool LoadPicture(const QString& path);
    bool IsLoaded() const;
    // The picture's natural size in device-independent pixels; empty when none is loaded.
    QSize PictureSize() const;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QSvgRenderer* m_renderer = nullptr;
    // The picture rendered for the screen's pixel ratio, so that repaints only copy it.
    QPixmap m_cache;
};

} // namespace zembra
