#pragma once

#include <QString>

namespace bw {

// Opens an address in the user's web browser without waiting for it.
class BrowserOpener {
public:
    virtual ~BrowserOpener() = default;
    virtual void open(const QString& address) = 0;
};

} // namespace bw
