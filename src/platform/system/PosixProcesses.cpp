#include "platform/system/PosixProcesses.h"

#include "platform/system/ProcReader.h"

#include <unistd.h>

namespace bw {

qint64 PosixProcesses::currentProcessId()
{
    return ::getpid();
}

QString PosixProcesses::identity(qint64 processId)
{
    if (processId <= 0)
        return QString();
    const std::optional<proc::Stat> stat = proc::stat(processId);
    if (!stat || stat->hasEnded() || stat->startTime.isEmpty())
        return QString();
    return QString::fromLatin1(proc::bootId() + '/' + QByteArray::number(processId) + '/' + stat->startTime);
}

} // namespace bw
