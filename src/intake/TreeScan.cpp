#include "intake/TreeScan.h"

#include "intake/FolderWalk.h"
#include "intake/IntakeRules.h"
#include "intake/ListMatchingFiles.h"
#include "platform/PlatformError.h"

namespace bw {

TreeScan::TreeScan(FileSystem& fileSystem, Yielder& yielder) : fileSystem_(fileSystem), yielder_(yielder) {}

QStringList TreeScan::rows(const QString& folder, const WildcardPattern& pattern)
{
    QStringList folders{folder + IntakeRules::Separator};
    FolderWalk walk(fileSystem_, yielder_);
    walk.collectSubFolders(folders);
    stopped_ = walk.stopped();
    if (stopped_)
        return {};

    QStringList rows;
    for (qsizetype i = 0; i < folders.size(); ++i) {
        const QString listed = folders.at(i).chopped(1);
        QStringList names;
        try {
            names = listMatchingFiles(fileSystem_, listed, pattern);
        } catch (const PlatformError& error) {
            // Unreadable or gone since the walk: its files are passed over;
            // the start folder's failure is kept for the caller to tell.
            if (i == 0)
                startFolderError_ = error.description();
            continue;
        }
        // A name holds no "/": only the folder part can bring a "//".
        const bool mayDouble =
            listed.endsWith(IntakeRules::Separator) || listed.contains(QLatin1String("//"));
        for (const QString& name : names) {
            QString row = IntakeRules::join(listed, name);
            rows.append(mayDouble ? IntakeRules::collapse(row) : std::move(row));
        }
    }
    return rows;
}

} // namespace bw
