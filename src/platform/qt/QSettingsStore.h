#pragma once

#include "platform/SettingsStore.h"

namespace bw {

// INI files in the user's config directory: <config>/<application>.ini, one
// group per section. The directory is looked up on every call (QSettings
// alone fixes it at its first use in the process).
class QSettingsStore : public SettingsStore {
public:
    QString read(const QString& application, const QString& section, const QString& key,
                 const QString& defaultValue) override;
    // Throws PlatformError when the value cannot be saved.
    void write(const QString& application, const QString& section, const QString& key,
               const QString& value) override;

    // Where the values of an application are kept.
    static QString filePath(const QString& application);
};

} // namespace bw
