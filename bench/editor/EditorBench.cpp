// The editor's response times for the edits an artist makes all day: opening an effect
// with its tree, selecting a property until its editor shows, one undo or redo with the
// panes following it; and how fast it exports an animation. Runs the whole editor on a
// copy of the sample library; it needs a display (run it under xvfb-run).
//
// Argument 0 times the editor's own work, up to the panes painted into the window's
// buffer; argument 1 also times handing the window to the display server, which with an
// OpenGL preview in the window composes it through OpenGL and may wait for the display.

#include "runtime/FXManager.h"
#include "shell/SparvApp.h"
#include "shell/SparvAttr.h"
#include "shell/SparvDoc.h"
#include "shell/SparvFrame.h"
#include "shell/SparvProp.h"
#include "shell/SparvReviewCommands.h"
#include "shell/SparvView.h"
#include "widgets/SparvPropSub.h"

#include <QApplication>
#include <QStandardPaths>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <benchmark/benchmark.h>
#include <filesystem>
#include <memory>
#include <random>

namespace {

// Hands the window to the display; timed only with argument 1.
void Flush(benchmark::State& state) {
    if (state.range(0) == 0)
        state.PauseTiming();
    QApplication::processEvents();
    if (state.range(0) == 0)
        state.ResumeTiming();
}

// The editor started on a temporary copy of the samples, the idle loop off.
class Editor {
public:
    Editor() {
        std::random_device device;
        m_root =
            std::filesystem::temp_directory_path() / ("sparv-bench-" + std::to_string(device()));
        std::filesystem::create_directories(m_root);
        std::filesystem::copy(std::filesystem::path(SPARV_SAMPLES) / "Data", m_root / "Data",
                              std::filesystem::copy_options::recursive);
        m_app = std::make_unique<SparvApp>();
        m_app->SetIdleLoopEnabled(false);
        m_app->Startup({QStringLiteral("sparv"), QStringLiteral("-wkdir"),
                        QString::fromStdString(m_root.string())});
        QApplication::processEvents();
    }
    ~Editor() {
        m_app.reset();
        std::error_code ignored;
        std::filesystem::remove_all(m_root, ignored);
    }
    SparvDoc& Doc() { return *m_app->Document(); }
    SparvFrame& Frame() { return *m_app->Frame(); }
    SparvView& View() { return *m_app->ActiveView(); }
    QString Fx(const char* name) const {
        return QString::fromStdString((m_root / "Data/art/fx" / name).string());
    }
    // The first-level tree item whose label starts with text.
    QTreeWidgetItem* Item(const QString& text) {
        QTreeWidgetItem* root = View().TypeTree()->Tree()->topLevelItem(0);
        for (int i = 0; i < root->childCount(); ++i)
            if (root->child(i)->text(0).startsWith(text))
                return root->child(i);
        return nullptr;
    }

private:
    std::filesystem::path m_root;
    std::unique_ptr<SparvApp> m_app;
};

// One editor for every benchmark, ended before the application object goes.
std::unique_ptr<Editor>& EditorInstance() {
    static std::unique_ptr<Editor> editor;
    return editor;
}

Editor& TheEditor() {
    if (!EditorInstance())
        EditorInstance() = std::make_unique<Editor>();
    return *EditorInstance();
}

// Opening the largest sample (explosion: four effects, nested further) and filling its
// tree, with the view's refresh, until the window has handled what that posted.
void BM_OpenLargestSampleAndFillTree(benchmark::State& state) {
    Editor& editor = TheEditor();
    const QString path = editor.Fx("explosion.lua");
    int items = 0;
    for (auto _ : state) {
        editor.Doc().Load(path);
        editor.View().TypeTree()->Tree()->repaint();
        Flush(state);
        items = 0;
        for (QTreeWidgetItemIterator it(editor.View().TypeTree()->Tree()); *it; ++it)
            ++items;
    }
    state.counters["tree_items"] = items;
}
BENCHMARK(BM_OpenLargestSampleAndFillTree)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// Selecting a property in the tree until its sub-editor is shown and painted, alternating
// between a number and a colour so the panel changes editor every time.
void BM_SelectPropertyUntilItsEditorShows(benchmark::State& state) {
    Editor& editor = TheEditor();
    editor.Doc().Load(editor.Fx("spark.lua"));
    QTreeWidget* tree = editor.View().TypeTree()->Tree();
    QTreeWidgetItem* items[] = {editor.Item(QStringLiteral("Duration")),
                                editor.Item(QStringLiteral("Texture"))};
    int next = 0;
    for (auto _ : state) {
        tree->setCurrentItem(items[next]);
        editor.View().PropertyPanel()->Shown()->repaint();
        Flush(state);
        next ^= 1;
    }
}
BENCHMARK(BM_SelectPropertyUntilItsEditorShows)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// One undo and one redo of an edit of the selected property, each with the panel, the
// tree and the time bar following it.
void BM_UndoOrRedoWithPanelRefresh(benchmark::State& state) {
    Editor& editor = TheEditor();
    editor.Doc().Load(editor.Fx("spark.lua"));
    editor.View().TypeTree()->Tree()->setCurrentItem(editor.Item(QStringLiteral("Duration")));
    FXVariable value;
    value.SetFloat(2.0f);
    editor.Doc().ApplyPropertyChange(PropertyEdit::Whole(0, "Duration", value));
    QUndoStack& stack = editor.Doc().UndoStack();
    for (auto _ : state) {
        if (stack.canUndo())
            stack.undo();
        else
            stack.redo();
        editor.View().PropertyPanel()->Shown()->repaint();
        Flush(state);
    }
}
BENCHMARK(BM_UndoOrRedoWithPanelRefresh)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// File > Export Animation of the explosion sample as the editor runs it (without its
// dialog): 60 frames of 640 x 360 at 30 frames per second, drawn headless in a world of
// their own beside the preview's effect, encoded and written. With the progress bar, as the
// menu shows it. "frames/s" counts frames exported per second of wall time, "bytes" the
// size of the file written.
void ExportExplosion(benchmark::State& state, const char* extension) {
    Editor& editor = TheEditor();
    editor.Doc().Load(editor.Fx("explosion.lua"));
    QApplication::processEvents();
    SparvReviewCommands& commands = editor.Frame().ReviewCommands();
    FXExportSettings settings;
    settings.frames = 60;
    settings.fps = 30.0;
    settings.width = 640;
    settings.height = 360;
    settings.outputPath =
        (std::filesystem::temp_directory_path() / ("sparv-editor-bench" + std::string(extension)))
            .string();
    QString reason;
    for (auto _ : state)
        if (commands.Export(settings, true, &reason) != FXReviewOutcome::Done) {
            state.SkipWithError(reason.toStdString().c_str());
            return;
        }
    state.counters["frames/s"] = benchmark::Counter(
        static_cast<double>(state.iterations()) * settings.frames, benchmark::Counter::kIsRate);
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(settings.outputPath));
    std::filesystem::remove(settings.outputPath);
}

void BM_EditorExportExplosionGif(benchmark::State& state) {
    ExportExplosion(state, ".gif");
}
BENCHMARK(BM_EditorExportExplosionGif)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_EditorExportExplosionWebp(benchmark::State& state) {
    ExportExplosion(state, ".webp");
}
BENCHMARK(BM_EditorExportExplosionWebp)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    SparvApp::PrepareSurfaceFormat();
    QStandardPaths::setTestModeEnabled(true); // the recent files stay out of the user's settings
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    EditorInstance().reset();
    benchmark::Shutdown();
    return 0;
}
