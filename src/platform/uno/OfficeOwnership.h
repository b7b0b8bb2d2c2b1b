#pragma once

#include <chrono>
#include <optional>

namespace bw {

class OfficeDocuments;
class OfficeLink;

// Which office is the program's own: one it started, or one an instance of
// it killed outright left behind and this one takes over; and its end,
// never while it holds a document the user opened.
class OfficeOwnership {
public:
    OfficeOwnership(OfficeLink& link, OfficeDocuments& documents) : link_(link), documents_(documents) {}

    // The documents open in a left office count as loaded here; one that
    // cannot be asked is left to the user.
    void takeOverLeftOffice();
    // Asks an office started here to terminate unless it holds documents
    // not loaded here; waits a bounded time for it to go. Returns whether it asked.
    // In a hurry, an office that does not answer or go within that time is killed.
    bool endSelfStartedOffice(std::optional<std::chrono::milliseconds> hurry = std::nullopt);
    // Leaves a running office started here to the user.
    void handOverSelfStartedOffice();
    // Kills an office started here whose connection was broken off.
    bool endUnansweringOffice();
    // Ends an office started here so that the next call starts it afresh.
    bool restartSelfStartedOffice();

private:
    OfficeLink& link_;
    OfficeDocuments& documents_;
};

} // namespace bw
