#include "intake/AddFilesCommand.h"

#include "filelist/FileListModel.h"
#include "intake/IntakeRules.h"
#include "platform/MessageBoxes.h"

namespace bw {

namespace {

// One chosen file is appended as the dialog names it. Several are each their
// folder joined to their name, so doubled separators collapse.
QStringList rowsOf(const QStringList& chosen)
{
    if (chosen.size() < 2)
        return chosen;
    QStringList rows;
    rows.reserve(chosen.size());
    for (const QString& path : chosen)
        rows.append(IntakeRules::collapse(path));
    return rows;
}

} // namespace

AddFilesCommand::AddFilesCommand(Dialogs& dialogs, FileSystem& fileSystem, MessageBoxes& messageBoxes,
                                 FileListModel& list)
    : dialogs_(dialogs), fileSystem_(fileSystem), messageBoxes_(messageBoxes), list_(list)
{
}

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
    QStringList rows;
    QStringList special;
    for (const QString& row : rowsOf(dialogs_.openFiles(title(), filters())))
        (IntakeRules::isSpecialFile(fileSystem_, row) ? special : rows).append(row);
    list_.appendAll(rows);
    if (!special.isEmpty())
        messageBoxes_.show(notAddedMessage(special), MessageBoxes::Exclamation, applicationTitle());
}

QString AddFilesCommand::notAddedMessage(const QStringList& specialFiles)
{
    if (specialFiles.size() == 1)
        return QStringLiteral("\"%1\" was not added: it is a pipe, socket or device, not a file that can be "
                              "printed.")
            .arg(specialFiles.first());
    return QStringLiteral("These were not added: they are pipes, sockets or devices, not files that can be "
                          "printed.\n\n%1")
        .arg(specialFiles.join(QLatin1Char('\n')));
}

} // namespace bw
