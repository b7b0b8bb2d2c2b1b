#pragma once

#include "platform/Dialogs.h"

namespace bw {

class FileListModel;
class FileSystem;
class MessageBoxes;

// PushButton1_Click: the multi-select open-files dialog; every chosen file is
// appended as the dialog names it, with no check of existence or extension.
// A name that is a FIFO, socket or device is not appended; one message names
// all such names of the choice.
class AddFilesCommand {
public:
    AddFilesCommand(Dialogs& dialogs, FileSystem& fileSystem, MessageBoxes& messageBoxes,
                    FileListModel& list);

    static QString title();
    static QList<FileFilter> filters();
    static QString notAddedMessage(const QStringList& specialFiles);

    void run();

private:
    Dialogs& dialogs_;
    FileSystem& fileSystem_;
    MessageBoxes& messageBoxes_;
    FileListModel& list_;
};

} // namespace bw
