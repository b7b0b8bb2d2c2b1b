#pragma once

namespace bw {

// What the list logic needs of the list widget beyond the model itself.
// Positions are 1-based like the model's.
class ListViewPort {
public:
    virtual ~ListViewPort() = default;

    // Scrolls so the entry at position is fully shown; no scrolling if it already is.
    virtual void ensureVisible(int position) = 0;
    // Gives the list the keyboard focus.
    virtual void focusList() = 0;
};

} // namespace bw
