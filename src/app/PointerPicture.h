#pragma once

#include <QCursor>
#include <QString>
#include <optional>

namespace bw {

// A pointer picture read from a file beside the program. Only a regular file
// (or a link to one) is read: a FIFO, socket or device of that name is never
// opened, so it cannot block the program. A cursor file keeps its own hot
// spot; any other picture points with its centre. None when the file is not
// there, not regular, or not a picture.
std::optional<QCursor> loadPointerPicture(const QString& path);

} // namespace bw
