#include "TempTree.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <dirent.h>
#include <stdexcept>
#include <sys/stat.h>
#include <unistd.h>

namespace bw::test {

namespace {

void check(bool done, const QString& what)
{
    if (!done)
        throw std::runtime_error(("temporary tree: cannot create " + what).toStdString());
}

} // namespace

TempTree::TempTree()
{
    check(dir_.isValid(), QStringLiteral("the root"));
}

QString TempTree::path(const QString& relative) const
{
    return relative.isEmpty() ? dir_.path() : dir_.path() + QLatin1Char('/') + relative;
}

void TempTree::folder(const QString& relative)
{
    check(QDir().mkpath(path(relative)), relative);
}

void TempTree::file(const QString& relative)
{
    folder(QFileInfo(relative).path());
    QFile file(path(relative));
    check(file.open(QIODevice::WriteOnly), relative);
}

void TempTree::link(const QString& relative, const QString& target)
{
    folder(QFileInfo(relative).path());
    check(::symlink(QFile::encodeName(target).constData(), QFile::encodeName(path(relative)).constData()) ==
              0,
          relative);
}

void TempTree::fifo(const QString& relative)
{
    folder(QFileInfo(relative).path());
    check(::mkfifo(QFile::encodeName(path(relative)).constData(), 0600) == 0, relative);
}

void TempTree::remove(const QString& relative)
{
    check(QDir(path(relative)).removeRecursively(), relative);
}

QStringList TempTree::listingOrder(const QString& relative) const
{
    QStringList names;
    DIR* dir = ::opendir(QFile::encodeName(path(relative)).constData());
    check(dir != nullptr, relative);
    while (const dirent* entry = ::readdir(dir)) {
        const QString name = QFile::decodeName(entry->d_name);
        if (name != QLatin1String(".") && name != QLatin1String(".."))
            names.append(name);
    }
    ::closedir(dir);
    return names;
}

QStringList TempTree::inListingOrder(const QString& relative, const QStringList& names) const
{
    QStringList paths;
    for (const QString& name : listingOrder(relative)) {
        if (names.contains(name))
            paths.append(path(relative.isEmpty() ? name : relative + QLatin1Char('/') + name));
    }
    return paths;
}

} // namespace bw::test
