#pragma once

#include "platform/BrowserOpener.h"

#include <QStringList>

namespace bw::test {

class FakeBrowserOpener : public BrowserOpener {
public:
    void open(const QString& address) override { opened.append(address); }
    QStringList opened;
};

} // namespace bw::test
