#include "intake/DropIntake.h"

#include "filelist/FileListModel.h"
#include "intake/IntakeRules.h"
#include "intake/LocalName.h"
#include "intake/TreeScan.h"
#include "intake/WildcardPattern.h"
#include "platform/FileSystem.h"
#include "platform/PlatformError.h"
#include "platform/Yielder.h"

#include <QMimeData>
#include <QUrl>
#include <optional>

namespace bw {

DropIntake::DropIntake(FileSystem& fileSystem, Yielder& yielder, FileListModel& list)
    : fileSystem_(fileSystem), yielder_(yielder), list_(list)
{
}

QStringList DropIntake::droppedPaths(const QMimeData& data)
{
    if (!data.hasUrls())
        return {};
    QStringList paths;
    for (const QUrl& url : data.urls()) {
        if (!url.isLocalFile() || url.toLocalFile().isEmpty())
            return {};
        // Qt gives stand-ins for bytes that are not UTF-8; the URL still
        // has them.
        const QString path = url.toLocalFile();
        paths.append(
            path.contains(QChar::ReplacementCharacter)
                ? decodeLocalName(QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()))
                : path);
    }
    return paths;
}

void DropIntake::run(const QStringList& paths)
{
    const WildcardPattern everyName(QStringLiteral("*.*"));
    for (const QString& path : paths) {
        if (yielder_.stopRequested())
            return;
        std::optional<FileStatus> status;
        try {
            status = fileSystem_.status(path);
        } catch (const PlatformError&) {
            // Dropped paths are taken as they come, even one gone meanwhile.
        }
        if (status && status->isDirectory) {
            TreeScan scan(fileSystem_, yielder_);
            const QStringList rows = scan.rows(path, everyName);
            if (scan.stopped())
                return;
            list_.appendAll(rows);
        } else if (!IntakeRules::isSpecialFile(fileSystem_, path)) {
            list_.append(path);
        }
    }
}

} // namespace bw
