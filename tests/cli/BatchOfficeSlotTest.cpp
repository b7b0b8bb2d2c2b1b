#include "cli/BatchOfficeSlot.h"

#include "platform/uno/OfficeLauncher.h"
#include "support/QtPrinters.h"

#include <QFile>
#include <QTemporaryDir>
#include <QUrl>
#include <gtest/gtest.h>
#include <optional>

namespace bw::test {
namespace {

TEST(BatchOfficeSlotTest, EachBatchHasAnOfficeOfItsOwnAndAFreedSlotIsReused)
{
    QTemporaryDir cache;
    QTemporaryDir otherCache;
    std::optional<BatchOfficeSlot> first(std::in_place, cache.path());
    const BatchOfficeSlot second(cache.path());
    const BatchOfficeSlot elsewhere(otherCache.path());
    const QString firstProfile = first->profileFolder();
    const QString firstPipe = first->pipeName();

    EXPECT_TRUE(firstProfile.startsWith(cache.path() + QStringLiteral("/brindlework/")));
    EXPECT_NE(firstProfile, second.profileFolder());
    EXPECT_NE(firstPipe, second.pipeName());
    EXPECT_NE(firstPipe, elsewhere.pipeName());
    for (const QString& pipe : {firstPipe, second.pipeName(), elsewhere.pipeName()})
        EXPECT_NE(pipe, UnoOfficeSuite::defaultPipeName());

    const auto options = second.officeOptions(std::chrono::seconds(7));
    EXPECT_EQ(options.pipeName, second.pipeName());
    EXPECT_EQ(QUrl(options.profileUrl).toLocalFile(), second.profileFolder());
    EXPECT_EQ(options.answerTimeout, std::chrono::milliseconds(7000));
    // Unwatched, it never shows a dialog, display or not.
    qputenv("DISPLAY", ":99");
    EXPECT_TRUE(OfficeLauncher(options.programFolder, options.pipeName, options.profileUrl, options.headless)
                    .arguments()
                    .contains(QStringLiteral("--headless")));
    qunsetenv("DISPLAY");

    // A killed batch's PDFs are gone when its slot is taken again; no one else may read them.
    const QString leftover = first->workFolder() + QStringLiteral("/3.pdf");
    QFile(leftover).open(QIODevice::WriteOnly);
    first.reset();
    const BatchOfficeSlot again(cache.path());
    EXPECT_EQ(again.profileFolder(), firstProfile);
    EXPECT_EQ(again.pipeName(), firstPipe);
    EXPECT_FALSE(QFile::exists(leftover));
    EXPECT_EQ(int(QFile::permissions(again.workFolder()) & 0x7077), 0x7000);
}

} // namespace
} // namespace bw::test
