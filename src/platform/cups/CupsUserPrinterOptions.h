#pragma once

#include "platform/UserPrinterOptions.h"

#include <QString>

namespace bw {

// The user's options file where libcups reads it.
class CupsUserPrinterOptions : public UserPrinterOptions {
public:
    std::optional<QByteArray> readUserOptions() override;
    void writeUserOptions(const std::optional<QByteArray>& content) override;

    // A larger options file is not read (nor is one that is not a plain file).
    static constexpr qint64 MaximumUserOptionsSize = 1024 * 1024;

    // Where libcups keeps the user's options: $HOME/.cups/lpoptions, with the
    // home folder of the user's account when HOME is not set.
    static QString userOptionsPath();
};

} // namespace bw
