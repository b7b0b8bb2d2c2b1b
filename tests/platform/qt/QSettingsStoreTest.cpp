#include "platform/qt/QSettingsStore.h"

#include "platform/PlatformError.h"
#include "support/QStringPrinter.h"
#include "support/TempHome.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

namespace bw::test {
using bw::test::TempHome;

namespace {

QByteArray fileContent(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
}

const QString App = QStringLiteral("Tallowmere");
const QString Section = QStringLiteral("Brindlework");
const QString Key = QStringLiteral("Combo1");

TEST(QSettingsStore, ValueLandsInTheUsersConfigDirectory)
{
    TempHome home;
    QSettingsStore store;
    store.write(App, Section, Key, QStringLiteral("1"));
    const QString expected = home.path() + QStringLiteral("/.config/Tallowmere.ini");
    EXPECT_EQ(QSettingsStore::filePath(App), expected);
    EXPECT_EQ(fileContent(expected).trimmed(), QByteArray("[Brindlework]\nCombo1=1"));
}

TEST(QSettingsStore, WithoutXdgConfigHomeTheConfigFolderOfHomeIsUsed)
{
    TempHome home;
    qunsetenv("XDG_CONFIG_HOME");
    QSettingsStore store;
    store.write(App, Section, Key, QStringLiteral("2"));
    EXPECT_EQ(fileContent(home.path() + QStringLiteral("/.config/Tallowmere.ini")).trimmed(),
              QByteArray("[Brindlework]\nCombo1=2"));
}

TEST(QSettingsStore, ReadsBackWhatWasWrittenAndTheDefaultWhenMissing)
{
    TempHome home;
    QSettingsStore store;
    EXPECT_EQ(store.read(App, Section, Key, QStringLiteral("fallback")), QStringLiteral("fallback"));
    EXPECT_EQ(store.read(App, Section, Key, QString()), QString());
    for (const QString& value : {QStringLiteral("0"), QStringLiteral("-1"), QStringLiteral("65536"),
                                 QStringLiteral("x"), QStringLiteral("1, 2"), QString()}) {
        store.write(App, Section, Key, value);
        EXPECT_EQ(store.read(App, Section, Key, QStringLiteral("fallback")), value) << value.toStdString();
    }
    EXPECT_EQ(store.read(App, Section, QStringLiteral("Other"), QStringLiteral("d")), QStringLiteral("d"));
    EXPECT_EQ(store.read(App, QStringLiteral("OtherSection"), Key, QStringLiteral("d")), QStringLiteral("d"));
}

TEST(QSettingsStore, EachHomeKeepsItsOwnValues)
{
    QSettingsStore store;
    {
        TempHome first;
        store.write(App, Section, Key, QStringLiteral("1"));
        EXPECT_EQ(store.read(App, Section, Key, QString()), QStringLiteral("1"));
    }
    TempHome second;
    EXPECT_EQ(store.read(App, Section, Key, QStringLiteral("none")), QStringLiteral("none"));
}

TEST(QSettingsStore, WriteThatCannotBeSavedRaises)
{
    TempHome home;
    // A plain file where the config folder should be.
    const QString blocked = home.path() + QStringLiteral("/not-a-folder");
    QFile file(blocked);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(blocked));
    QSettingsStore store;
    try {
        store.write(App, Section, Key, QStringLiteral("1"));
        FAIL() << "no failure raised";
    } catch (const PlatformError& error) {
        EXPECT_EQ(error.number(), ErrorNumber::FileAccess);
        EXPECT_TRUE(error.description().contains(QStringLiteral("Tallowmere.ini"))) << error.what();
    }
}

} // namespace

} // namespace bw::test
