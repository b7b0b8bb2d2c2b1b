#pragma once

#include "platform/FolderChangeWait.h"

#include <QString>

namespace bw {

// inotify on one folder, polled together with a descriptor that turns
// readable when the program is asked to stop. Without inotify (its limit
// reached) every wait simply runs to its timeout.
class InotifyFolderWait : public FolderChangeWait {
public:
    InotifyFolderWait(const QString& folder, int wakeDescriptor);
    ~InotifyFolderWait() override;
    InotifyFolderWait(const InotifyFolderWait&) = delete;
    InotifyFolderWait& operator=(const InotifyFolderWait&) = delete;

    QStringList waitForChange(int timeoutMilliseconds) override;

private:
    int inotify_ = -1;
    int wakeDescriptor_;
};

} // namespace bw
