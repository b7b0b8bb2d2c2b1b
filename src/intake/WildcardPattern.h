#pragma once

#include <QString>
#include <QStringList>

namespace bw {

// A file-name pattern matched without regard to letter case: "*" stands for
// any run of characters (none included), "?" for any one character, and
// "*.*" for every name, with or without a dot. Several patterns match a name
// that any of them matches.
class WildcardPattern {
public:
    explicit WildcardPattern(const QString& pattern);
    explicit WildcardPattern(const QStringList& patterns);
    // "*.EXT" for each extension.
    static WildcardPattern forExtensions(const QStringList& extensions);

    bool matches(const QString& name) const;
    const QString& text() const { return text_; }

private:
    static bool matchesOne(const QString& folded, const QString& name);

    QString text_;
    QStringList folded_;
    bool everyName_ = false;
};

} // namespace bw
