#pragma once

#include "platform/Dialogs.h"

namespace bw {

class FileListModel;

// PushButton1_Click: the multi-select open-files dialog; every chosen file is
// appended as the dialog names it, with no check of existence or type.
class AddFilesCommand {
public:
    AddFilesCommand(Dialogs& dialogs, FileListModel& list);

    static QString title();
    static QList<FileFilter> filters();

    void run();

private:
    Dialogs& dialogs_;
    FileListModel& list_;
};

} // namespace bw
