#pragma once

#include <QString>
#include <QStringList>

namespace bw {

// One entry of an open-files dialog's filter list: the text the user sees and
// the name patterns it stands for ("*.*" means every name).
struct FileFilter {
    QString description;
    QStringList patterns;
};

// The modal dialogs the intake commands show. A cancel is an empty result.
class Dialogs {
public:
    virtual ~Dialogs() = default;

    // Multi-select open-files dialog, the first filter in force. Returns the
    // chosen files as absolute paths in the dialog's order; empty on cancel.
    // The files need not exist.
    virtual QStringList openFiles(const QString& title, const QList<FileFilter>& filters) = 0;
    // A one-line text input under the application's title; "" on cancel.
    virtual QString inputBox(const QString& prompt, const QString& defaultText) = 0;
    // A folder chooser; the folder's path ("/" for the root, otherwise without
    // a trailing "/"), or "" on cancel.
    virtual QString browseForFolder(const QString& prompt) = 0;
};

} // namespace bw
