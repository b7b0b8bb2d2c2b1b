#include "platform/OpenFilesDialog.h"

#include <QDialogButtonBox>
#include <QEvent>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>

namespace bw {

OpenFilesDialog::OpenFilesDialog(QWidget* parent, const QString& title, const QList<FileFilter>& filters)
    : QFileDialog(parent, title)
{
    // Qt's own dialog, since a native one insists on files that exist.
    setOption(QFileDialog::DontUseNativeDialog, true);
    setOption(QFileDialog::HideNameFilterDetails, true);
    setAcceptMode(QFileDialog::AcceptOpen);
    setFileMode(QFileDialog::ExistingFiles);
    setNameFilters(qtNameFilters(filters));
    if (auto* buttons = findChild<QDialogButtonBox*>()) {
        if (QPushButton* open = buttons->button(QDialogButtonBox::Open))
            open->installEventFilter(this);
    }
}

QStringList OpenFilesDialog::qtNameFilters(const QList<FileFilter>& filters)
{
    QStringList result;
    for (const FileFilter& filter : filters) {
        QStringList patterns;
        for (const QString& pattern : filter.patterns)
            patterns.append(pattern == QLatin1String("*.*") ? QStringLiteral("*") : pattern);
        result.append(filter.description + QStringLiteral(" (") + patterns.join(QLatin1Char(' ')) +
                      QLatin1Char(')'));
    }
    return result;
}

bool OpenFilesDialog::namesAnyFolder() const
{
    const QStringList files = selectedFiles();
    for (const QString& file : files) {
        if (QFileInfo(file).isDir())
            return true;
    }
    return false;
}

bool OpenFilesDialog::eventFilter(QObject* watched, QEvent* event)
{
    // Qt disables Open while a typed name does not exist; a typed name is
    // enough here.
    if (event->type() == QEvent::EnabledChange) {
        auto* button = qobject_cast<QPushButton*>(watched);
        const auto* nameEdit = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
        if (button && !button->isEnabled() && nameEdit && !nameEdit->text().trimmed().isEmpty())
            button->setEnabled(true);
    }
    return QFileDialog::eventFilter(watched, event);
}

void OpenFilesDialog::accept()
{
    // Folders are still entered the usual way; anything else is taken as typed.
    if (selectedFiles().isEmpty() || namesAnyFolder()) {
        QFileDialog::accept();
        return;
    }
    QDialog::accept();
}

} // namespace bw
