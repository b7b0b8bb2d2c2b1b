#pragma once

#include "platform/Dialogs.h"

class QWidget;

namespace bw {

// The dialogs over Qt's own widgets, modal to the main window.
class QtDialogs : public Dialogs {
public:
    explicit QtDialogs(QWidget* parent = nullptr) : parent_(parent) {}
    void setParent(QWidget* parent) { parent_ = parent; }

    QStringList openFiles(const QString& title, const QList<FileFilter>& filters) override;
    QString inputBox(const QString& prompt, const QString& defaultText) override;
    QString browseForFolder(const QString& prompt) override;

private:
    QWidget* parent_;
};

} // namespace bw
