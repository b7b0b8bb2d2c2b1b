#include "printers/PrinterList.h"

#include "support/FakePrinterChoiceList.h"
#include "support/FakePrinters.h"
#include "support/FakeSettingsStore.h"
#include "support/QStringPrinter.h"

#include <gtest/gtest.h>
#include <optional>

namespace bw::test {
using bw::test::FakePrinterChoiceList;
using bw::test::FakePrinters;
using bw::test::FakeSettingsStore;

namespace {

const QString Combo1Key = FakeSettingsStore::keyOf(QStringLiteral("Tallowmere"),
                                                   QStringLiteral("Brindlework"), QStringLiteral("Combo1"));

// Fails every read after the first, to show that step 5 swallows failures.
class SettingsFailingOnSecondRead : public FakeSettingsStore {
public:
    QString read(const QString& application, const QString& section, const QString& key,
                 const QString& defaultValue) override
    {
        if (reads >= 1)
            throw PlatformError(ErrorNumber::FileAccess, QStringLiteral("unreadable"));
        return FakeSettingsStore::read(application, section, key, defaultValue);
    }
};

class PrinterListTest : public ::testing::Test {
protected:
    PrinterListTest()
    {
        printers.printers = {QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")};
        printers.defaultPrinter = QStringLiteral("B");
        // The widget reports every change of the selection to Combo1_Click.
        combo.onSelectionChanged = [this] { list.combo1Click(); };
    }

    void save(const QString& text) { settings.values.insert(Combo1Key, text); }
    std::optional<QString> saved() const
    {
        if (!settings.values.contains(Combo1Key))
            return std::nullopt;
        return settings.values.value(Combo1Key);
    }

    FakePrinters printers;
    FakeSettingsStore settings;
    FakePrinterChoiceList combo;
    PrinterList list{printers, settings, combo};
};

TEST_F(PrinterListTest, FirstStartSelectsTheDefaultAndSavesItsIndex)
{
    list.fillPrinterList();
    EXPECT_EQ(combo.entries, (QStringList{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C")}));
    EXPECT_EQ(combo.currentIndex(), 1);
    EXPECT_EQ(combo.currentText(), QStringLiteral("B"));
    EXPECT_EQ(saved(), QStringLiteral("1"));
    EXPECT_EQ(settings.writes, 1);
}

TEST_F(PrinterListTest, SavedTextDecidesTheSelection)
{
    struct Case {
        const char* saved;
        int expectedIndex; // -1: no entry selected
    };
    const Case table[] = {
        {"", 1},  // empty text: the first-start branch, the default
        {"2", 2}, // the saved position, whatever the default
        {"0", 0},  {"1", 1},      {"5", -1},     {"3", -1},   {"-1", -1}, {"-2", -1},
        {"x", -1}, {"65536", -1}, {"32768", -1}, {"2.0", -1}, {" 2", -1}, {"+2", -1},
    };
    for (const Case& row : table) {
        FakePrinters system;
        system.printers = printers.printers;
        system.defaultPrinter = QStringLiteral("B");
        FakeSettingsStore store;
        const QString text = QString::fromLatin1(row.saved);
        store.values.insert(Combo1Key, text);
        FakePrinterChoiceList box;
        PrinterList subject(system, store, box);
        box.onSelectionChanged = [&subject] { subject.combo1Click(); };

        subject.fillPrinterList();

        EXPECT_EQ(box.entries.size(), 3) << row.saved;
        EXPECT_EQ(box.currentIndex(), row.expectedIndex) << row.saved;
        if (row.expectedIndex < 0) {
            EXPECT_EQ(box.currentText(), QString()) << row.saved;
            EXPECT_EQ(store.values.value(Combo1Key), text) << "saved text must stay: " << row.saved;
            EXPECT_EQ(store.writes, 0) << row.saved;
        } else {
            EXPECT_EQ(box.currentText(), box.entries.at(row.expectedIndex)) << row.saved;
            EXPECT_EQ(store.values.value(Combo1Key), QString::number(row.expectedIndex)) << row.saved;
            EXPECT_EQ(store.writes, 1) << row.saved;
        }
    }
}

TEST_F(PrinterListTest, SavedChoiceIsReadAgainWithTheCurrentIndexStandingIn)
{
    save(QStringLiteral("2"));
    list.fillPrinterList();
    EXPECT_EQ(settings.reads, 2);
    EXPECT_EQ(combo.currentIndex(), 2);
}

TEST_F(PrinterListTest, FailureWhileApplyingTheSavedChoiceIsSilentAndLeavesNoSelection)
{
    SettingsFailingOnSecondRead store;
    store.values.insert(Combo1Key, QStringLiteral("1"));
    FakePrinterChoiceList box;
    PrinterList subject(printers, store, box);
    EXPECT_NO_THROW(subject.fillPrinterList());
    EXPECT_EQ(box.entries.size(), 3);
    EXPECT_EQ(box.currentIndex(), -1);
}

TEST_F(PrinterListTest, PrintersAreListedAsTheSystemGivesThem)
{
    printers.printers = {QStringLiteral("Zeta"), QStringLiteral("alpha"), QStringLiteral("Zeta"),
                         QStringLiteral("Office/draft")};
    printers.defaultPrinter = QStringLiteral("Office/draft");
    list.fillPrinterList();
    EXPECT_EQ(combo.entries, printers.printers);
    EXPECT_EQ(combo.currentIndex(), 3);
    EXPECT_EQ(saved(), QStringLiteral("3"));
}

TEST_F(PrinterListTest, DefaultNotAmongTheListedNamesLeavesNoSelection)
{
    printers.defaultPrinter = QStringLiteral("Elsewhere");
    list.fillPrinterList();
    EXPECT_EQ(combo.entries.size(), 3);
    EXPECT_EQ(combo.currentIndex(), -1);
    EXPECT_EQ(combo.selectionChanges, 0);
    EXPECT_EQ(saved(), std::nullopt);
}

TEST_F(PrinterListTest, NoDefaultPrinterListsThePrintersWithoutSelection)
{
    printers.defaultPrinter.clear();
    list.fillPrinterList();
    EXPECT_EQ(combo.entries.size(), 3);
    EXPECT_EQ(combo.currentIndex(), -1);
    EXPECT_EQ(saved(), std::nullopt);
}

TEST_F(PrinterListTest, UnreachablePrintingSystemGivesAnEmptyListAndGoesOn)
{
    for (const QString& text : {QString(), QStringLiteral("0")}) {
        FakePrinters system;
        system.unreachable = true;
        FakeSettingsStore store;
        if (!text.isNull())
            store.values.insert(Combo1Key, text);
        FakePrinterChoiceList box;
        PrinterList subject(system, store, box);
        EXPECT_NO_THROW(subject.fillPrinterList()) << text.toStdString();
        EXPECT_EQ(box.count(), 0);
        EXPECT_EQ(box.currentIndex(), -1);
        EXPECT_EQ(store.writes, 0);
    }
}

TEST_F(PrinterListTest, PrinterAddedBeforeTheSavedOneTakesItsPosition)
{
    save(QStringLiteral("1"));
    list.fillPrinterList();
    ASSERT_EQ(combo.currentText(), QStringLiteral("B"));

    // Next start: a new printer is listed first; the saved position now stands for A.
    printers.printers.prepend(QStringLiteral("New"));
    FakePrinterChoiceList nextStart;
    PrinterList restarted(printers, settings, nextStart);
    nextStart.onSelectionChanged = [&restarted] { restarted.combo1Click(); };
    restarted.fillPrinterList();
    EXPECT_EQ(nextStart.currentIndex(), 1);
    EXPECT_EQ(nextStart.currentText(), QStringLiteral("A"));
    EXPECT_EQ(saved(), QStringLiteral("1"));
}

TEST_F(PrinterListTest, EverySelectionIsSavedAtOnceAndNoSelectionAsMinusOne)
{
    list.fillPrinterList();
    combo.setCurrentIndex(0);
    EXPECT_EQ(saved(), QStringLiteral("0"));
    combo.setCurrentIndex(2);
    EXPECT_EQ(saved(), QStringLiteral("2"));
    combo.setCurrentIndex(-1);
    EXPECT_EQ(saved(), QStringLiteral("-1"));
    EXPECT_EQ(settings.writes, 4); // the start-up selection and the three above
}

} // namespace

} // namespace bw::test
