#pragma once

#include "platform/ListDragPort.h"

#include <QStringList>

namespace bw::test {

// A list whose rows are rowHeight pixels tall from y = 0; rows holds how many
// there are. The pointer's screen row is screenY. Pictures load unless
// pictureLoads is false.
class FakeListDragPort : public ListDragPort {
public:
    int hitTest(int, int y) const override
    {
        if (y < 0)
            return 0;
        const int position = y / rowHeight + 1;
        return position <= rows ? position : 0;
    }
    int cursorScreenY() const override { return screenY; }
    void setListPointer(int code) override
    {
        listPointer = code;
        calls.append(QStringLiteral("pointer:%1").arg(code));
    }
    bool loadListPointerPicture(const QString& path) override
    {
        calls.append(QStringLiteral("picture:") + path);
        hasPicture = pictureLoads;
        return pictureLoads;
    }
    void setDragSourceManual() override
    {
        dragSourceManual = true;
        calls.append(QStringLiteral("manual"));
    }

    // The y of the middle of the row at a position.
    int rowY(int position) const { return (position - 1) * rowHeight + rowHeight / 2; }

    int rowHeight = 10;
    int rows = 0;
    int screenY = 330;
    bool pictureLoads = true;
    int listPointer = 0;
    bool hasPicture = false;
    bool dragSourceManual = false;
    QStringList calls;
};

} // namespace bw::test
