#include "widgets/SparvDlgEmitPos.h"

#include "editor/widgets/DialogTestSupport.h"

#include <QListWidget>
#include <QTest>

using dialog_test::DialogTest;

namespace {

// A rotation of 90 degrees about Z moved to position.
Matrix4 Placed(const Vector3& position) {
    Matrix4 transform;
    transform.SetRow(0, {0.0f, 1.0f, 0.0f});
    transform.SetRow(1, {-1.0f, 0.0f, 0.0f});
    transform.SetTranslation(position);
    return transform;
}

class SparvDlgEmitPosTest : public DialogTest {
protected:
    SparvDlgEmitPosTest() {
        m_exhaust.SetRow(1, {0.0f, 0.0f, 1.0f});
        m_exhaust.SetRow(2, {0.0f, -1.0f, 0.0f});
        m_exhaust.SetTranslation({-4.0f, 0.25f, 8.0f});
        m_dialog.SetTransform(Placed({1.0f, 2.0f, 3.0f}));
        m_dialog.show();
    }

    QListWidget* MarkerList() { return m_dialog.findChild<QListWidget*>("markers"); }
    void ClickSetMarker() { m_dialog.findChild<QPushButton*>("setMarker")->click(); }
    QString Text(const char* field) { return Field(m_dialog, field)->text(); }
    void Type(const char* field, const char* text) {
        Field(m_dialog, field)->setText(QString::fromLatin1(text));
    }
    void AddMarkers() {
        m_dialog.SetMarkers({{"muzzle", Placed({5.0f, 6.0f, 7.0f})}, {"exhaust", m_exhaust}});
    }

    Matrix4 m_exhaust;
    SparvDlgEmitPos m_dialog;
};

TEST_F(SparvDlgEmitPosTest, OkMovesOnlyTheTransformsPositionAndReadsEveryField) {
    EXPECT_EQ(m_dialog.windowTitle(), QStringLiteral("Emitter Position"));
    m_dialog.SetTransform(Placed({1.5f, -2.0f, 0.125f}));
    m_dialog.SetScale(2.0f);
    m_dialog.SetLength(0.75f);
    m_dialog.SetVelocity({0.0f, 10.0f, -1.5f});
    EXPECT_EQ(Text("x"), QStringLiteral("1.5"));
    EXPECT_EQ(Text("z"), QStringLiteral("0.125"));
    EXPECT_EQ(Text("length"), QStringLiteral("0.75"));
    EXPECT_EQ(Text("velocityZ"), QStringLiteral("-1.5"));

    Type("x", "-6.5");
    Type("scale", "3");
    Type("velocityY", "12");
    ClickOk(m_dialog);
    ASSERT_EQ(m_dialog.result(), QDialog::Accepted);
    EXPECT_EQ(m_dialog.Transform(), Placed({-6.5f, -2.0f, 0.125f}));
    EXPECT_EQ(m_dialog.Scale(), 3.0f);
    EXPECT_EQ(m_dialog.Length(), 0.75f);
    EXPECT_EQ(m_dialog.Velocity().y, 12.0f);
    EXPECT_EQ(m_dialog.Velocity().z, -1.5f);
}

TEST_F(SparvDlgEmitPosTest, BadNumberKeepsTheDialogOpenAndTheTransformUntouched) {
    Type("x", "5");
    Type("velocityZ", "fast");
    ClickOk(m_dialog);
    EXPECT_TRUE(m_dialog.isVisible());
    EXPECT_NE(m_dialog.result(), QDialog::Accepted);
    EXPECT_EQ(prompts().messages, std::vector<QString>{QStringLiteral("Please enter a number.")});
    EXPECT_EQ(m_dialog.Transform(), Placed({1.0f, 2.0f, 3.0f}));
}

TEST_F(SparvDlgEmitPosTest, SetMarkerTakesTheSelectedMarkersTransform) {
    Type("y", "-7");
    ClickSetMarker(); // no markers: nothing happens
    AddMarkers();
    ClickSetMarker(); // none selected: nothing happens
    EXPECT_EQ(Text("y"), QStringLiteral("-7"));
    EXPECT_EQ(m_dialog.Transform(), Placed({1.0f, 2.0f, 3.0f}));
    ASSERT_EQ(MarkerList()->count(), 2);
    EXPECT_EQ(MarkerList()->item(0)->text(), QStringLiteral("muzzle"));
    EXPECT_EQ(MarkerList()->item(1)->text(), QStringLiteral("exhaust"));

    Type("scale", "4");
    MarkerList()->setCurrentRow(1);
    ClickSetMarker();
    EXPECT_EQ(m_dialog.Transform(), m_exhaust);
    EXPECT_EQ(Text("x"), QStringLiteral("-4"));
    EXPECT_EQ(Text("y"), QStringLiteral("0.25"));
    EXPECT_EQ(Text("z"), QStringLiteral("8"));
    EXPECT_EQ(Text("scale"), QStringLiteral("4")); // what was typed elsewhere stays

    ClickOk(m_dialog);
    EXPECT_EQ(m_dialog.Transform(), m_exhaust);
    EXPECT_EQ(m_dialog.Scale(), 4.0f);
}

TEST_F(SparvDlgEmitPosTest, DoubleClickOnARowSetsTheMarker) {
    AddMarkers();
    QListWidget* list = MarkerList();
    const QPoint row = list->visualItemRect(list->item(0)).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, row);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, row);
    EXPECT_EQ(m_dialog.Transform(), Placed({5.0f, 6.0f, 7.0f}));
    EXPECT_EQ(Text("z"), QStringLiteral("7"));
}

} // namespace
