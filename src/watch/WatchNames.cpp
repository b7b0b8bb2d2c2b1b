#include "watch/WatchNames.h"

namespace bw {

QString WatchNames::watcher(const QString& host, qint64 pid)
{
    return QStringLiteral("%1-%2").arg(host).arg(pid);
}

std::optional<qint64> WatchNames::watcherOf(const QString& host, const QString& folderName)
{
    // Host names may hold "-" and digits: the known host comes first.
    const QString prefix = host + QLatin1Char('-');
    if (!folderName.startsWith(prefix) || folderName.size() == prefix.size())
        return std::nullopt;
    for (qsizetype i = prefix.size(); i < folderName.size(); ++i)
        if (!folderName.at(i).isDigit())
            return std::nullopt;
    bool ok = false;
    const qint64 pid = folderName.mid(prefix.size()).toLongLong(&ok);
    if (!ok || pid <= 0)
        return std::nullopt;
    return pid;
}

QString WatchNames::numbered(const QString& name, int number)
{
    if (number == 0)
        return name;
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const qsizetype stem = dot > 0 ? dot : name.size();
    return name.left(stem) + QStringLiteral("-%1").arg(number) + name.mid(stem);
}

} // namespace bw
