#pragma once

#include <QIcon>

class QPainter;

namespace bw {

// The program's own pictures, drawn rather than shipped as files.
QIcon programIcon();
// Paints the program's icon into a square of the given side at the origin,
// on any paint device (the window icon, the exported icon files).
void paintProgramIcon(QPainter& painter, double size);
QIcon arrowPicture(bool up);

} // namespace bw
