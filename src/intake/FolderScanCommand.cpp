#include "intake/FolderScanCommand.h"

#include "filelist/FileListModel.h"
#include "intake/TreeScan.h"
#include "intake/WildcardPattern.h"
#include "platform/Dialogs.h"
#include "platform/MessageBoxes.h"
#include "platform/WindowPointer.h"

namespace bw {

namespace {

// The busy pointer for the life of the scope, then the default one.
class BusyPointer {
public:
    explicit BusyPointer(WindowPointer& pointer) : pointer_(pointer)
    {
        pointer_.setPointerCode(WindowPointer::Busy);
    }
    ~BusyPointer() { pointer_.setPointerCode(WindowPointer::Default); }
    BusyPointer(const BusyPointer&) = delete;
    BusyPointer& operator=(const BusyPointer&) = delete;

private:
    WindowPointer& pointer_;
};

} // namespace

FolderScanCommand::FolderScanCommand(Dialogs& dialogs, FileSystem& fileSystem, Yielder& yielder,
                                     WindowPointer& pointer, MessageBoxes& messageBoxes, FileListModel& list)
    : dialogs_(dialogs), fileSystem_(fileSystem), yielder_(yielder), pointer_(pointer),
      messageBoxes_(messageBoxes), list_(list)
{
}

QString FolderScanCommand::extensionPrompt()
{
    return QStringLiteral("Enter file extension to load:\n\n"
                          "(* for all files, txt for all txt files, doc for all doc files, etc.)");
}

QString FolderScanCommand::unreadableFolderMessage(const QString& folder, const QString& reason)
{
    return QStringLiteral("The folder \"%1\" cannot be read, so no files were added from it.\n\n%2")
        .arg(folder, reason);
}

void FolderScanCommand::run()
{
    const QString extension = dialogs_.inputBox(extensionPrompt(), defaultExtension());
    if (extension.isEmpty())
        return;
    const QString folder = dialogs_.browseForFolder(folderPrompt());
    if (folder.isEmpty())
        return;
    TreeScan scan(fileSystem_, yielder_);
    {
        const BusyPointer busy(pointer_);
        const WildcardPattern pattern(QStringLiteral("*.") + extension);
        const QStringList rows = scan.rows(folder, pattern);
        if (scan.stopped())
            return;
        list_.appendAll(rows);
    }
    if (scan.startFolderError())
        messageBoxes_.show(unreadableFolderMessage(folder, *scan.startFolderError()),
                           MessageBoxes::Exclamation, applicationTitle());
}

} // namespace bw
