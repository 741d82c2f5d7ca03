#include "Icon.h"

#include "platform/PlatformError.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QtEndian>

namespace framework {
namespace {

// Far more than any icon file holds (256 x 256 at 32 bits is 256 KiB a size): a larger file is
// no icon and is not read.
constexpr qint64 MaxIconBytes = 4 * 1024 * 1024;

// The directory at the head of an .ico: reserved 0, type 1, the number of images, then one
// 16-byte entry each, whose image (size at 8, offset at 12) must lie within the file.
bool HasIcoDirectory(const QByteArray& bytes)
{
    const char* data = bytes.constData();
    const qint64 size = bytes.size();
    if (size < 6 || qFromLittleEndian<quint16>(data) != 0 || qFromLittleEndian<quint16>(data + 2) != 1)
        return false;
    const int count = qFromLittleEndian<quint16>(data + 4);
    if (count == 0 || 6 + 16 * qint64(count) > size)
        return false;
    for (int i = 0; i < count; ++i) {
        const char* entry = data + 6 + 16 * i;
        if (qint64(qFromLittleEndian<quint32>(entry + 12)) + qFromLittleEndian<quint32>(entry + 8) > size)
            return false;
    }
    return true;
}

// Every image of the file that decodes; a broken entry is left out.
QIcon Decode(const QByteArray& bytes)
{
    QIcon icon;
    QByteArray copy = bytes;
    QBuffer buffer(&copy);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "ico");
    const int count = reader.imageCount();
    for (int i = 0; i < count; ++i) {
        if (!reader.jumpToImage(i))
            break;
        const QImage image = reader.read();
        if (!image.isNull())
            icon.addPixmap(QPixmap::fromImage(image));
    }
    return icon;
}

} // namespace

void TIcon::LoadFromFile(const std::string& path)
{
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly))
        throw platform::PlatformError("Cannot open file " + path);
    if (file.size() > MaxIconBytes)
        throw platform::PlatformError("Icon image is not valid");
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        throw platform::PlatformError("Cannot open file " + path);
    if (!picture_.isNull() && bytes == bytes_)
        return;
    if (!HasIcoDirectory(bytes))
        throw platform::PlatformError("Icon image is not valid");
    QIcon icon = Decode(bytes);
    if (icon.isNull())
        throw platform::PlatformError("Icon image is not valid");
    picture_ = std::move(icon);
    bytes_ = bytes;
}

} // namespace framework
