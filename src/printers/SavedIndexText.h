#pragma once

#include <QString>
#include <optional>

namespace bw {

// The saved choice is the list index as plain decimal text of a 16-bit
// integer. Anything else (blanks, a plus sign, a fraction, digits beyond
// -32768..32767) does not convert.
std::optional<qint16> savedIndexFromText(const QString& text);
QString savedIndexToText(int index);

} // namespace bw
