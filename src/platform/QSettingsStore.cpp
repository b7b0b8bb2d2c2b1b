#include "platform/QSettingsStore.h"

#include <QSettings>

namespace bw {

QString QSettingsStore::read(const QString& application, const QString& section, const QString& key,
                             const QString& defaultValue)
{
    QSettings settings(QSettings::IniFormat, QSettings::UserScope, application);
    settings.beginGroup(section);
    return settings.value(key, defaultValue).toString();
}

void QSettingsStore::write(const QString& application, const QString& section, const QString& key,
                           const QString& value)
{
    QSettings settings(QSettings::IniFormat, QSettings::UserScope, application);
    settings.beginGroup(section);
    settings.setValue(key, value);
    settings.sync();
}

} // namespace bw
