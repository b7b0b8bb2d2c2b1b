#include "support/LpoptionsSnapshot.h"

#include <QFile>
#include <sys/stat.h>

namespace bw::test {

LpoptionsSnapshot::LpoptionsSnapshot(const QString& home)
{
    files_.push_back(take(home + QStringLiteral("/.cups/lpoptions")));
    files_.push_back(take(QStringLiteral("/etc/cups/lpoptions")));
}

LpoptionsSnapshot::File LpoptionsSnapshot::take(const QString& path)
{
    File file{path, false, {}, 0};
    struct stat info {};
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return file;
    file.exists = true;
    file.modifiedNs = qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    QFile reader(path);
    if (reader.open(QIODevice::ReadOnly))
        file.content = reader.readAll();
    return file;
}

bool LpoptionsSnapshot::operator==(const LpoptionsSnapshot& other) const
{
    return files_ == other.files_;
}

QString LpoptionsSnapshot::describe() const
{
    QString text;
    for (const File& file : files_) {
        text += file.path +
                (file.exists
                     ? QStringLiteral(" (mtime %1): ").arg(file.modifiedNs) + QString::fromUtf8(file.content)
                     : QStringLiteral(": absent")) +
                QLatin1Char('\n');
    }
    return text;
}

QString LpoptionsSnapshot::realHome()
{
    return qEnvironmentVariable("BRINDLE_REAL_HOME");
}

} // namespace bw::test
