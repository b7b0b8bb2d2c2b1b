#include "platform/qt/QSettingsStore.h"

#include "platform/PlatformError.h"

#include <QSettings>
#include <QStandardPaths>

namespace bw {

QString QSettingsStore::filePath(const QString& application)
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QLatin1Char('/') +
           application + QStringLiteral(".ini");
}

QString QSettingsStore::read(const QString& application, const QString& section, const QString& key,
                             const QString& defaultValue)
{
    QSettings settings(filePath(application), QSettings::IniFormat);
    settings.beginGroup(section);
    const QVariant value = settings.value(key);
    if (!value.isValid())
        return defaultValue;
    // The INI reader splits unquoted text at commas; give back what the file holds.
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(QLatin1Char(','));
    return value.toString();
}

void QSettingsStore::write(const QString& application, const QString& section, const QString& key,
                           const QString& value)
{
    QSettings settings(filePath(application), QSettings::IniFormat);
    settings.beginGroup(section);
    settings.setValue(key, value);
    settings.sync();
    if (settings.status() != QSettings::NoError)
        throw PlatformError(ErrorNumber::FileAccess,
                            QStringLiteral("The setting could not be saved in ") + settings.fileName());
}

} // namespace bw
