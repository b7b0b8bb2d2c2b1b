#include "support/TempHome.h"

#include <QDir>
#include <QFile>

namespace bw::test {

TempHome::TempHome()
{
    const std::pair<const char*, QString> settings[] = {
        {"HOME", dir_.path()},
        {"XDG_CONFIG_HOME", dir_.path() + QStringLiteral("/.config")},
        {"XDG_STATE_HOME", dir_.path() + QStringLiteral("/.local/state")},
    };
    for (const auto& [name, value] : settings) {
        previous_.emplace_back(name,
                               qEnvironmentVariableIsSet(name) ? std::optional(qgetenv(name)) : std::nullopt);
        qputenv(name, QFile::encodeName(value));
    }
    QDir().mkpath(dir_.path() + QStringLiteral("/.config"));
}

TempHome::~TempHome()
{
    for (const auto& [name, value] : previous_) {
        if (value)
            qputenv(name, *value);
        else
            qunsetenv(name);
    }
}

} // namespace bw::test
