#pragma once

#include <QByteArray>
#include <QPoint>
#include <optional>

namespace bw {

// The hot spot a cursor file (.cur) names for its first picture: the
// directory entry that an icon file uses for planes and bit count holds the
// hot spot's x and y. None for anything that is not a cursor file.
std::optional<QPoint> cursorHotSpot(const QByteArray& fileData);

} // namespace bw
