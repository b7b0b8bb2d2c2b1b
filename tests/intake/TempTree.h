#pragma once

#include <QStringList>
#include <QTemporaryDir>

namespace bw::test {

// A real folder tree in a temporary directory, removed with the object.
// Paths given to it are relative to the root.
class TempTree {
public:
    TempTree();

    // Absolute path of a relative one; "" gives the root itself.
    QString path(const QString& relative = QString()) const;

    void file(const QString& relative);
    void folder(const QString& relative);
    void link(const QString& relative, const QString& target);
    void fifo(const QString& relative);
    void remove(const QString& relative);

    // The names of a folder in the order the file system reads them.
    QStringList listingOrder(const QString& relative) const;
    // Absolute paths of the given names in a folder, in listing order.
    QStringList inListingOrder(const QString& relative, const QStringList& names) const;

private:
    QTemporaryDir dir_;
};

} // namespace bw::test
