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

WildcardPattern::WildcardPattern(const QString& pattern)
    : text_(pattern), folded_(pattern.toCaseFolded()), everyName_(pattern == QLatin1String("*.*"))
{
}

bool WildcardPattern::matches(const QString& name) const
{
    if (everyName_)
        return true;
    // Greedy match that returns to the last "*" on a mismatch; linear for the
    // usual one-star patterns.
    const qsizetype patternSize = folded_.size();
    const qsizetype nameSize = name.size();
    qsizetype p = 0;
    qsizetype n = 0;
    qsizetype starAt = -1;
    qsizetype resumeAt = 0;
    while (n < nameSize) {
        if (p < patternSize) {
            const char16_t wanted = folded_.at(p).unicode();
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
    while (p < patternSize && folded_.at(p) == QLatin1Char('*'))
        ++p;
    return p == patternSize;
}

} // namespace bw
