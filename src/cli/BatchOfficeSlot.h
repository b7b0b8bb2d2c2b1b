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
    explicit BatchOfficeSlot(const QString& cacheFolder);

    static QString defaultCacheFolder();

    const QString& profileFolder() const { return profileFolder_; }
    const QString& pipeName() const { return pipeName_; }
    UnoOfficeSuite::Options officeOptions(std::chrono::seconds timeout) const;

private:
    std::unique_ptr<QLockFile> lock_;
    QString profileFolder_;
    QString pipeName_;
};

} // namespace bw
