#pragma once

#include "platform/PlatformError.h"
#include "platform/SkinEngine.h"

#include <QMap>
#include <QStringList>

namespace bw::test {

// Records every call in order and keeps the option flags and options.
// Any one call can be told to fail by its name ("load", "readFlags",
// "writeFlags", "option", "apply").
class FakeSkinEngine : public SkinEngine {
public:
    void loadSkin(const QString& path, const QString& section) override
    {
        record(QStringLiteral("load:%1:%2").arg(path, section), QStringLiteral("load"));
        loadedPath = path;
    }
    qint32 optionFlags() const override
    {
        calls.append(QStringLiteral("readFlags"));
        failIf(QStringLiteral("readFlags"));
        return flags;
    }
    void setOptionFlags(qint32 value) override
    {
        record(QStringLiteral("writeFlags:%1").arg(value), QStringLiteral("writeFlags"));
        flags = value;
    }
    void setOption(int option, bool on) override
    {
        record(QStringLiteral("option:%1:%2").arg(option).arg(on ? 1 : 0), QStringLiteral("option"));
        options[option] = on;
    }
    void applyToWindow(quintptr windowHandle) override
    {
        record(QStringLiteral("apply:%1").arg(windowHandle), QStringLiteral("apply"));
        appliedTo = windowHandle;
    }

    qint32 flags = 0;
    QMap<int, bool> options;
    QString loadedPath;
    quintptr appliedTo = 0;
    QString failOn;
    mutable QStringList calls;

private:
    void record(const QString& call, const QString& name)
    {
        calls.append(call);
        failIf(name);
    }
    void failIf(const QString& name) const
    {
        if (failOn == name)
            throw PlatformError(ErrorNumber::Automation, QStringLiteral("Skin call failed: ") + name);
    }
};

} // namespace bw::test
