#pragma once

#include <QIcon>

namespace bw {

// The program's own pictures, drawn rather than shipped as files.
QIcon programIcon();
QIcon arrowPicture(bool up);

} // namespace bw
