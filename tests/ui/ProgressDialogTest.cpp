#include "ui/ProgressDialog.h"

#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

namespace tellurim {
namespace {

TEST(ProgressDialog, PercentagesWrapPastTheEndAndTheLabelIsRewrittenOnlyOnChange)
{
    EXPECT_EQ(ProgressDialog::percentText(45, 0, 100), "45%");
    EXPECT_EQ(ProgressDialog::percentText(100, 0, 100), "100%");
    EXPECT_EQ(ProgressDialog::percentText(120, 0, 100), "20%");
    EXPECT_EQ(ProgressDialog::percentText(200, 0, 100), "0%");
    EXPECT_EQ(ProgressDialog::percentText(104, 0, 100), "4%");
    EXPECT_EQ(ProgressDialog::percentText(5, 0, 10), "50%");
    EXPECT_EQ(ProgressDialog::percentText(7, 7, 7), "0%");

    ProgressDialog dialog;
    EXPECT_EQ(dialog.windowTitle(), "Generating Grid File");
    EXPECT_EQ(dialog.percentLabel()->text(), " 0 %");
    EXPECT_TRUE(dialog.showPercent(45));
    EXPECT_FALSE(dialog.showPercent(45));
    dialog.setPosition(120);
    EXPECT_EQ(dialog.percentLabel()->text(), "20%");
    EXPECT_EQ(dialog.bar()->value(), 100);  // the bar itself stays full
}

TEST(ProgressDialog, CancelIsReportedOnceAndClosingReenablesOnlyAnOwnerItDisabled)
{
    QWidget owner;
    owner.show();
    auto* dialog = new ProgressDialog;
    ASSERT_TRUE(dialog->open(&owner));
    EXPECT_FALSE(owner.isEnabled());
    EXPECT_TRUE(dialog->isEnabled());
    EXPECT_TRUE(dialog->cancelButton()->isDefault());

    QTest::mouseClick(dialog->cancelButton(), Qt::LeftButton);
    QTest::mouseClick(dialog->cancelButton(), Qt::LeftButton);
    EXPECT_TRUE(dialog->pollCancel());
    EXPECT_FALSE(dialog->pollCancel());  // two clicks, one request
    dialog->accept();                    // OK does nothing
    EXPECT_FALSE(dialog->pollCancel());
    for (const int key : {Qt::Key_Escape, Qt::Key_Return}) {
        QTest::keyClick(dialog, static_cast<Qt::Key>(key));
        EXPECT_TRUE(dialog->pollCancel()) << key;
    }
    EXPECT_FALSE(owner.isEnabled());
    delete dialog;  // closes the window
    EXPECT_TRUE(owner.isEnabled());

    // An owner already disabled stays so.
    owner.setEnabled(false);
    {
        ProgressDialog second;
        second.open(&owner);
    }
    EXPECT_FALSE(owner.isEnabled());
}

}  // namespace
}  // namespace tellurim
