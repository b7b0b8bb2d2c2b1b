#include "platform/qt/DesktopBrowserOpener.h"

#include <QDesktopServices>
#include <QUrl>

namespace bw {

void DesktopBrowserOpener::open(const QString& address)
{
    QDesktopServices::openUrl(QUrl(address));
}

} // namespace bw
