#include "AppIcon.h"

#include "Paint.h"
#include "Parts.h"

#include <cstdio>

namespace art {

namespace {

QImage AppIcon(int size)
{
    // Drawn in device pixels whatever the skin's ratio: icon sizes are device pixels.
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p;
    Begin(p, image);
    // Large icons keep a small margin, as the icons beside them in a menu do.
    const qreal margin = size >= 48 ? size / 16.0 : 0.0;
    PaintEmblem(p, QRectF(margin, margin, size - 2 * margin, size - 2 * margin));
    p.end();
    return image;
}

} // namespace

bool SaveAppIcons(const QDir& dir)
{
    if (!dir.mkpath("appicon")) {
        std::fprintf(stderr, "skin_art: cannot make %s\n", qPrintable(dir.filePath("appicon")));
        return false;
    }
    bool ok = true;
    for (const int size : kAppIconSizes) {
        const QString path = dir.filePath(QString("appicon/kestrune-%1.png").arg(size));
        if (!AppIcon(size).convertToFormat(QImage::Format_ARGB32).save(path, "PNG")) {
            std::fprintf(stderr, "skin_art: cannot write %s\n", qPrintable(path));
            ok = false;
        }
    }
    return ok;
}

} // namespace art
