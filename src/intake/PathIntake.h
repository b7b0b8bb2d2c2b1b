#pragma once

#include <QString>
#include <QStringList>
#include <vector>

namespace bw {

class FileSystem;
class WildcardPattern;
class Yielder;

// Paths handed to the program (its command line), in their order: a file
// stands for itself, a folder for every file of its tree with one of the extensions,
// scanned as the folder scan does (breadth first, the same skips). Relative
// paths are taken from the current folder. Each front end decides what a
// path that is not there means; the rows are the same for both.
class PathIntake {
public:
    enum class Kind { File, Folder, Missing, Unreadable, NotAFile, UnreadableFolder };

    struct Item {
        QString path; // absolute
        Kind kind;
        // The rows the path gives: a file, an unreadable or a missing path
        // itself (as a drop takes it), a folder its tree's files, anything
        // else none.
        QStringList rows;
        // Why the path is not a file or a readable folder; empty when it is.
        QString problem;
    };

    static QString defaultExtension() { return QStringLiteral("ods"); }

    PathIntake(FileSystem& fileSystem, Yielder& yielder);

    std::vector<Item> take(const QStringList& paths, const QStringList& extensions,
                           const QString& currentFolder);

    static QStringList rowsOf(const std::vector<Item>& items);

private:
    Item takeOne(const QString& path, const WildcardPattern& pattern);

    FileSystem& fileSystem_;
    Yielder& yielder_;
};

} // namespace bw
