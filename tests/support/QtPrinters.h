#pragma once

#include <QString>
#include <ostream>

// Readable Qt strings in test failure messages (lists print element-wise).
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}
