#include "platform/system/InotifyFolderWait.h"

#include <QFile>
#include <cerrno>
#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

namespace bw {

InotifyFolderWait::InotifyFolderWait(const QString& folder, int wakeDescriptor)
    : inotify_(::inotify_init1(IN_NONBLOCK | IN_CLOEXEC)), wakeDescriptor_(wakeDescriptor)
{
    // A finished write, a file moved in or made: a copy still under way
    // shows up at the next settle check.
    if (inotify_ >= 0 && ::inotify_add_watch(inotify_, QFile::encodeName(folder).constData(),
                                             IN_CLOSE_WRITE | IN_MOVED_TO | IN_CREATE | IN_ATTRIB) < 0) {
        ::close(inotify_);
        inotify_ = -1;
    }
}

InotifyFolderWait::~InotifyFolderWait()
{
    if (inotify_ >= 0)
        ::close(inotify_);
}

void InotifyFolderWait::waitForChange(int timeoutMilliseconds)
{
    pollfd watched[2] = {{inotify_, POLLIN, 0}, {wakeDescriptor_, POLLIN, 0}};
    if (::poll(watched, 2, timeoutMilliseconds) > 0 && (watched[0].revents & POLLIN)) {
        char events[4096];
        while (::read(inotify_, events, sizeof events) > 0) {
        }
    }
}

} // namespace bw
