#pragma once

#include "platform/SkinTarget.h"

#include <QMap>

namespace bw::test {

// A window with named controls of given kinds, all white at first.
class FakeSkinTarget : public SkinTarget {
public:
    quintptr windowHandle() override { return handle; }
    std::vector<ControlDescription> controls() const override { return controlList; }
    void setWindowBackground(quint32 colour) override { windowColour = colour; }
    void setControlBackground(const QString& name, quint32 colour) override { controlColours[name] = colour; }

    void addControl(const QString& name, ControlKind kind)
    {
        controlList.push_back({name, kind});
        controlColours[name] = Colour::White;
    }

    quintptr handle = 0x4201;
    std::vector<ControlDescription> controlList;
    quint32 windowColour = Colour::White;
    QMap<QString, quint32> controlColours;
};

} // namespace bw::test
