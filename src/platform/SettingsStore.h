#pragma once

#include <QString>

namespace bw {

// Per-user text values addressed by application, section and key.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    virtual QString read(const QString& application, const QString& section, const QString& key,
                         const QString& defaultValue) = 0;
    virtual void write(const QString& application, const QString& section, const QString& key,
                       const QString& value) = 0;
};

} // namespace bw
