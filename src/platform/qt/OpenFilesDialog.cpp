#include "platform/qt/OpenFilesDialog.h"

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
    // Qt keeps Open disabled while a typed name does not exist; a typed name
    // is enough here. Qt's own checks run first, then this one.
    if (auto* buttons = findChild<QDialogButtonBox*>())
        openButton_ = buttons->button(QDialogButtonBox::Open);
    nameEdit_ = findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
    if (openButton_ && nameEdit_) {
        openButton_->installEventFilter(this);
        connect(nameEdit_, &QLineEdit::textChanged, this, &OpenFilesDialog::enableOpenForTypedName);
    }
}

void OpenFilesDialog::enableOpenForTypedName()
{
    if (!openButton_->isEnabled() && !nameEdit_->text().trimmed().isEmpty())
        openButton_->setEnabled(true);
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
    if (watched == openButton_ && event->type() == QEvent::EnabledChange)
        enableOpenForTypedName();
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
