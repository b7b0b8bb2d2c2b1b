#pragma once

#include "filelist/EntryHandle.h"

#include <QAbstractListModel>
#include <QByteArray>
#include <QStringList>

namespace bw {

// One row of the file list: a path and the identity its handles refer to.
// The path is kept in UTF-8 (in UTF-16 for the odd text UTF-8 cannot carry,
// flagged in the key's lowest bit): a 100,000-entry list is mostly its paths.
struct FileListEntry {
    QByteArray text;
    quint64 key;
    quint64 id() const { return key >> 1; }
};

// The ordered file list. It owns its entries; positions are 1-based in the
// operations below (row = position - 1 for the item-model side). Operations on
// a position outside the list throw PlatformError and change nothing.
class FileListModel : public QAbstractListModel {
    Q_OBJECT
public:
    explicit FileListModel(QObject* parent = nullptr);

    void append(const QString& path);
    // One insertion for many paths, so views catch up once per batch.
    void appendAll(const QStringList& paths);
    void removeAt(int position);
    // Moves the path at position to the neighbouring position (one up or down)
    // in a new entry, as inserting it there and removing position would: the
    // entry that held it leaves the list and the neighbour takes its place.
    // Views see two changed rows, not an insertion and a removal.
    void moveToNeighbour(int position, int neighbour);
    int count() const { return static_cast<int>(entries_.size()); }
    QString textAt(int position) const;
    void setTextAt(int position, const QString& path);
    QStringList paths() const;

    EntryHandle entryAt(int position) const;
    // Position of the entry a handle refers to; 0 when it is none.
    int positionOf(const EntryHandle& handle) const;

    EntryHandle selectedEntry() const { return selected_; }
    // Position of the selected entry, or 0 when nothing is selected.
    int selectedPosition() const { return positionOf(selected_); }
    void select(int position);
    void clearSelection();

    QModelIndex index(int row, int column = 0, const QModelIndex& parent = QModelIndex()) const override;
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    bool setHeaderData(int section, Qt::Orientation orientation, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;
    Qt::DropActions supportedDropActions() const override;

signals:
    // Emitted whenever the selected entry changes; 0 means none.
    void selectedPositionChanged(int position);

private:
    void checkPosition(int position, int last) const;
    FileListEntry makeEntry(const QString& path);
    static QByteArray encoded(const QString& path, bool& utf16);
    static QString decoded(const FileListEntry& entry);

    // Relocated by moving bytes: a removal near the top costs no more than one further down.
    QList<FileListEntry> entries_;
    quint64 lastId_ = 0;
    EntryHandle selected_;
    // Where positionOf last found an entry; lookups start there.
    mutable size_t lastFound_ = 0;
    QString header_;
};

} // namespace bw

Q_DECLARE_TYPEINFO(bw::FileListEntry, Q_RELOCATABLE_TYPE);
