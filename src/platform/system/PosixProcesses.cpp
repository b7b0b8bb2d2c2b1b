#include "platform/system/PosixProcesses.h"

#include <QFile>
#include <unistd.h>

namespace bw {

namespace {

QByteArray contentOf(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

qint64 PosixProcesses::currentProcessId()
{
    return ::getpid();
}

QString PosixProcesses::identity(qint64 processId)
{
    if (processId <= 0)
        return QString();
    const QByteArray stat = contentOf(QStringLiteral("/proc/%1/stat").arg(processId));
    // The name in parentheses may hold blanks: the fields after it are counted from its end.
    const qsizetype close = stat.lastIndexOf(')');
    if (close < 0)
        return QString();
    const QList<QByteArray> fields = stat.mid(close + 2).split(' ');
    // fields[0] is the state (field 3), fields[19] the start time (field 22).
    if (fields.size() < 20 || fields[0] == "Z" || fields[0] == "X")
        return QString();
    const QByteArray boot = contentOf(QStringLiteral("/proc/sys/kernel/random/boot_id")).trimmed();
    return QString::fromLatin1(boot + '/' + QByteArray::number(processId) + '/' + fields[19]);
}

} // namespace bw
