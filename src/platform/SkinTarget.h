#pragma once

#include <QString>
#include <QtGlobal>
#include <vector>

namespace bw {

// Colour values: 0x00BBGGRR, or a system colour with the top bit set.
namespace Colour {
inline constexpr quint32 White = 0x00FFFFFF;
inline constexpr quint32 ButtonFace = 0x8000000F;
} // namespace Colour

// The toolkit's kinds of control, as far as skinning tells them apart.
enum class ControlKind { OptionButton, CheckBox, Frame, Label, Other };

struct ControlDescription {
    QString name;
    ControlKind kind = ControlKind::Other;
};

// What skinning needs of the main window. Failures throw PlatformError.
class SkinTarget {
public:
    virtual ~SkinTarget() = default;

    virtual quintptr windowHandle() = 0;
    // Every control of the window, nested ones included.
    virtual std::vector<ControlDescription> controls() const = 0;
    virtual void setWindowBackground(quint32 colour) = 0;
    virtual void setControlBackground(const QString& name, quint32 colour) = 0;
};

} // namespace bw
