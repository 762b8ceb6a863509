// The property panel's sub-editors: what each hands on for good and bad text, and their
// buttons, keys, swatch and file browser.

#include "editor/widgets/DialogTestSupport.h"
#include "support/TempWorkDir.h"
#include "widgets/SparvPropSubBool.h"
#include "widgets/SparvPropSubColour.h"
#include "widgets/SparvPropSubFloat.h"
#include "widgets/SparvPropSubInteger.h"
#include "widgets/SparvPropSubString.h"
#include "widgets/SparvPropSubVec3.h"

#include <QCheckBox>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

namespace {

using dialog_test::DialogTest;

// A shown sub-editor of type E whose apply requests are recorded.
template <class E>
class SubEditor {
public:
    SubEditor() : editor(nullptr) {
        editor.setGeometry(0, 0, 200, 180);
        QObject::connect(
            &editor, &SparvPropSub::ApplyRequested,
            [this](int typeIndex, const QString& name, const FXVariable& value, bool allKeys) {
                requests.push_back({typeIndex, name, value, allKeys});
            });
    }
    QLineEdit* Box(const char* name) { return editor.template findChild<QLineEdit*>(name); }
    // Types text into a box and presses Apply.
    FXVariable Apply(std::initializer_list<std::pair<const char*, const char*>> texts) {
        for (const auto& [box, text] : texts)
            Box(box)->setText(QString::fromUtf8(text));
        editor.ApplyButton()->click();
        return requests.empty() ? FXVariable() : requests.back().value;
    }

    struct Request {
        int typeIndex;
        QString name;
        FXVariable value;
        bool allKeys;
    };
    E editor;
    std::vector<Request> requests;
};

FXVariable Float(float value) {
    FXVariable variable;
    variable.SetFloat(value);
    return variable;
}

class SparvPropSubTest : public DialogTest {};

TEST_F(SparvPropSubTest, FloatTextIsReadWholeOrHandedOnEmpty) {
    SubEditor<SparvPropSubFloat> sub;
    sub.editor.Setup(3, "Emitter_Rate", Float(2.5f), false);
    EXPECT_EQ(sub.Box("value")->text(), QStringLiteral("2.500"));
    EXPECT_EQ(sub.Box("value")->selectedText(), QStringLiteral("2.500"));

    EXPECT_EQ(sub.Apply({{"value", "  1.5 "}}).GetFloat(), 1.5f);
    ASSERT_EQ(sub.requests.size(), 1u);
    EXPECT_EQ(sub.requests[0].typeIndex, 3);
    EXPECT_EQ(sub.requests[0].name, QStringLiteral("Emitter_Rate"));
    EXPECT_FALSE(sub.requests[0].allKeys);
    EXPECT_TRUE(sub.Apply({{"value", "1.5x"}}).IsEmpty());
    EXPECT_TRUE(sub.Apply({{"value", "nan"}}).IsEmpty());
    const FXVariable empty = sub.Apply({{"value", ""}});
    EXPECT_EQ(empty.GetType(), VARTYPE_FLOAT);
    EXPECT_EQ(empty.GetFloat(), 0.0f);
}

TEST_F(SparvPropSubTest, VectorAndColourNeedEveryComponentAndColoursStayInRange) {
    SubEditor<SparvPropSubVec3> vector;
    FXVariable value;
    value.SetVector3({1.0f, -2.0f, 0.25f});
    vector.editor.Setup(0, "Offset", value, true);
    EXPECT_EQ(vector.Box("y")->text(), QStringLiteral("-2.000"));
    Vector3 read;
    ASSERT_TRUE(vector.Apply({{"z", "4"}}).GetVector3(read));
    EXPECT_EQ(read.z, 4.0f);
    EXPECT_TRUE(vector.Apply({{"y", "two"}}).IsEmpty());

    SubEditor<SparvPropSubColour> colour;
    value.SetColour({0.5f, 0.5f, 0.5f, 1.0f});
    colour.editor.Setup(0, "Colour", value, false);
    // Truncated, not rounded.
    EXPECT_EQ(colour.editor.SwatchColour(), QColor(127, 127, 127));
    EXPECT_TRUE(colour.Apply({{"r", "1.01"}}).IsEmpty());
    EXPECT_TRUE(colour.Apply({{"r", "0.2"}, {"a", "-0.1"}}).IsEmpty());
    Colour parsed;
    ASSERT_TRUE(colour.Apply({{"a", "0.75"}}).GetColour(parsed));
    EXPECT_EQ(parsed.r, 0.2f);
    EXPECT_EQ(parsed.a, 0.75f);
}

TEST_F(SparvPropSubTest, SwatchChooserKeepsAlphaAndAppliesAtOnce) {
    SubEditor<SparvPropSubColour> sub;
    FXVariable value;
    value.SetColour({1.0f, 0.0f, 0.0f, 0.4f});
    sub.editor.Setup(1, "Colour", value, false);
    prompts().colours = {QColor(0, 255, 51)};
    QTest::mouseClick(sub.editor.Swatch(), Qt::LeftButton);
    ASSERT_EQ(prompts().colourInitials.size(), 1u);
    EXPECT_EQ(prompts().colourInitials[0], QColor(255, 0, 0));
    ASSERT_EQ(sub.requests.size(), 1u);
    Colour chosen;
    ASSERT_TRUE(sub.requests[0].value.GetColour(chosen));
    EXPECT_EQ(chosen.g, 1.0f);
    EXPECT_EQ(chosen.b, 0.2f);
    EXPECT_EQ(chosen.a, 0.4f);
    EXPECT_EQ(sub.Box("b")->text(), QStringLiteral("0.200"));
    EXPECT_EQ(sub.Box("a")->text(), QStringLiteral("0.400"));

    // Cancelled: nothing changes, nothing applies.
    QTest::mouseClick(sub.editor.Swatch(), Qt::LeftButton);
    EXPECT_EQ(sub.requests.size(), 1u);
}

TEST_F(SparvPropSubTest, IntegerArrowsStepWithinTheirRangeAndBoolIsTheCheckBox) {
    SubEditor<SparvPropSubInteger> integer;
    FXVariable value;
    value.SetInt(9);
    integer.editor.Setup(0, "Blending", value, false);
    EXPECT_TRUE(integer.Box("value")->isReadOnly());
    auto* up = integer.editor.findChild<QToolButton*>(QStringLiteral("up"));
    up->click();
    up->click();
    EXPECT_EQ(integer.Apply({}).GetInt(), SparvPropSubInteger::kHighest);
    auto* down = integer.editor.findChild<QToolButton*>(QStringLiteral("down"));
    for (int i = 0; i < 12; ++i)
        down->click();
    EXPECT_EQ(integer.Apply({}).GetInt(), SparvPropSubInteger::kLowest);

    SubEditor<SparvPropSubBool> flag;
    value.SetBool(true);
    flag.editor.Setup(0, "Billboard", value, false);
    flag.editor.findChild<QCheckBox*>(QStringLiteral("value"))->click();
    EXPECT_FALSE(flag.Apply({}).GetBool());
}

TEST_F(SparvPropSubTest, AllButtonOnlyForOneKeyAndKeysActOnTheSubEditor) {
    SubEditor<SparvPropSubVec3> sub;
    FXVariable value;
    value.SetVector3({0.0f, 0.0f, 0.0f});
    sub.editor.Setup(2, "Offset", value, false);
    sub.editor.show();
    EXPECT_FALSE(sub.editor.AllButton()->isVisible());
    sub.editor.Setup(2, sub.editor.Name(), value, true); // its own name again
    EXPECT_EQ(sub.editor.Name(), "Offset");
    EXPECT_TRUE(sub.editor.AllButton()->isVisible());
    sub.editor.AllButton()->click();
    ASSERT_EQ(sub.requests.size(), 1u);
    EXPECT_TRUE(sub.requests[0].allKeys);

    // Tab wraps through the three boxes and the buttons; Enter applies.
    sub.editor.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&sub.editor));
    sub.Box("x")->setFocus();
    sub.editor.OnCommand(SparvCommand::NextField);
    EXPECT_EQ(QApplication::focusWidget(), sub.Box("y"));
    sub.editor.OnCommand(SparvCommand::PreviousField);
    sub.editor.OnCommand(SparvCommand::PreviousField);
    EXPECT_NE(QApplication::focusWidget(), sub.Box("x"));
    sub.editor.OnCommand(SparvCommand::Apply);
    EXPECT_EQ(sub.requests.size(), 2u);
}

TEST_F(SparvPropSubTest, BrowseTakesFilesBelowTheWorkingDirectoryAsAliasedPaths) {
    TempWorkDir work;
    SubEditor<SparvPropSubString> sub;
    FXVariable value;
    value.SetString("Data:art/fx/point.tga");
    sub.editor.Setup(0, "Texture", value, false);
    EXPECT_EQ(SparvPropSubString::FilterFor(QStringLiteral("x/point.tga")),
              QStringLiteral("tga (*.tga);;All Files (*.*)"));

    prompts().files = {QStringLiteral("/elsewhere/smoke.tga")};
    sub.editor.Browse();
    ASSERT_EQ(prompts().messages.size(), 1u);
    EXPECT_EQ(prompts().messages[0],
              QStringLiteral("You can not use a file that is not in a subfolder of\n") +
                  QDir::currentPath().toUpper());
    EXPECT_TRUE(sub.requests.empty());

    prompts().files = {QDir::currentPath() + QStringLiteral("/Data/art/fx/smoke.tga")};
    sub.editor.Browse();
    ASSERT_EQ(sub.requests.size(), 1u);
    EXPECT_STREQ(sub.requests[0].value.String(), "DATA:art/fx/smoke.tga");
}

} // namespace
