#pragma once

#include <QString>
#include <QtGlobal>

namespace bw {

// The skin component, as the five operations the start-up uses.
// Failures throw PlatformError.
class SkinEngine {
public:
    virtual ~SkinEngine() = default;

    static constexpr int OptionFive = 5;
    static constexpr int OptionTen = 10;

    virtual void loadSkin(const QString& path, const QString& section) = 0;
    virtual qint32 optionFlags() const = 0;
    virtual void setOptionFlags(qint32 flags) = 0;
    virtual void setOption(int option, bool on) = 0;
    // Applies the loaded skin to the window with this handle.
    virtual void applyToWindow(quintptr windowHandle) = 0;
};

} // namespace bw
