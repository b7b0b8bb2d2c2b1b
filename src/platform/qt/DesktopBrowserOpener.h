#pragma once

#include "platform/BrowserOpener.h"

namespace bw {

class DesktopBrowserOpener : public BrowserOpener {
public:
    void open(const QString& address) override;
};

} // namespace bw
