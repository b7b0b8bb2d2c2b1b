#include "watch/WatchNames.h"

namespace bw {

QString WatchNames::claim(const QString& host, qint64 pid, const QString& name)
{
    return QStringLiteral("%1-%2-%3").arg(host).arg(pid).arg(name);
}

QString WatchNames::watcher(const QString& host, qint64 pid)
{
    return QStringLiteral("%1-%2.watcher").arg(host).arg(pid);
}

std::optional<WatchNames::Claim> WatchNames::parseClaim(const QString& host, const QString& claimName)
{
    // Host names and file names may both hold "-": the known host comes
    // first, then the digits of the number.
    const QString prefix = host + QLatin1Char('-');
    if (!claimName.startsWith(prefix))
        return std::nullopt;
    qsizetype end = prefix.size();
    while (end < claimName.size() && claimName.at(end).isDigit())
        ++end;
    if (end == prefix.size() || end + 1 >= claimName.size() || claimName.at(end) != QLatin1Char('-'))
        return std::nullopt;
    bool ok = false;
    const qint64 pid = claimName.mid(prefix.size(), end - prefix.size()).toLongLong(&ok);
    if (!ok || pid <= 0)
        return std::nullopt;
    return Claim{pid, claimName.mid(end + 1)};
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
