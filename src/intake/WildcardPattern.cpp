#include "intake/WildcardPattern.h"

namespace bw {

namespace {

inline char16_t folded(QChar c)
{
    // ASCII folds A-Z alone and needs no table; most names are ASCII.
    const char16_t u = c.unicode();
    if (u < 0x80)
        return u >= u'A' && u <= u'Z' ? char16_t(u + (u'a' - u'A')) : u;
    return c.toCaseFolded().unicode();
}

} // namespace

WildcardPattern::WildcardPattern(const QString& pattern) : WildcardPattern(QStringList{pattern}) {}

WildcardPattern::WildcardPattern(const QStringList& patterns)
    : text_(patterns.join(QLatin1Char(';'))), everyName_(patterns.contains(QLatin1String("*.*")))
{
    for (const QString& pattern : patterns)
        folded_ << pattern.toCaseFolded();
}

WildcardPattern WildcardPattern::forExtensions(const QStringList& extensions)
{
    QStringList patterns;
    for (const QString& extension : extensions)
        patterns << QStringLiteral("*.") + extension;
    return WildcardPattern(patterns);
}

bool WildcardPattern::matches(const QString& name) const
{
    if (everyName_)
        return true;
    for (const QString& pattern : folded_)
        if (matchesOne(pattern, name))
            return true;
    return false;
}

bool WildcardPattern::matchesOne(const QString& pattern, const QString& name)
{
    // Greedy match that returns to the last "*" on a mismatch; linear for the
    // usual one-star patterns.
    const qsizetype patternSize = pattern.size();
    const qsizetype nameSize = name.size();
    qsizetype p = 0;
    qsizetype n = 0;
    qsizetype starAt = -1;
    qsizetype resumeAt = 0;
    while (n < nameSize) {
        if (p < patternSize) {
            const char16_t wanted = pattern.at(p).unicode();
            if (wanted == u'*') {
                starAt = p++;
                resumeAt = n;
                continue;
            }
            if (wanted == u'?' || wanted == folded(name.at(n))) {
                ++p;
                ++n;
                continue;
            }
        }
        if (starAt < 0)
            return false;
        p = starAt + 1;
        n = ++resumeAt;
    }
    while (p < patternSize && pattern.at(p) == QLatin1Char('*'))
        ++p;
    return p == patternSize;
}

} // namespace bw
