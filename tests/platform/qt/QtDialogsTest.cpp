#include "platform/qt/QtDialogs.h"

#include "../../intake/TempTree.h"
#include "support/QtPrinters.h"
#include "support/TempHome.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileSystemModel>
#include <QInputDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>

namespace bw::test {

namespace {

// Each dialog is driven from inside its own modal loop.
class QtDialogsTest : public ::testing::Test {
protected:
    test::TempHome home; // Qt's file dialog keeps its state in the settings
    test::TempTree tree;
    QtDialogs dialogs;
    bool driven = false;

    template <typename Dialog> void whenShown(std::function<void(Dialog&)> drive)
    {
        QTimer::singleShot(0, [this, drive] {
            auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
            ASSERT_NE(dialog, nullptr);
            driven = true;
            drive(*dialog);
        });
    }

    static QPushButton* openButton(QFileDialog& dialog)
    {
        return dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Open);
    }

    QStringList chooseFiles(const QString& typed)
    {
        whenShown<QFileDialog>([this, typed](QFileDialog& dialog) {
            dialog.setDirectory(tree.path());
            dialog.findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))->setText(typed);
            ASSERT_TRUE(openButton(dialog)->isEnabled());
            openButton(dialog)->click();
        });
        return dialogs.openFiles(QStringLiteral("Pick"), {{QStringLiteral("Sheets (*.ods)"), {"*.ods"}},
                                                          {QStringLiteral("All Files (*.*)"), {"*.*"}}});
    }
};

TEST_F(QtDialogsTest, OpenFilesShowsTheTitleAndTheFilterDescriptions)
{
    QString title;
    QStringList shownFilters;
    QStringList patternsInForce;
    QStringList allFilesPatterns;
    QFileDialog::FileMode mode = QFileDialog::AnyFile;
    whenShown<QFileDialog>([&](QFileDialog& dialog) {
        title = dialog.windowTitle();
        const auto* combo = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
        for (int i = 0; combo && i < combo->count(); ++i)
            shownFilters.append(combo->itemText(i));
        const auto* model = dialog.findChild<QFileSystemModel*>();
        ASSERT_NE(model, nullptr);
        patternsInForce = model->nameFilters();
        dialog.selectNameFilter(dialog.nameFilters().value(1));
        allFilesPatterns = model->nameFilters();
        mode = dialog.fileMode();
        dialog.reject();
    });
    const QStringList chosen =
        dialogs.openFiles(QStringLiteral("Add File(s) - Hold Ctrl to select multiple files"),
                          {{QStringLiteral("Calc Spreadsheets (*.ods;*.ots;*.sxc;*.stc)"),
                            {"*.ods", "*.ots", "*.sxc", "*.stc"}},
                           {QStringLiteral("All Files (*.*)"), {"*.*"}}});
    ASSERT_TRUE(driven);
    EXPECT_TRUE(chosen.isEmpty()); // cancelled
    EXPECT_EQ(title, QStringLiteral("Add File(s) - Hold Ctrl to select multiple files"));
    EXPECT_EQ(shownFilters, (QStringList{"Calc Spreadsheets (*.ods;*.ots;*.sxc;*.stc)", "All Files (*.*)"}));
    EXPECT_EQ(patternsInForce, (QStringList{"*.ods", "*.ots", "*.sxc", "*.stc"}));
    EXPECT_EQ(allFilesPatterns, QStringList{"*"}); // every name, with or without a dot
    EXPECT_EQ(mode, QFileDialog::ExistingFiles);
}

TEST_F(QtDialogsTest, OpenFilesReturnsChosenAndTypedNamesAsAbsolutePaths)
{
    tree.file(QStringLiteral("one.ods"));
    tree.file(QStringLiteral("two.txt"));
    const struct {
        const char* typed;
        QStringList paths;
    } table[] = {
        {"one.ods", {"one.ods"}},
        {"\"one.ods\" \"two.txt\"", {"one.ods", "two.txt"}},
        {"not-there-yet.ods", {"not-there-yet.ods"}},
    };
    for (const auto& row : table) {
        driven = false;
        QStringList chosen = chooseFiles(QString::fromLatin1(row.typed));
        ASSERT_TRUE(driven) << row.typed;
        QStringList expected;
        for (const QString& name : row.paths)
            expected.append(tree.path(name));
        chosen.sort();
        EXPECT_EQ(chosen, expected) << row.typed;
    }
}

TEST_F(QtDialogsTest, InputBoxReturnsTheTextOrNothingOnCancel)
{
    const struct {
        const char* what;
        std::function<void(QInputDialog&)> drive;
        QString result;
    } table[] = {
        {"default kept", [](QInputDialog& box) { box.accept(); }, QStringLiteral("ods")},
        {"text typed",
         [](QInputDialog& box) {
             box.setTextValue(QStringLiteral("*"));
             box.accept();
         },
         QStringLiteral("*")},
        {"cancelled", [](QInputDialog& box) { box.reject(); }, QString()},
        {"confirmed empty",
         [](QInputDialog& box) {
             box.setTextValue(QString());
             box.accept();
         },
         QString()},
    };
    for (const auto& row : table) {
        QString title;
        QString label;
        QString initial;
        whenShown<QInputDialog>([&](QInputDialog& box) {
            title = box.windowTitle();
            label = box.labelText();
            initial = box.textValue();
            row.drive(box);
        });
        EXPECT_EQ(dialogs.inputBox(QStringLiteral("Enter file extension to load:\n\n(etc.)"),
                                   QStringLiteral("ods")),
                  row.result)
            << row.what;
        EXPECT_EQ(title, QStringLiteral("Brindlework")) << row.what;
        EXPECT_EQ(label, QStringLiteral("Enter file extension to load:\n\n(etc.)")) << row.what;
        EXPECT_EQ(initial, QStringLiteral("ods")) << row.what;
    }
}

TEST_F(QtDialogsTest, BrowseForFolderReturnsTheFolderOrNothingOnCancel)
{
    tree.folder(QStringLiteral("D/S"));
    const struct {
        const char* what;
        QString folder; // "" cancels
        QString result;
    } table[] = {
        {"a folder", tree.path("D/S"), tree.path("D/S")},
        {"the root", QStringLiteral("/"), QStringLiteral("/")},
        {"cancelled", QString(), QString()},
    };
    for (const auto& row : table) {
        QString title;
        whenShown<QFileDialog>([&](QFileDialog& dialog) {
            title = dialog.windowTitle();
            if (row.folder.isEmpty()) {
                dialog.reject();
                return;
            }
            dialog.setDirectory(row.folder);
            openButton(dialog)->click();
        });
        EXPECT_EQ(dialogs.browseForFolder(QStringLiteral("Please select folder:")), row.result) << row.what;
        EXPECT_EQ(title, QStringLiteral("Please select folder:")) << row.what;
    }
}

} // namespace

} // namespace bw::test
