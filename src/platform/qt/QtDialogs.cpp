#include "platform/qt/QtDialogs.h"

#include "platform/MessageBoxes.h"
#include "platform/qt/OpenFilesDialog.h"

#include <QInputDialog>

namespace bw {

QStringList QtDialogs::openFiles(const QString& title, const QList<FileFilter>& filters)
{
    OpenFilesDialog dialog(parent_, title, filters);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.selectedFiles();
}

QString QtDialogs::inputBox(const QString& prompt, const QString& defaultText)
{
    bool confirmed = false;
    const QString text = QInputDialog::getText(parent_, applicationTitle(), prompt, QLineEdit::Normal,
                                               defaultText, &confirmed);
    return confirmed ? text : QString();
}

QString QtDialogs::browseForFolder(const QString& prompt)
{
    return QFileDialog::getExistingDirectory(parent_, prompt, QString(), QFileDialog::ShowDirsOnly);
}

} // namespace bw
