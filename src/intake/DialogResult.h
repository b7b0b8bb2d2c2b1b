#pragma once

#include <QString>
#include <QStringList>

namespace bw {

// What an open-files dialog hands back, in one of three forms: "" (cancelled),
// one full path, or a folder item followed by the chosen bare names, the items
// separated by NUL characters. The folder item ends in "/" only for the root.
class DialogResult {
public:
    static constexpr QChar ItemSeparator = QChar(0);

    // The form for a list of absolute paths, as the dialog would have put it.
    static QString fromPaths(const QStringList& paths);
    // The rows a result gives: none; the one path unchanged; or each name
    // joined to the folder item with doubled separators collapsed.
    static QStringList rows(const QString& result);

private:
    static QString folderOf(const QString& path);
    static QString commonFolder(const QStringList& paths);
};

} // namespace bw
