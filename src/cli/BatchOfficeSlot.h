#pragma once

#include "platform/uno/UnoOfficeSuite.h"

#include <QLockFile>
#include <QString>
#include <chrono>
#include <memory>

namespace bw {

// Where a batch's own office lives: a profile folder of its own under the
// user's cache folder and a pipe named after it, so a batch never prints
// through the window's office (or another batch's) and never touches the
// user's LibreOffice profile. Slots are numbered; a batch holds the lock of
// the first free one for its life, so a later batch reuses a warm profile.
class BatchOfficeSlot {
public:
    // PDFs on their way to the printer go to a private folder of the slot
    // under runtimeFolder (the cache folder when there is none), emptied of a
    // killed batch's leftovers when the slot is taken.
    explicit BatchOfficeSlot(const QString& cacheFolder, const QString& runtimeFolder = QString());

    static QString defaultCacheFolder();
    // $XDG_RUNTIME_DIR, or "" when it is not set.
    static QString defaultRuntimeFolder();

    const QString& workFolder() const { return workFolder_; }
    UnoOfficeSuite::Options officeOptions(std::chrono::seconds timeout) const;

private:
    void makeWorkFolder();

    std::unique_ptr<QLockFile> lock_;
    QString profileFolder_;
    QString pipeName_;
    QString workFolder_;
};

} // namespace bw
