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
    // shows up at the next settle check. The folder itself removed or
    // moved away wakes the watch to say so.
    if (inotify_ >= 0 && ::inotify_add_watch(inotify_, QFile::encodeName(folder).constData(),
                                             IN_CLOSE_WRITE | IN_MOVED_TO | IN_CREATE | IN_ATTRIB |
                                                 IN_DELETE_SELF | IN_MOVE_SELF) < 0) {
        ::close(inotify_);
        inotify_ = -1;
    }
}

InotifyFolderWait::~InotifyFolderWait()
{
    if (inotify_ >= 0)
        ::close(inotify_);
}

QStringList InotifyFolderWait::waitForChange(int timeoutMilliseconds)
{
    pollfd watched[2] = {{inotify_, POLLIN, 0}, {wakeDescriptor_, POLLIN, 0}};
    QStringList whole;
    if (::poll(watched, 2, timeoutMilliseconds) > 0 && (watched[0].revents & POLLIN)) {
        alignas(inotify_event) char events[4096];
        ssize_t length;
        while ((length = ::read(inotify_, events, sizeof events)) > 0) {
            for (ssize_t at = 0; at < length;) {
                const auto* event = reinterpret_cast<const inotify_event*>(events + at);
                if ((event->mask & (IN_CLOSE_WRITE | IN_MOVED_TO)) && event->len > 0)
                    whole << QFile::decodeName(event->name);
                at += ssize_t(sizeof(inotify_event) + event->len);
            }
        }
    }
    return whole;
}

} // namespace bw
