// The curve editor with a curve of 1,000 keys, in the pane's size as the editor opens
// (950 by 180 pixels) and in a large pane (1900 by 600): a full repaint of the curve window, and
// one step of dragging a key (the mouse move, the link's write, which copies every key into a
// property value as the document's links do, and the repaint). Qt runs on its offscreen platform
// unless told otherwise; these widgets need no OpenGL.
#include "shell/KeyframeLink.h"
#include "widgets/TimeValueEditor.h"
#include "widgets/TimeValueWnd.h"

#include <QApplication>
#include <QMouseEvent>
#include <benchmark/benchmark.h>
#include <cmath>
#include <memory>

namespace {

void EnsureApplication() {
    if (QCoreApplication::instance())
        return;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "sparv_bench";
    static char* argv[] = {name, nullptr};
    new QApplication(argc, argv);
}

// Stores every change into the property's value, the work a bound link does before it
// hands the value to the document.
class StoringLink : public KeyframeLink<float> {
public:
    void Changed() override { StoreInto(m_value); }

private:
    FXVariable m_value;
};

class CurveScene {
public:
    CurveScene(int keys, int width, int height) {
        EnsureApplication();
        std::vector<TimeFloat> curve(static_cast<size_t>(keys));
        for (int i = 0; i < keys; ++i) {
            const float time = static_cast<float>(i) / static_cast<float>(keys - 1);
            curve[static_cast<size_t>(i)] = {time, 5.0f + 4.0f * std::sin(time * 40.0f)};
        }
        m_link.Reload(curve);
        m_editor = std::make_unique<TimeValueEditor>(nullptr);
        m_editor->resize(width, height);
        m_editor->show();
        m_editor->SetKeys(&m_link);
        QApplication::processEvents();
    }

    TimeValueWnd& Curve() { return *m_editor->CurveWindow(); }
    StoringLink& Link() { return m_link; }

    void Send(QEvent::Type type, QPoint point, Qt::MouseButton button, Qt::MouseButtons held) {
        QWidget* client = Curve().viewport();
        QMouseEvent event(type, QPointF(point), QPointF(client->mapToGlobal(point)), button, held,
                          Qt::NoModifier);
        QApplication::sendEvent(client, &event);
    }

private:
    StoringLink m_link;
    std::unique_ptr<TimeValueEditor> m_editor;
};

void BM_CurveRepaint1000Keys(benchmark::State& state) {
    CurveScene scene(1000, static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    QWidget* client = scene.Curve().viewport();
    for (auto _ : state)
        client->repaint();
    state.SetLabel("full repaint of the curve window");
}
BENCHMARK(BM_CurveRepaint1000Keys)
    ->Args({950, 180})
    ->Args({1900, 600})
    ->Unit(benchmark::kMillisecond);

void BM_CurveDragStep1000Keys(benchmark::State& state) {
    CurveScene scene(1000, static_cast<int>(state.range(0)), static_cast<int>(state.range(1)));
    TimeValueWnd& curve = scene.Curve();
    const int middle = 500;
    const QPoint key = curve.View().KeyPoint(middle);
    scene.Send(QEvent::MouseButtonPress, key, Qt::LeftButton, Qt::LeftButton);
    int step = 0;
    for (auto _ : state) {
        // Up and down by a few pixels: every step writes the key.
        const QPoint to = key + QPoint(0, (step++ % 2 == 0) ? -3 : 3);
        scene.Send(QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
        curve.viewport()->repaint();
    }
    scene.Send(QEvent::MouseButtonRelease, key, Qt::LeftButton, Qt::NoButton);
    state.SetLabel("mouse move, link write of 1,000 keys, repaint");
}
BENCHMARK(BM_CurveDragStep1000Keys)
    ->Args({950, 180})
    ->Args({1900, 600})
    ->Unit(benchmark::kMillisecond);

} // namespace
