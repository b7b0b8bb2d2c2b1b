#include "platform/system/ProcReader.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <unistd.h>

namespace bw::proc {

namespace {

std::optional<QByteArray> contentOf(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll();
}

std::optional<Stat> statAt(const QString& path)
{
    const std::optional<QByteArray> line = contentOf(path);
    // The name in parentheses may hold blanks: the fields after it are counted from its end.
    const qsizetype close = line ? line->lastIndexOf(')') : -1;
    if (close < 0)
        return std::nullopt;
    const QList<QByteArray> fields = line->mid(close + 2).split(' ');
    // fields[0] is the state (field 3), [1] the parent (4), [19] the start time (22).
    Stat stat;
    stat.state = fields[0].isEmpty() ? char(0) : fields[0][0];
    if (fields.size() > 1)
        stat.parent = fields[1].toLongLong();
    if (fields.size() > 19)
        stat.startTime = fields[19];
    return stat;
}

QList<qint64> numberedEntries(const QString& folder)
{
    QList<qint64> found;
    for (const QString& entry : QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool isNumber = false;
        const qint64 number = entry.toLongLong(&isNumber);
        if (isNumber)
            found << number;
    }
    return found;
}

QString processFolder(qint64 processId)
{
    return QStringLiteral("/proc/%1/").arg(processId);
}

} // namespace

std::optional<Stat> stat(qint64 processId)
{
    return statAt(processFolder(processId) + QStringLiteral("stat"));
}

std::optional<Stat> threadStat(qint64 processId, qint64 threadId)
{
    return statAt(processFolder(processId) + QStringLiteral("task/%1/stat").arg(threadId));
}

QList<qint64> processIds()
{
    return numberedEntries(QStringLiteral("/proc"));
}

QList<qint64> threadIds(qint64 processId)
{
    return numberedEntries(processFolder(processId) + QStringLiteral("task"));
}

QByteArray programName(qint64 processId)
{
    return contentOf(processFolder(processId) + QStringLiteral("comm")).value_or(QByteArray()).trimmed();
}

std::optional<QList<QByteArray>> ownCommandLine(qint64 processId)
{
    QFile file(processFolder(processId) + QStringLiteral("cmdline"));
    if (QFileInfo(file).ownerId() != ::getuid() || !file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return file.readAll().split('\0');
}

QByteArray bootId()
{
    return contentOf(QStringLiteral("/proc/sys/kernel/random/boot_id")).value_or(QByteArray()).trimmed();
}

} // namespace bw::proc
