#include "print/DocumentKind.h"

#include "intake/LocalName.h"
#include "platform/PlatformError.h"

#include <QFile>
#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace bw {

namespace {

// A presentation supports the generic drawing service as well: it is
// looked for before the drawing.
const DocumentKind Kinds[] = {
    {QStringLiteral("com.sun.star.sheet.SpreadsheetDocument"), QStringLiteral("calc_pdf_Export"), true},
    {QStringLiteral("com.sun.star.text.TextDocument"), QStringLiteral("writer_pdf_Export"), false},
    {QStringLiteral("com.sun.star.presentation.PresentationDocument"), QStringLiteral("impress_pdf_Export"),
     false},
    {QStringLiteral("com.sun.star.drawing.DrawingDocument"), QStringLiteral("draw_pdf_Export"), false},
};

[[noreturn]] void cannotCopy(const QString& path, const QString& copy, const QString& reason)
{
    throw PlatformError(ErrorNumber::FileAccess,
                        QStringLiteral("Cannot copy the PDF %1 to %2: %3").arg(path, copy, reason));
}

} // namespace

std::optional<DocumentKind> DocumentKind::ofServices(const QStringList& services)
{
    for (const DocumentKind& kind : Kinds)
        if (services.contains(kind.service))
            return kind;
    return std::nullopt;
}

bool copyIfPdf(const QString& path, const QString& copy, bool ownerOnly)
{
    // Non-blocking: a FIFO put in a file's place never holds the batch.
    const int descriptor = ::open(encodeLocalName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (descriptor < 0)
        return false;
    QFile in;
    in.open(descriptor, QIODevice::ReadOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle);
    struct stat status = {};
    if (::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode))
        return false;
    static constexpr char Magic[] = "%PDF-";
    constexpr ssize_t MagicSize = sizeof Magic - 1;
    std::array<char, 65536> buffer;
    const auto readSome = [&] {
        ssize_t got;
        do
            got = ::read(descriptor, buffer.data(), buffer.size());
        while (got < 0 && errno == EINTR);
        return got;
    };
    ssize_t got = readSome();
    if (got < MagicSize || std::memcmp(buffer.data(), Magic, MagicSize) != 0)
        return false;

    // Opened by the name's own bytes: it may carry some that are not UTF-8.
    const int written = ::open(encodeLocalName(copy).constData(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC,
                               ownerOnly ? 0600 : 0666);
    if (written < 0)
        cannotCopy(path, copy, QString::fromLocal8Bit(std::strerror(errno)));
    QFile out;
    out.open(written, QIODevice::WriteOnly | QIODevice::Unbuffered, QFileDevice::AutoCloseHandle);
    for (; got > 0; got = readSome()) {
        if (out.write(buffer.data(), got) != got)
            cannotCopy(path, copy, out.errorString());
    }
    if (got < 0)
        cannotCopy(path, copy, QString::fromLocal8Bit(std::strerror(errno)));
    out.close();
    if (out.error() != QFileDevice::NoError)
        cannotCopy(path, copy, out.errorString());
    return true;
}

} // namespace bw
