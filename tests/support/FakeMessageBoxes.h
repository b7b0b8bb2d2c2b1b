#pragma once

#include "platform/MessageBoxes.h"

#include <QString>
#include <functional>
#include <vector>

namespace bw::test {

// Records every box in order and answers it at once.
class FakeMessageBoxes : public MessageBoxes {
public:
    struct Box {
        QString text;
        int style;
        QString title;
    };

    void show(const QString& text, int style, const QString& title) override
    {
        boxes.push_back({text, style, title});
        if (onShow)
            onShow(boxes.back());
    }

    std::vector<QString> texts() const
    {
        std::vector<QString> result;
        for (const auto& box : boxes)
            result.push_back(box.text);
        return result;
    }

    std::vector<Box> boxes;
    std::function<void(const Box&)> onShow; // runs while the box is "up"
};

} // namespace bw::test
