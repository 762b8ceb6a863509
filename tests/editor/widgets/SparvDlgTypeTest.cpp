#include "widgets/SparvDlgType.h"

#include "editor/widgets/DialogTestSupport.h"

#include <QButtonGroup>
#include <QGroupBox>

using dialog_test::DialogTest;

namespace {

class SparvDlgTypeTest : public DialogTest {
protected:
    static QList<QAbstractButton*> Buttons(SparvDlgType& dialog) {
        return dialog.findChild<QButtonGroup*>()->buttons();
    }
};

TEST_F(SparvDlgTypeTest, OffersTheTenTypesInOrderWithSprayPreselected) {
    SparvDlgType dialog;
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Choose new fx type"));
    EXPECT_EQ(dialog.findChild<QGroupBox*>()->title(), QStringLiteral("Type"));
    const QStringList labels = {"Spray",       "Ring",  "Beam",  "Trail",      "Combo",
                                "Conditional", "Sound", "Light", "Hyperspace", "LensFlare"};
    const QList<QAbstractButton*> buttons = Buttons(dialog);
    ASSERT_EQ(buttons.size(), labels.size());
    for (int index = 0; index < labels.size(); ++index) {
        EXPECT_EQ(buttons[index]->text(), labels[index]);
        EXPECT_EQ(dialog.findChild<QButtonGroup*>()->id(buttons[index]), index);
    }
    EXPECT_TRUE(buttons[0]->isChecked());

    dialog.show();
    ClickOk(dialog);
    EXPECT_EQ(dialog.Choice(), SparvDlgType::kSpray);
}

TEST_F(SparvDlgTypeTest, OkTakesTheCheckedButtonAndCancelDoesNot) {
    SparvDlgType dialog;
    dialog.SetChoice(SparvDlgType::kTrail);
    EXPECT_TRUE(Buttons(dialog)[3]->isChecked());
    dialog.show();
    Buttons(dialog)[SparvDlgType::kLight]->click();
    ClickCancel(dialog);
    EXPECT_EQ(dialog.Choice(), SparvDlgType::kTrail);

    dialog.show();
    Buttons(dialog)[SparvDlgType::kSound]->click();
    ClickOk(dialog);
    EXPECT_EQ(dialog.Choice(), 6);
}

} // namespace
