#pragma once

#include <QString>

namespace bw {

// Modal message boxes. Style values follow the classic numbering:
// 0 OK only, +16 critical icon, +48 warning icon.
class MessageBoxes {
public:
    virtual ~MessageBoxes() = default;

    static constexpr int OkOnly = 0;
    static constexpr int Critical = 16;
    static constexpr int Exclamation = 48;

    // Returns when the user has confirmed the box.
    virtual void show(const QString& text, int style, const QString& title) = 0;
};

inline const QString& applicationTitle()
{
    static const QString title = QStringLiteral("Brindlework");
    return title;
}

} // namespace bw
