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
    const auto firstOptions = first->officeOptions(std::chrono::seconds(7));
    const auto options = second.officeOptions(std::chrono::seconds(7));
    const QString firstProfile = QUrl(firstOptions.profileUrl).toLocalFile();
    const QString otherPipe = elsewhere.officeOptions(std::chrono::seconds(7)).pipeName;

    EXPECT_TRUE(firstProfile.startsWith(cache.path() + QStringLiteral("/brindlework/")));
    EXPECT_NE(firstOptions.profileUrl, options.profileUrl);
    EXPECT_NE(firstOptions.pipeName, options.pipeName);
    EXPECT_NE(firstOptions.pipeName, otherPipe);
    for (const QString& pipe : {firstOptions.pipeName, options.pipeName, otherPipe})
        EXPECT_NE(pipe, UnoOfficeSuite::defaultPipeName());

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
    const auto againOptions = again.officeOptions(std::chrono::seconds(7));
    EXPECT_EQ(againOptions.profileUrl, firstOptions.profileUrl);
    EXPECT_EQ(againOptions.pipeName, firstOptions.pipeName);
    EXPECT_FALSE(QFile::exists(leftover));
    EXPECT_EQ(int(QFile::permissions(again.workFolder()) & 0x7077), 0x7000);
}

} // namespace
} // namespace bw::test
