#pragma once

#include "platform/Dialogs.h"

#include <QFileDialog>

class QLineEdit;
class QPushButton;

namespace bw {

// Qt's multi-select file dialog, made to hand back typed names of files that
// do not exist as well: nothing is required to exist.
class OpenFilesDialog : public QFileDialog {
    Q_OBJECT
public:
    OpenFilesDialog(QWidget* parent, const QString& title, const QList<FileFilter>& filters);

    // "Description (patterns)" with the patterns in Qt's own form, so the
    // dialog shows the description alone and filters by the patterns.
    static QStringList qtNameFilters(const QList<FileFilter>& filters);

    void accept() override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool namesAnyFolder() const;
    void enableOpenForTypedName();

    QPushButton* openButton_ = nullptr;
    QLineEdit* nameEdit_ = nullptr;
};

} // namespace bw
