#pragma once

#include <QString>

namespace bw {

class Dialogs;
class FileListModel;
class FileSystem;
class MessageBoxes;
class WindowPointer;
class Yielder;

// PushButton4_Click: asks for an extension and a folder, then appends every
// file of that extension in the folder's tree, breadth first. The busy
// pointer shows from the folder choice to the end, and the default pointer
// comes back whatever happens. A scan stopped because the program is ending
// appends nothing. A start folder whose files cannot be listed is named in
// one message; the rows found below it are appended all the same.
class FolderScanCommand {
public:
    FolderScanCommand(Dialogs& dialogs, FileSystem& fileSystem, Yielder& yielder, WindowPointer& pointer,
                      MessageBoxes& messageBoxes, FileListModel& list);

    static QString extensionPrompt();
    static QString defaultExtension() { return QStringLiteral("ods"); }
    static QString folderPrompt() { return QStringLiteral("Please select folder:"); }
    static QString unreadableFolderMessage(const QString& folder, const QString& reason);

    void run();

private:
    Dialogs& dialogs_;
    FileSystem& fileSystem_;
    Yielder& yielder_;
    WindowPointer& pointer_;
    MessageBoxes& messageBoxes_;
    FileListModel& list_;
};

} // namespace bw
