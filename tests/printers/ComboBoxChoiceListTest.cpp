#include "app/ComboBoxChoiceList.h"

#include "platform/PlatformError.h"
#include "support/QStringPrinter.h"

#include <QComboBox>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

namespace bw::test {

namespace {

class ComboBoxChoiceListTest : public ::testing::Test {
protected:
    ComboBoxChoiceListTest() { combo.setEditable(false); }

    void fill()
    {
        for (const char* name : {"A", "B", "C"})
            list.append(QString::fromLatin1(name));
    }

    QComboBox combo;
    ComboBoxChoiceList list{combo};
    QSignalSpy changes{&combo, &QComboBox::currentIndexChanged};
};

TEST_F(ComboBoxChoiceListTest, FillingSelectsNothingAndSignalsNothing)
{
    fill();
    EXPECT_EQ(list.count(), 3);
    EXPECT_EQ(combo.itemText(2), QStringLiteral("C"));
    EXPECT_EQ(list.currentIndex(), -1);
    EXPECT_EQ(list.currentText(), QString());
    EXPECT_EQ(changes.count(), 0);
}

TEST_F(ComboBoxChoiceListTest, AppendKeepsAnExistingSelection)
{
    fill();
    list.setCurrentIndex(1);
    list.append(QStringLiteral("D"));
    EXPECT_EQ(list.currentIndex(), 1);
    EXPECT_EQ(changes.count(), 1);
}

TEST_F(ComboBoxChoiceListTest, SelectingByIndexAndByTextSignalsOnce)
{
    fill();
    list.setCurrentText(QStringLiteral("B"));
    EXPECT_EQ(list.currentIndex(), 1);
    EXPECT_EQ(list.currentText(), QStringLiteral("B"));
    EXPECT_EQ(changes.count(), 1);

    list.setCurrentIndex(2);
    EXPECT_EQ(list.currentText(), QStringLiteral("C"));
    EXPECT_EQ(changes.count(), 2);

    list.setCurrentIndex(-1);
    EXPECT_EQ(list.currentText(), QString());
    EXPECT_EQ(changes.count(), 3);
}

TEST_F(ComboBoxChoiceListTest, TextMatchesWholeNamesWithTheirCase)
{
    fill();
    list.append(QStringLiteral("B/draft"));
    for (const QString& text : {QStringLiteral("b"), QStringLiteral("B/"), QStringLiteral("Bx"), QString()}) {
        list.setCurrentText(text);
        EXPECT_EQ(list.currentIndex(), -1) << text.toStdString();
    }
    list.setCurrentText(QStringLiteral("B/draft"));
    EXPECT_EQ(list.currentIndex(), 3);
    EXPECT_EQ(changes.count(), 1);
}

TEST_F(ComboBoxChoiceListTest, IndexOutsideTheListRaisesAndChangesNothing)
{
    fill();
    list.setCurrentIndex(0);
    for (int index : {-2, 3, 100}) {
        EXPECT_THROW(list.setCurrentIndex(index), PlatformError) << index;
        EXPECT_EQ(list.currentIndex(), 0) << index;
    }
    EXPECT_EQ(changes.count(), 1);
}

TEST_F(ComboBoxChoiceListTest, ClearEmptiesWithoutASelectionSignal)
{
    fill();
    list.setCurrentIndex(1);
    list.clear();
    EXPECT_EQ(list.count(), 0);
    EXPECT_EQ(list.currentIndex(), -1);
    EXPECT_EQ(changes.count(), 1);
}

TEST_F(ComboBoxChoiceListTest, UserPickWithTheKeyboardChangesTheSelection)
{
    fill();
    list.setCurrentIndex(1);
    QTest::keyClick(&combo, Qt::Key_Up);
    EXPECT_EQ(list.currentIndex(), 0);
    EXPECT_EQ(changes.count(), 2);
}

} // namespace

} // namespace bw::test
