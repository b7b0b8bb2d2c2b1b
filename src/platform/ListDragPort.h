#pragma once

#include <QString>

namespace bw {

// What drag reordering needs of the list widget beyond scrolling.
// Positions are 1-based like the model's.
class ListDragPort {
public:
    virtual ~ListDragPort() = default;

    static constexpr int ArrowPointer = 1;
    static constexpr int CustomPointer = 99;

    // Position of the row that contains a point of a pointer-move event, 0 for none.
    virtual int hitTest(int x, int y) const = 0;
    // The pointer's vertical position on the screen in pixels, counted downward.
    virtual int cursorScreenY() const = 0;
    // The list's own pointer code: 1 arrow, 99 its custom picture.
    virtual void setListPointer(int code) = 0;
    // Makes the picture in a file the list's custom pointer; false when it cannot be read
    // (the list then has no custom picture).
    virtual bool loadListPointerPicture(const QString& path) = 0;
    // The list never starts a system drag of its own rows; dropping files on it is untouched.
    virtual void setDragSourceManual() = 0;
};

} // namespace bw
