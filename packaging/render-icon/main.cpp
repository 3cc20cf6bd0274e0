// zembra-render-icon: renders one of the project's SVG icons into the PNG sizes of the hicolor
// icon theme, so that panels and menus that take no SVG show the same drawing.
//
//   zembra-render-icon SVG OUTPUT-DIR CONTEXT NAME SIZE...
//
// writes OUTPUT-DIR/<SIZE>x<SIZE>/CONTEXT/NAME.png for each SIZE.

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QString>
#include <QSvgRenderer>

#include <cstdio>

int main(int argc, char** argv)
{
    if (argc < 6) {
        std::fputs("usage: zembra-render-icon SVG OUTPUT-DIR CONTEXT NAME SIZE...\n", stderr);
        return 2;
    }
    const QString svgPath = QString::fromLocal8Bit(argv[1]);
    const QString outputDir = QString::fromLocal8Bit(argv[2]);
    const QString context = QString::fromLocal8Bit(argv[3]);
    const QString name = QString::fromLocal8Bit(argv[4]);

    QSvgRenderer renderer(svgPath);
    if (!renderer.isValid()) {
        std::fprintf(stderr, "zembra-render-icon: %s is not a valid SVG image\n", argv[1]);
        return 1;
    }
    for (int i = 5; i < argc; ++i) {
        bool ok = false;
        const int size = QString::fromLocal8Bit(argv[i]).toInt(&ok);
        if (!ok || size <= 0 || size > 1024) {
            std::fprintf(stderr, "zembra-render-icon: %s is not an icon size\n", argv[i]);
            return 2;
        }
        QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        {
            QPainter painter(&image);
            painter.setRenderHint(QPainter::Antialiasing);
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            renderer.render(&painter, QRectF(0, 0, size, size));
        }
        const QString dir = QStringLiteral("%1/%2x%2/%3").arg(outputDir).arg(size).arg(context);
        const QString path = dir + QLatin1Char('/') + name + QStringLiteral(".png");
        if (!QDir().mkpath(dir) || !image.save(path, "PNG")) {
            std::fprintf(stderr, "zembra-render-icon: cannot write %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
