#pragma once

#include "platform/ListViewPort.h"

#include <QStringList>

namespace bw::test {

class FakeListViewPort : public ListViewPort {
public:
    void ensureVisible(int position) override
    {
        calls.append(QStringLiteral("ensureVisible:%1").arg(position));
    }
    void focusList() override { calls.append(QStringLiteral("focus")); }
    QStringList calls;
};

} // namespace bw::test
