#include "intake/DialogResult.h"

#include "intake/IntakeRules.h"

namespace bw {

QString DialogResult::folderOf(const QString& path)
{
    const qsizetype slash = path.lastIndexOf(IntakeRules::Separator);
    return slash <= 0 ? QString(IntakeRules::Separator) : path.left(slash);
}

// The deepest folder that holds every path, so a selection that spans folders
// still gives back each full path.
QString DialogResult::commonFolder(const QStringList& paths)
{
    QString folder = folderOf(paths.first());
    const auto holds = [](const QString& folder, const QString& path) {
        if (folder == QString(IntakeRules::Separator))
            return path.startsWith(IntakeRules::Separator);
        return path.size() > folder.size() && path.startsWith(folder) &&
               path.at(folder.size()) == IntakeRules::Separator;
    };
    for (const QString& path : paths) {
        while (!holds(folder, path) && folder != QString(IntakeRules::Separator))
            folder = folderOf(folder);
    }
    return folder;
}

QString DialogResult::fromPaths(const QStringList& paths)
{
    if (paths.isEmpty())
        return {};
    if (paths.size() == 1)
        return paths.first();
    const QString folder = commonFolder(paths);
    const qsizetype prefix = folder == QString(IntakeRules::Separator) ? 1 : folder.size() + 1;
    QString result = folder;
    for (const QString& path : paths)
        result.append(ItemSeparator).append(path.mid(prefix));
    return result;
}

QStringList DialogResult::rows(const QString& result)
{
    if (result.isEmpty())
        return {};
    const QStringList items = result.split(ItemSeparator);
    if (items.size() == 1)
        return items;
    const QString& folder = items.first();
    QStringList rows;
    rows.reserve(items.size() - 1);
    for (qsizetype i = 1; i < items.size(); ++i)
        rows.append(IntakeRules::collapse(IntakeRules::join(folder, items.at(i))));
    return rows;
}

} // namespace bw
