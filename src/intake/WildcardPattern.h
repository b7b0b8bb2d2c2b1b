#pragma once

#include <QString>

namespace bw {

// A file-name pattern matched without regard to letter case: "*" stands for
// any run of characters (none included), "?" for any one character, and
// "*.*" for every name, with or without a dot.
class WildcardPattern {
public:
    explicit WildcardPattern(const QString& pattern);

    bool matches(const QString& name) const;
    const QString& text() const { return text_; }

private:
    QString text_;
    QString folded_;
    bool everyName_ = false;
};

} // namespace bw
