#pragma once

#include "platform/SettingsStore.h"

#include <QMap>

namespace bw::test {

class FakeSettingsStore : public SettingsStore {
public:
    static QString keyOf(const QString& application, const QString& section, const QString& key)
    {
        return application + QLatin1Char('/') + section + QLatin1Char('/') + key;
    }

    QString read(const QString& application, const QString& section, const QString& key,
                 const QString& defaultValue) override
    {
        ++reads;
        return values.value(keyOf(application, section, key), defaultValue);
    }
    void write(const QString& application, const QString& section, const QString& key,
               const QString& value) override
    {
        ++writes;
        values.insert(keyOf(application, section, key), value);
    }

    QMap<QString, QString> values;
    int reads = 0;
    int writes = 0;
};

} // namespace bw::test
