#pragma once

#include <QByteArray>
#include <optional>

namespace bw {

// The user's own printer options file, where the user's default printer is
// saved. Failures are thrown as PlatformError.
class UserPrinterOptions {
public:
    virtual ~UserPrinterOptions() = default;

    // The file byte for byte; nothing when there is no such file.
    virtual std::optional<QByteArray> readUserOptions() = 0;
    // Replaces the file with content, or removes it for nothing.
    virtual void writeUserOptions(const std::optional<QByteArray>& content) = 0;
};

} // namespace bw
