#include "filelist/FileListModel.h"

#include "platform/PlatformError.h"

#include <algorithm>

namespace bw {

FileListModel::FileListModel(QObject* parent) : QAbstractListModel(parent) {}

QByteArray FileListModel::encoded(const QString& path, bool& utf16)
{
    utf16 = !path.isValidUtf16();
    if (utf16)
        return QByteArray(reinterpret_cast<const char*>(path.constData()), path.size() * 2);
    // The conversion reserves room for three bytes a character; an exact copy
    // keeps the list from holding that room (or the gaps a shrink leaves).
    const QByteArray converted = path.toUtf8();
    return QByteArray(converted.constData(), converted.size());
}

QString FileListModel::decoded(const FileListEntry& entry)
{
    if (entry.key & 1)
        return QString(reinterpret_cast<const QChar*>(entry.text.constData()), entry.text.size() / 2);
    return QString::fromUtf8(entry.text);
}

FileListEntry FileListModel::makeEntry(const QString& path)
{
    bool utf16 = false;
    QByteArray text = encoded(path, utf16);
    return {std::move(text), (++lastId_ << 1) | (utf16 ? 1 : 0)};
}

void FileListModel::checkPosition(int position, int last) const
{
    if (position < 1 || position > last)
        throw PlatformError(35600, QStringLiteral("Index out of bounds"));
}

void FileListModel::append(const QString& path)
{
    const int row = count();
    beginInsertRows(QModelIndex(), row, row);
    entries_.push_back(makeEntry(path));
    endInsertRows();
}

void FileListModel::appendAll(const QStringList& paths)
{
    if (paths.isEmpty())
        return;
    const int row = count();
    beginInsertRows(QModelIndex(), row, row + static_cast<int>(paths.size()) - 1);
    entries_.reserve(entries_.size() + paths.size());
    for (const QString& path : paths)
        entries_.push_back(makeEntry(path));
    endInsertRows();
}

void FileListModel::removeAt(int position)
{
    checkPosition(position, count());
    const bool wasSelected = selected_.id_ == entries_[position - 1].id();
    beginRemoveRows(QModelIndex(), position - 1, position - 1);
    entries_.erase(entries_.begin() + (position - 1));
    endRemoveRows();
    // Views may have moved the selection meanwhile; only a selection that
    // left with the entry is reported as none.
    if (wasSelected && positionOf(selected_) == 0) {
        selected_ = EntryHandle();
        emit selectedPositionChanged(0);
    }
}

void FileListModel::moveToNeighbour(int position, int neighbour)
{
    checkPosition(position, count());
    checkPosition(neighbour, count());
    if (neighbour != position - 1 && neighbour != position + 1)
        throw PlatformError(35600, QStringLiteral("Index out of bounds"));
    auto& from = entries_[position - 1];
    auto& to = entries_[neighbour - 1];
    const bool wasSelected = selected_.id_ == from.id();
    FileListEntry carrier{std::move(from.text), (++lastId_ << 1) | (from.key & 1)};
    from = std::move(to);
    to = std::move(carrier);
    emit dataChanged(index(std::min(position, neighbour) - 1), index(std::max(position, neighbour) - 1),
                     {Qt::DisplayRole});
    if (wasSelected) {
        selected_ = EntryHandle();
        emit selectedPositionChanged(0);
    }
}

QString FileListModel::textAt(int position) const
{
    checkPosition(position, count());
    return decoded(entries_[position - 1]);
}

void FileListModel::setTextAt(int position, const QString& path)
{
    checkPosition(position, count());
    FileListEntry& entry = entries_[position - 1];
    bool utf16 = false;
    entry.text = encoded(path, utf16);
    entry.key = (entry.key & ~quint64(1)) | (utf16 ? 1 : 0);
    const QModelIndex changed = index(position - 1);
    emit dataChanged(changed, changed, {Qt::DisplayRole});
}

QStringList FileListModel::paths() const
{
    QStringList result;
    result.reserve(count());
    for (const auto& entry : entries_)
        result.append(decoded(entry));
    return result;
}

EntryHandle FileListModel::entryAt(int position) const
{
    checkPosition(position, count());
    return EntryHandle(entries_[position - 1].id());
}

int FileListModel::positionOf(const EntryHandle& handle) const
{
    const quint64 id = handle.id_;
    if (id == 0)
        return 0;
    // The entry asked for is mostly the one found last (the selected one), or
    // beside it after an insertion or removal above it.
    const auto size = static_cast<size_t>(entries_.size());
    for (size_t i : {lastFound_, lastFound_ + 1, lastFound_ - 1}) {
        if (i < size && entries_[static_cast<qsizetype>(i)].id() == id)
            return static_cast<int>((lastFound_ = i)) + 1;
    }
    for (size_t i = 0; i < size; ++i) {
        if (entries_[static_cast<qsizetype>(i)].id() == id)
            return static_cast<int>((lastFound_ = i)) + 1;
    }
    return 0;
}

void FileListModel::select(int position)
{
    checkPosition(position, count());
    selected_ = EntryHandle(entries_[position - 1].id());
    lastFound_ = static_cast<size_t>(position - 1);
    emit selectedPositionChanged(position);
}

void FileListModel::clearSelection()
{
    if (positionOf(selected_) == 0)
        return;
    selected_ = EntryHandle();
    emit selectedPositionChanged(0);
}

QModelIndex FileListModel::index(int row, int column, const QModelIndex& parent) const
{
    // Views ask for every row on each relayout; skip the generic checks.
    if (parent.isValid() || column != 0 || row < 0 || row >= count())
        return {};
    return createIndex(row, 0);
}

int FileListModel::rowCount(const QModelIndex& parent) const
{
    return parent.isValid() ? 0 : count();
}

QVariant FileListModel::data(const QModelIndex& index, int role) const
{
    if (!index.isValid() || index.row() >= count() || index.column() != 0)
        return {};
    if (role == Qt::DisplayRole)
        return decoded(entries_[index.row()]);
    return {};
}

QVariant FileListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (section == 0 && orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return header_;
    return {};
}

bool FileListModel::setHeaderData(int section, Qt::Orientation orientation, const QVariant& value, int role)
{
    if (section != 0 || orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return false;
    header_ = value.toString();
    emit headerDataChanged(orientation, 0, 0);
    return true;
}

Qt::ItemFlags FileListModel::flags(const QModelIndex& index) const
{
    if (!index.isValid())
        return Qt::ItemIsDropEnabled;
    // A flat list: tree views then skip their per-row child lookups.
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

Qt::DropActions FileListModel::supportedDropActions() const
{
    return Qt::CopyAction;
}

} // namespace bw
