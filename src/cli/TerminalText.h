#pragma once

#include <QString>

namespace bw {

// Text from outside (a file name, a reason) made safe to write on a
// terminal: control characters are shown escaped ("\t", "\n", "\e",
// "\x07", "\u202e"), so a name can neither colour the terminal nor fake a
// line of the report.
QString escapedForTerminal(const QString& text);

} // namespace bw
