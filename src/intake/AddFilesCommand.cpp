#include "intake/AddFilesCommand.h"

#include "filelist/FileListModel.h"
#include "intake/DialogResult.h"

namespace bw {

AddFilesCommand::AddFilesCommand(Dialogs& dialogs, FileListModel& list) : dialogs_(dialogs), list_(list) {}

QString AddFilesCommand::title()
{
    return QStringLiteral("Add File(s) - Hold Ctrl to select multiple files");
}

QList<FileFilter> AddFilesCommand::filters()
{
    return {
        {QStringLiteral("Calc Spreadsheets (*.ods;*.ots;*.sxc;*.stc)"),
         {QStringLiteral("*.ods"), QStringLiteral("*.ots"), QStringLiteral("*.sxc"),
          QStringLiteral("*.stc")}},
        {QStringLiteral("All Files (*.*)"), {QStringLiteral("*.*")}},
    };
}

void AddFilesCommand::run()
{
    const QString result = DialogResult::fromPaths(dialogs_.openFiles(title(), filters()));
    list_.appendAll(DialogResult::rows(result));
}

} // namespace bw
