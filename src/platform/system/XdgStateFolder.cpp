#include "platform/system/XdgStateFolder.h"

#include "platform/PlatformError.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace bw {

namespace {

[[noreturn]] void fail(const QString& path, const QString& reason)
{
    throw PlatformError(ErrorNumber::FileAccess, path + QStringLiteral(": ") + reason);
}

} // namespace

QString XdgStateFolder::path() const
{
    QString base = qEnvironmentVariable("XDG_STATE_HOME");
    if (!QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/state");
    return base + QLatin1Char('/') + program_;
}

QStringList XdgStateFolder::names()
{
    return QDir(path()).entryList(QDir::Files | QDir::Hidden, QDir::Name);
}

std::optional<QByteArray> XdgStateFolder::read(const QString& name)
{
    QFile file(path() + QLatin1Char('/') + name);
    if (!file.exists())
        return std::nullopt;
    if (!file.open(QIODevice::ReadOnly))
        fail(file.fileName(), file.errorString());
    return file.readAll();
}

void XdgStateFolder::write(const QString& name, const QByteArray& content)
{
    const QString folder = path();
    if (!QDir().mkpath(folder))
        fail(folder, QStringLiteral("the folder cannot be made"));
    QSaveFile file(folder + QLatin1Char('/') + name);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size() || !file.commit())
        fail(file.fileName(), file.errorString());
}

void XdgStateFolder::remove(const QString& name)
{
    QFile file(path() + QLatin1Char('/') + name);
    if (file.exists() && !file.remove())
        fail(file.fileName(), file.errorString());
}

} // namespace bw
