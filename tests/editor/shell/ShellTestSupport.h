#pragma once

// Helpers of the editor shell tests: prompts answered from a script, a watcher that answers
// the modal dialogs the editor opens, and a fixture that starts the whole editor (SparvApp
// with its document, frame and view) on a fresh working directory, with the idle loop
// driven by the test on a clock of its own.

#include "editor/ScriptedPrompts.h"
#include "runtime/FXManager.h"
#include "shell/RenderWindow.h"
#include "shell/SparvApp.h"
#include "shell/SparvAttr.h"
#include "shell/SparvDoc.h"
#include "shell/SparvFrame.h"
#include "shell/SparvPlayback.h"
#include "shell/SparvPrompts.h"
#include "shell/SparvProp.h"
#include "shell/SparvView.h"
#include "stream/FilePath.h"
#include "support/QtApp.h"
#include "support/TempWorkDir.h"

#include <QAction>
#include <QDialog>
#include <QDialogButtonBox>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>
#include <deque>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace shell_test {

using editor_test::ScriptedPrompts;

// Answers the modal dialogs that open while it lives: each expected dialog (in order) is
// handed to its handler; a dialog nobody expected is recorded and rejected, so a test
// never hangs on one.
class DialogWatcher {
public:
    DialogWatcher() {
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { Poll(); });
        m_timer.start();
    }

    // The next dialog to open must be a D; action answers it (and should close it).
    template <class D>
    void Expect(std::function<void(D&)> action) {
        m_expected.push_back([action](QDialog& dialog) {
            auto* typed = qobject_cast<D*>(&dialog);
            if (!typed)
                return false;
            action(*typed);
            return true;
        });
    }

    int Handled() const { return m_handled; }
    const std::vector<QString>& Unexpected() const { return m_unexpected; }

    static void Click(QDialog& dialog, QDialogButtonBox::StandardButton which) {
        QPushButton* button = dialog.findChild<QDialogButtonBox*>()->button(which);
        QTest::mouseClick(button, Qt::LeftButton);
    }

private:
    void Poll() {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        // Dialogs live on the stack: a new one may take the place of the last.
        if (!dialog || dialog->property("shellTestSeen").toBool())
            return;
        dialog->setProperty("shellTestSeen", true);
        if (!m_expected.empty() && m_expected.front()(*dialog)) {
            m_expected.pop_front();
            ++m_handled;
        } else {
            m_unexpected.push_back(dialog->windowTitle());
            dialog->reject();
        }
    }

    QTimer m_timer;
    std::deque<std::function<bool(QDialog&)>> m_expected;
    int m_handled = 0;
    std::vector<QString> m_unexpected;
};

// The editor started on a temporary working directory holding Data/art/fx/.
class ShellTest : public testing::Test {
protected:
    void SetUp() override {
        SparvApp::PrepareSurfaceFormat();
        EnsureQtApp();
        // Qt's offscreen platform has no OpenGL and fails on the preview's widget.
        if (QGuiApplication::platformName() == QLatin1String("offscreen"))
            GTEST_SKIP() << "the editor needs a display: run under xvfb-run";
        m_started = true;
        QStandardPaths::setTestModeEnabled(true);
        m_dir.emplace();
        std::filesystem::create_directories(Root() / "Data/art/fx");
        auto prompts = std::make_unique<ScriptedPrompts>();
        m_prompts = prompts.get();
        m_previousPrompts = SparvPrompts::Install(std::move(prompts));
        FilePath::RemoveAllAliases();
        m_gravity = *FXGetGravity();
        m_wind = *FXGetWind();
        StartEditor();
    }

    void TearDown() override {
        if (!m_started)
            return;
        m_app.reset();
        FXSetGravity(m_gravity);
        FXSetWind(m_wind);
        SparvPrompts::Install(std::move(m_previousPrompts));
        m_dir.reset();
    }

    // Starts the editor (again, after StopEditor) with the idle loop in the test's hands.
    void StartEditor() {
        m_app = std::make_unique<SparvApp>();
        m_app->SetIdleLoopEnabled(false);
        m_app->SetClock([this] { return m_clock; });
        m_app->SetRecoveryFolder(Host(Root() / "recovery"));
        ASSERT_TRUE(
            m_app->Startup({QStringLiteral("sparv"), QStringLiteral("-wkdir"), Host(Root())}));
        ASSERT_TRUE(QTest::qWaitForWindowExposed(Frame()));
        // Accelerators reach the active window only.
        Frame()->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(Frame()));
    }

    // Real time goes by without an idle pass.
    void AdvanceClock(double seconds) { m_clock += static_cast<qint64>(seconds * 1e9); }
    // One idle pass after seconds of real time.
    void Pass(double seconds) {
        if (!m_app->IsRunning())
            m_app->SetRunning(true);
        m_clock += static_cast<qint64>(seconds * 1e9);
        m_app->Idle();
    }
    void Passes(int count, double seconds) {
        for (int i = 0; i < count; ++i)
            Pass(seconds);
    }

    // Opens the menu holding the command's entry and clicks the entry, as the user would;
    // answers whether the entry was enabled (a disabled one does nothing).
    bool Choose(int command) {
        QAction* action = Frame()->Action(command);
        QMenu* menu = nullptr;
        for (QAction* top : Frame()->menuBar()->actions())
            if (top->menu() && top->menu()->actions().contains(action))
                menu = top->menu();
        EXPECT_NE(menu, nullptr) << command;
        if (!menu)
            return false;
        menu->popup(Frame()->mapToGlobal(QPoint(10, 10)));
        EXPECT_TRUE(QTest::qWaitForWindowExposed(menu));
        const bool enabled = action->isEnabled();
        QTest::mouseClick(menu, Qt::LeftButton, {}, menu->actionGeometry(action).center());
        if (menu->isVisible())
            menu->close();
        return enabled;
    }
    void Press(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
               QWidget* target = nullptr) {
        // Without a window manager nothing gives the focus back after a dialog or a menu.
        if (!Frame()->isActiveWindow()) {
            Frame()->activateWindow();
            EXPECT_TRUE(QTest::qWaitForWindowActive(Frame()));
        }
        QWidget* widget = target ? target : static_cast<QWidget*>(Frame()->ActiveView()->Render());
        QTest::keyClick(widget, static_cast<Qt::Key>(key), modifiers);
    }
    void Click(QWidget* button) { QTest::mouseClick(button, Qt::LeftButton); }

    // The bytes of a file below the working directory ("" when missing).
    std::string ReadText(const std::string& relative) const { return m_dir->read(relative); }
    // Writes an FX file below the working directory.
    void WriteFile(const std::string& relative, const std::string& content) const {
        m_dir->write(relative, content);
    }
    // The bundled sample library (effects, textures, meshes) below the working directory.
    void CopySamples() const {
        std::filesystem::copy(std::filesystem::path(SPARV_SAMPLES) / "Data", Root() / "Data",
                              std::filesystem::copy_options::recursive |
                                  std::filesystem::copy_options::overwrite_existing);
    }
    // Opens a file through File Open.
    void OpenFile(const QString& path) {
        m_prompts->files = {path};
        Press(Qt::Key_O, Qt::ControlModifier);
    }
    // The bundled sample ring, 0.8 seconds long, whose offset moves from 0 to 0.5 in Y.
    void WriteSpark(const std::string& relative) const {
        WriteFile(relative, ReadFile(std::string(SPARV_SAMPLES) + "/Data/art/fx/spark.lua"));
    }

    // The sample ring as Data/art/fx/spark.lua, opened through File Open.
    void OpenSpark() {
        WriteSpark("Data/art/fx/spark.lua");
        OpenFile(FxPath("spark.lua"));
        ASSERT_EQ(Doc().TypeAt(0)->GetName(), "spark");
    }
    // The bundled sample library, with one of its effects opened through File Open.
    void OpenSample(const std::string& name) {
        CopySamples();
        OpenFile(FxPath(name + ".lua"));
        ASSERT_NE(Doc().TypeAt(0), nullptr);
        ASSERT_EQ(Doc().TypeAt(0)->GetName(), name);
    }

    static QString Host(const std::filesystem::path& path) {
        return QString::fromStdString(path.string());
    }
    QString FxPath(const std::string& relative) const {
        return Host(Root() / "Data/art/fx" / relative);
    }

    SparvApp& App() { return *m_app; }
    SparvDoc& Doc() { return *m_app->Document(); }
    SparvPlayback& Playback() { return *m_app->Playback(); }
    // An edit through the document's door, as the panes make them.
    SparvDoc::EditResult SetFloat(int typeIndex, const char* name, float value) {
        FXVariable variable;
        variable.SetFloat(value);
        return Doc().ApplyPropertyChange(PropertyEdit::Whole(typeIndex, name, variable));
    }
    float GetFloat(int typeIndex, const char* name) {
        FXVariable value;
        EXPECT_TRUE(Doc().PropertyValue(typeIndex, name, value)) << name;
        return value.GetFloat();
    }
    SparvFrame* Frame() { return m_app->Frame(); }
    SparvView& View() { return *m_app->ActiveView(); }
    ScriptedPrompts& Prompts() { return *m_prompts; }
    const std::filesystem::path& Root() const { return m_dir->root(); }

private:
    std::unique_ptr<SparvApp> m_app;
    ScriptedPrompts* m_prompts = nullptr;
    std::unique_ptr<SparvPrompts> m_previousPrompts;
    std::optional<TempWorkDir> m_dir; // made current, its aliases left to the editor
    qint64 m_clock = 1'000'000'000;
    bool m_started = false;
    Vector3 m_gravity;
    Vector3 m_wind;
};

} // namespace shell_test
