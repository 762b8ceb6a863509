#include "shell/SparvKeyframeEditors.h"

#include "editor/widgets/KeyframeTestSupport.h"
#include "widgets/ColourBar.h"
#include "widgets/ColourEditor.h"
#include "widgets/ColourPickDlg.h"
#include "widgets/FloatField.h"
#include "widgets/TimeValueDlg.h"
#include "widgets/TimeValueEditor.h"
#include "widgets/TimeValueWnd.h"
#include "widgets/Vector3Editor.h"

#include <QAction>
#include <QLineEdit>
#include <QMainWindow>
#include <QMimeData>
#include <QPushButton>
#include <QVBoxLayout>

using namespace keyframe_test;

namespace {

// The host in a main window that has the frame's window-wide accelerators for copy, paste
// and Enter, counting what reaches them.
class SparvKeyframeEditorsTest : public KeyframeTest {
protected:
    SparvKeyframeEditorsTest() {
        auto* central = new QWidget(&window);
        auto* layout = new QVBoxLayout(central);
        other = new QPushButton(QStringLiteral("Elsewhere"), central);
        host = new SparvKeyframeEditors(central);
        layout->addWidget(other);
        layout->addWidget(host, 1);
        window.setCentralWidget(central);
        for (const QKeySequence& key :
             {QKeySequence(Qt::CTRL | Qt::Key_C), QKeySequence(Qt::CTRL | Qt::Key_V),
              QKeySequence(Qt::Key_Return)}) {
            auto* action = new QAction(&window);
            action->setShortcut(key);
            action->setShortcutContext(Qt::WindowShortcut);
            window.addAction(action);
            QObject::connect(action, &QAction::triggered, [this] { ++accelerators; });
        }
        QObject::connect(host, &SparvKeyframeEditors::Message,
                         [this](const QString& text) { messages.push_back(text); });
        window.resize(1100, 330);
        Show(&window);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
    }

    void Select(int editor) {
        host->HideAll();
        host->ShowEditor(editor, true);
    }

    QMainWindow window;
    QPushButton* other = nullptr; // a control of another pane
    SparvKeyframeEditors* host = nullptr;
    int accelerators = 0;
    std::vector<QString> messages;
    FloatLink curve{{0.0f, 1.0f}, {0.5f, 4.0f}, {1.0f, 2.0f}};
    FloatLink otherCurve{{0.0f, 0.0f}, {1.0f, 0.0f}};
    ColourLink colour{{0.0f, {0.0f, 0.0f, 1.0f, 1.0f}}, {1.0f, {1.0f, 1.0f, 1.0f, 1.0f}}};
};

TEST_F(SparvKeyframeEditorsTest, ShowsOneEditorAtATimeFillingThePane) {
    host->AttachFloat(&curve); // before the editors exist: nothing
    EXPECT_TRUE(host->CreateEditors());
    ASSERT_NE(host->TimeValue(), nullptr);
    EXPECT_EQ(host->TimeValue()->objectName(), QStringLiteral("TimeValueEditor"));
    EXPECT_EQ(host->ColourKeys()->objectName(), QStringLiteral("ColourEditor"));
    EXPECT_EQ(host->VectorKeys()->objectName(), QStringLiteral("SparvVector3Editor"));
    EXPECT_FALSE(host->AnyEditorVisible());

    Select(SparvKeyframeEditors::kTimeValue);
    host->AttachFloat(&curve);
    EXPECT_TRUE(host->TimeValue()->isVisible());
    EXPECT_EQ(host->TimeValue()->geometry(), host->rect());
    host->TimeValue()->CurveWindow()->Selection().SelectOne(1);

    Select(SparvKeyframeEditors::kColour);
    host->AttachColour(&colour);
    EXPECT_FALSE(host->TimeValue()->isVisible());
    EXPECT_TRUE(host->ColourKeys()->isVisible());
    EXPECT_EQ(host->ColourKeys()->Picker()->FieldEdit(ColourPickDlg::kBlue)->text(),
              QStringLiteral("255"));
    Select(SparvKeyframeEditors::kTimeValue); // the curve editor comes back without selection
    EXPECT_EQ(host->TimeValue()->CurveWindow()->Selection().Count(), 0);
    Select(SparvKeyframeEditors::kColour);

    window.resize(1200, 400);
    QApplication::processEvents();
    EXPECT_EQ(host->ColourKeys()->geometry(), host->rect());
    host->HideAll();
    EXPECT_FALSE(host->AnyEditorVisible());
}

TEST_F(SparvKeyframeEditorsTest, CopyAndPasteTakeTheKeysFromTheFrameWhileAnEditorHasTheFocus) {
    host->CreateEditors();
    Select(SparvKeyframeEditors::kTimeValue);
    host->AttachFloat(&curve);
    TimeValueWnd* curveWindow = host->TimeValue()->CurveWindow();
    curveWindow->setFocus();
    QTest::keyClick(curveWindow, Qt::Key_C, Qt::ControlModifier);
    ASSERT_TRUE(QGuiApplication::clipboard()->mimeData()->hasFormat(KeyframeClipboard::MimeType()));
    EXPECT_EQ(messages.back(), QStringLiteral("Copied 3 number keys."));

    // Into colours: refused, and said so.
    Select(SparvKeyframeEditors::kColour);
    host->AttachColour(&colour);
    host->ColourKeys()->Bar()->setFocus();
    QTest::keyClick(host->ColourKeys()->Bar(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(
        messages.back(),
        QStringLiteral("The clipboard holds number keys; only colour keys can be pasted here."));
    EXPECT_EQ(colour.changes, 0);

    // Into another curve: one gesture.
    Select(SparvKeyframeEditors::kTimeValue);
    host->AttachFloat(&otherCurve);
    curveWindow->setFocus();
    QTest::keyClick(curveWindow, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(otherCurve.Keys(), curve.Keys());
    EXPECT_EQ(otherCurve.Gestures(), 1);
    EXPECT_EQ(otherCurve.labels, std::vector<QString>{QStringLiteral("Paste Keys")});
    EXPECT_EQ(accelerators, 0);

    // Elsewhere the frame keeps its keys.
    other->setFocus();
    QTest::keyClick(other, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(accelerators, 1);
}

TEST_F(SparvKeyframeEditorsTest, TextFieldsOfAnEditorKeepCopyAndGetEnter) {
    host->CreateEditors();
    Select(SparvKeyframeEditors::kTimeValue);
    host->AttachFloat(&curve);
    auto* timeScale =
        host->TimeValue()->Panel()->findChild<FloatField*>(QStringLiteral("timeScale"));
    timeScale->setFocus();
    timeScale->selectAll();
    QTest::keyClick(timeScale, Qt::Key_C, Qt::ControlModifier);
    EXPECT_FALSE(
        QGuiApplication::clipboard()->mimeData()->hasFormat(KeyframeClipboard::MimeType()));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("0.025"));

    Type(timeScale, QStringLiteral("0.05"));
    EXPECT_EQ(host->TimeValue()->CurveWindow()->View().TimeScale(), 0.05f);
    EXPECT_EQ(accelerators, 0);
}

} // namespace
