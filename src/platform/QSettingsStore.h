#pragma once

#include "platform/SettingsStore.h"

namespace bw {

// INI files in the user's config directory: <config>/<application>.ini.
class QSettingsStore : public SettingsStore {
public:
    QString read(const QString& application, const QString& section, const QString& key,
                 const QString& defaultValue) override;
    void write(const QString& application, const QString& section, const QString& key,
               const QString& value) override;
};

} // namespace bw
