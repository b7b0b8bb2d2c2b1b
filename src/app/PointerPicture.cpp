#include "app/PointerPicture.h"

#include "appearance/CursorHotSpot.h"

#include <QFile>
#include <QPixmap>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace bw {

namespace {

// Pointer pictures are a few kilobytes; anything far larger is not one.
constexpr qint64 MaximumPictureBytes = 4 * 1024 * 1024;

std::optional<QByteArray> readRegularFile(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    struct stat info {};
    if (path.isEmpty() || ::stat(name.constData(), &info) != 0 || !S_ISREG(info.st_mode))
        return std::nullopt;
    // Non-blocking, and checked again once open, in case the name was
    // replaced by a FIFO in between.
    const int fd = ::open(name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    if (fd < 0)
        return std::nullopt;
    QByteArray data;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size <= MaximumPictureBytes) {
        data.resize(static_cast<qsizetype>(info.st_size));
        qsizetype done = 0;
        while (done < data.size()) {
            const ssize_t got = ::read(fd, data.data() + done, static_cast<size_t>(data.size() - done));
            if (got <= 0)
                break;
            done += got;
        }
        data.truncate(done);
    }
    ::close(fd);
    if (data.isEmpty())
        return std::nullopt;
    return data;
}

} // namespace

std::optional<QCursor> loadPointerPicture(const QString& path)
{
    const std::optional<QByteArray> data = readRegularFile(path);
    if (!data)
        return std::nullopt;
    QPixmap picture;
    if (!picture.loadFromData(*data) || picture.isNull())
        return std::nullopt;
    if (const std::optional<QPoint> hotSpot = cursorHotSpot(*data))
        return QCursor(picture, hotSpot->x(), hotSpot->y());
    return QCursor(picture);
}

} // namespace bw
