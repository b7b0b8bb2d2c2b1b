#include "support/TempHome.h"

#include <QDir>
#include <QStandardPaths>

namespace bw::test {

TempHome::TempHome()
    : oldHome_(qgetenv("HOME")), oldConfig_(qgetenv("XDG_CONFIG_HOME")), hadConfig_(qEnvironmentVariableIsSet("XDG_CONFIG_HOME"))
{
    qputenv("HOME", QFile::encodeName(dir_.path()));
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(dir_.path() + QStringLiteral("/.config")));
    QDir().mkpath(dir_.path() + QStringLiteral("/.config"));
}

TempHome::~TempHome()
{
    qputenv("HOME", oldHome_);
    if (hadConfig_)
        qputenv("XDG_CONFIG_HOME", oldConfig_);
    else
        qunsetenv("XDG_CONFIG_HOME");
}

} // namespace bw::test
