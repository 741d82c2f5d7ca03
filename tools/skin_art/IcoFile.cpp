// Icon files with several sizes. Qt's ico writer stores one image per file, so each size is
// encoded by it on its own and the single-image files are joined under one directory.
// The writer leaves the padding at the end of each row of the transparency mask unset;
// it is cleared here so that the same drawing always gives the same file.
#include "Art.h"

#include <QBuffer>
#include <QFile>
#include <QImageWriter>
#include <QtEndian>

namespace art {

namespace {

constexpr int kDirSize = 6;     // reserved, type, count: three 16-bit words
constexpr int kEntrySize = 16;  // one directory entry

struct Encoded {
    QByteArray entry;  // the directory entry, its offset still the single file's
    QByteArray data;   // the image's bytes
};

// Zeroes the bytes that pad each row of a bitmap image's AND mask to 32 bits.
void ClearMaskPadding(QByteArray& data)
{
    constexpr int kInfoHeader = 40;
    if (data.size() < kInfoHeader || qFromLittleEndian<quint32>(data.constData()) != kInfoHeader)
        return;  // not a bitmap entry
    const qint32 width = qFromLittleEndian<qint32>(data.constData() + 4);
    const qint32 height = qFromLittleEndian<qint32>(data.constData() + 8) / 2;  // colour rows, then mask rows
    const quint16 bits = qFromLittleEndian<quint16>(data.constData() + 14);
    if (width <= 0 || height <= 0 || bits != 32)
        return;
    const qint64 colourRow = (qint64(width) * bits + 31) / 32 * 4;
    const qint64 maskRow = (qint64(width) + 31) / 32 * 4;
    const qint64 maskStart = kInfoHeader + colourRow * height;
    const qint64 used = (width + 7) / 8;
    if (maskStart + maskRow * height > data.size())
        return;
    for (qint64 row = 0; row < height; ++row)
        for (qint64 b = used; b < maskRow; ++b)
            data[maskStart + row * maskRow + b] = '\0';
}

bool Encode(const QImage& image, Encoded& out)
{
    QByteArray file;
    QBuffer buffer(&file);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, "ico");
    if (!writer.write(image))
        return false;
    if (file.size() < kDirSize + kEntrySize || qFromLittleEndian<quint16>(file.constData() + 4) != 1)
        return false;
    out.entry = file.mid(kDirSize, kEntrySize);
    const quint32 size = qFromLittleEndian<quint32>(out.entry.constData() + 8);
    const quint32 offset = qFromLittleEndian<quint32>(out.entry.constData() + 12);
    if (offset + quint64(size) > quint64(file.size()))
        return false;
    out.data = file.mid(offset, size);
    ClearMaskPadding(out.data);
    return true;
}

} // namespace

bool WriteIco(const QString& path, const QList<QImage>& images)
{
    QList<Encoded> parts;
    for (const QImage& image : images) {
        Encoded e;
        if (!Encode(image, e))
            return false;
        parts.append(e);
    }

    QByteArray out(kDirSize, '\0');
    qToLittleEndian<quint16>(1, out.data() + 2);
    qToLittleEndian<quint16>(quint16(parts.size()), out.data() + 4);
    quint32 offset = kDirSize + kEntrySize * parts.size();
    for (Encoded& e : parts) {
        qToLittleEndian<quint32>(offset, e.entry.data() + 12);
        out += e.entry;
        offset += e.data.size();
    }
    for (const Encoded& e : parts)
        out += e.data;

    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(out) == out.size() && file.flush();
}

} // namespace art
