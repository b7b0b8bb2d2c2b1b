#pragma once

#include <QString>

namespace bw {

class Dialogs;
class FileListModel;
class FileSystem;
class WindowPointer;
class Yielder;

// PushButton4_Click: asks for an extension and a folder, then appends every
// file of that extension in the folder's tree, breadth first. The busy
// pointer shows from the folder choice to the end, and the default pointer
// comes back whatever happens. A scan stopped because the program is ending
// appends nothing.
class FolderScanCommand {
public:
    FolderScanCommand(Dialogs& dialogs, FileSystem& fileSystem, Yielder& yielder, WindowPointer& pointer,
                      FileListModel& list);

    static QString extensionPrompt();
    static QString defaultExtension() { return QStringLiteral("ods"); }
    static QString folderPrompt() { return QStringLiteral("Please select folder:"); }

    void run();

private:
    // BrowseForFolder: the chosen folder's path, or "" when cancelled.
    QString browseForFolder(const QString& prompt);

    Dialogs& dialogs_;
    FileSystem& fileSystem_;
    Yielder& yielder_;
    WindowPointer& pointer_;
    FileListModel& list_;
};

} // namespace bw
