#include "widgets/SparvDlgGlobals.h"

#include "editor/widgets/DialogTestSupport.h"

#include <QTest>
#include <QTimer>

using dialog_test::DialogTest;

namespace {

class SparvDlgGlobalsTest : public DialogTest {};

TEST_F(SparvDlgGlobalsTest, ValuesRoundTripThroughOk) {
    SparvDlgGlobals dialog(nullptr, QStringLiteral("Gravity"));
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Gravity"));
    EXPECT_EQ(Field(dialog, "x")->text(), QStringLiteral("0"));
    dialog.SetValues(0.5f, -9.81f, 1e-3f);
    EXPECT_EQ(Field(dialog, "y")->text(), QStringLiteral("-9.81"));
    EXPECT_EQ(Field(dialog, "z")->text(), QStringLiteral("0.001"));

    dialog.show();
    Field(dialog, "z")->setText(QStringLiteral("  2.5 "));
    ClickOk(dialog);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.X(), 0.5f);
    EXPECT_EQ(dialog.Y(), -9.81f);
    EXPECT_EQ(dialog.Z(), 2.5f);
    EXPECT_TRUE(prompts().messages.empty());
}

// Run modally, as the commands run it: the first OK meets a field that is not a number and
// must leave the dialog open with the message; the second closes it.
TEST_F(SparvDlgGlobalsTest, TextThatIsNotANumberKeepsTheDialogOpen) {
    SparvDlgGlobals dialog(nullptr, QStringLiteral("Wind"));
    dialog.SetValues(1.0f, 2.0f, 3.0f);
    bool stillOpen = false;
    QTimer::singleShot(0, &dialog, [&] {
        Field(dialog, "x")->setText(QStringLiteral("5"));
        Field(dialog, "y")->setText(QStringLiteral("9.81m"));
        ClickOk(dialog);
        stillOpen = dialog.isVisible();
        EXPECT_EQ(dialog.X(), 1.0f); // nothing is taken while one field is bad
        EXPECT_TRUE(Field(dialog, "y")->hasSelectedText());
        Field(dialog, "y")->setText(QStringLiteral("-1"));
        ClickOk(dialog);
        if (dialog.isVisible())
            dialog.reject(); // fail rather than hang
    });
    EXPECT_EQ(dialog.exec(), QDialog::Accepted);
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(prompts().messages, std::vector<QString>{QStringLiteral("Please enter a number.")});
    EXPECT_EQ(dialog.X(), 5.0f);
    EXPECT_EQ(dialog.Y(), -1.0f);
}

TEST_F(SparvDlgGlobalsTest, NumbersKeepTheirPointUnderACommaLocale) {
    dialog_test::CommaLocale comma;
    SparvDlgGlobals dialog(nullptr, QStringLiteral("Wind"));
    dialog.SetValues(1.25f, -0.5f, 1000.0f);
    EXPECT_EQ(Field(dialog, "x")->text(), QStringLiteral("1.25"));
    EXPECT_EQ(Field(dialog, "z")->text(), QStringLiteral("1000"));

    // Typed as the user types, and Return in a field accepts.
    dialog.show();
    QLineEdit* y = Field(dialog, "y");
    y->selectAll();
    QTest::keyClicks(y, QStringLiteral("3.75"));
    QTest::keyClick(y, Qt::Key_Return);
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(dialog.X(), 1.25f);
    EXPECT_EQ(dialog.Y(), 3.75f);
}

} // namespace
