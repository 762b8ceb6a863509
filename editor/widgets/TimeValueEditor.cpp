#include "widgets/TimeValueEditor.h"

#include "widgets/TimeValueDlg.h"
#include "widgets/TimeValueWnd.h"

#include <QResizeEvent>
#include <QScrollArea>
#include <algorithm>
#include <cmath>

TimeValueEditor::TimeValueEditor(QWidget* parent)
    : KeyframeEditorWidget(parent), m_curve(new TimeValueWnd(this)),
      m_panel(new TimeValueDlg(nullptr)), m_panelArea(new QScrollArea(this)) {
    setObjectName(QStringLiteral("TimeValueEditor"));
    // A short pane scrolls the panel rather than squeezing its fields.
    m_panelArea->setWidget(m_panel);
    m_panelArea->setWidgetResizable(true);
    m_panelArea->setFrameShape(QFrame::NoFrame);
    m_panelArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    m_panel->EnableKeyFields(false);
    m_panel->SetScales(kInitialTimeScale, kInitialValueScale);
    m_panel->SetRange(0.0f, 1.0f, 0.0f, 10000.0f);
    m_curve->ApplyRange(0.0f, 1.0f, 0.0f, 10000.0f);
    m_curve->ApplyScales(kInitialTimeScale, kInitialValueScale);

    connect(m_panel, &TimeValueDlg::Notify, this, &TimeValueEditor::FromPanel);
    connect(m_curve, &TimeValueWnd::Notify, this, &TimeValueEditor::FromCurve);
    connect(m_panel, &TimeValueDlg::BoxModeToggled, m_curve, &TimeValueWnd::SetBoxLatch);
    connect(m_curve, &TimeValueWnd::BoxLatchToggled, m_panel, &TimeValueDlg::SetBoxMode);
    StepSelection(0);
}

// Closing a window hands the focus on while this editor is half destroyed: a field's
// last report must not reach it.
TimeValueEditor::~TimeValueEditor() {
    disconnect(m_curve, nullptr, this, nullptr);
    disconnect(m_panel, nullptr, this, nullptr);
}

void TimeValueEditor::SetKeys(KeyframeLink<float>* keys) {
    m_curve->SetKeys(keys); // reports a change, which refreshes the panel
}

KeyframeLink<float>* TimeValueEditor::Keys() const {
    return m_curve->Keys();
}

void TimeValueEditor::ClearSelection() {
    m_curve->PrepareForShowing();
    StepSelection(0);
}

void TimeValueEditor::resizeEvent(QResizeEvent* event) {
    KeyframeEditorWidget::resizeEvent(event);
    const int width = std::min(kPanelWidth, this->width());
    m_panelArea->setGeometry(0, 0, width, height());
    m_curve->setGeometry(kPanelWidth, 0, std::max(0, this->width() - kPanelWidth), height());
}

void TimeValueEditor::FromPanel(int code) {
    switch (code) {
    case 0: {
        KeyframeLink<float>* keys = Keys();
        if (!keys)
            return;
        keys->OpenGesture(QStringLiteral("Edit Key"));
        m_curve->Selection().SetSelectedKey(m_panel->KeyTime(), m_panel->KeyValue());
        keys->CloseGesture();
        m_curve->viewport()->update();
        break;
    }
    case 1:
        m_curve->ApplyScales(m_panel->TimeScale(), m_panel->ValueScale());
        break;
    case 2:
        m_curve->ApplyRange(m_panel->TimeMin(), m_panel->TimeMax(), m_panel->ValueMin(),
                            m_panel->ValueMax());
        break;
    case 3:
        StepSelection(-1);
        break;
    case 4:
        StepSelection(+1);
        break;
    case 5:
        FitToKeys();
        break;
    default:
        break;
    }
}

void TimeValueEditor::FromCurve(int code) {
    switch (code) {
    case 0:
        StepSelection(0);
        break;
    case 1:
        ApplyValueScale(0.5f);
        break;
    case 2:
        ApplyValueScale(2.0f);
        break;
    case 3:
        FitToKeys();
        break;
    default:
        break;
    }
}

void TimeValueEditor::ApplyValueScale(float factor) {
    const float timeScale = m_curve->View().TimeScale();
    const float valueScale = std::clamp(m_curve->View().ValueScale() * factor,
                                        TimeValueDlg::kMinimumScale, TimeValueDlg::kMaximumScale);
    m_panel->SetScales(timeScale, valueScale);
    m_curve->ApplyScales(timeScale, valueScale);
}

namespace {

// The smallest of 1, 2, 2.5 and 5 times a power of ten that is at least step, so that the
// grid's labels stay round (2.5 keeps the starting time scale of 0.025 in the series).
float RoundStepUp(float step) {
    // A negative exponent divides, so that 2.5 / 100 is the float nearest 0.025, as typed.
    const int exponent = static_cast<int>(std::floor(std::log10(step)));
    const float power = std::pow(10.0f, static_cast<float>(std::abs(exponent)));
    for (const float factor : {1.0f, 2.0f, 2.5f, 5.0f, 10.0f}) {
        const float candidate = exponent < 0 ? factor / power : factor * power;
        if (candidate >= step)
            return candidate;
    }
    return step;
}

} // namespace

void TimeValueEditor::FitToKeys() {
    KeyframeLink<float>* keys = Keys();
    TimeValueView& view = m_curve->View();
    // The pixels a key may take from the grid's origin: up to 2 short of the far edges (a
    // key's square is 5 pixels), and upwards one row less, since the view scrolls by
    // whole rows and the lowest key may stand up to a row above the bottom line.
    const QRect client = view.ClientRect();
    const int across = client.width() - TimeValueView::kLeftMargin - 3;
    const int up = client.height() - TimeValueView::kBottomMargin - 3 - TimeValueView::kCellHeight;
    if (!keys || keys->Count() == 0 || across < TimeValueView::kCellWidth ||
        up < TimeValueView::kCellHeight)
        return;
    float low = keys->Value(0);
    float high = low;
    for (int i = 1; i < keys->Count(); ++i) {
        low = std::min(low, keys->Value(i));
        high = std::max(high, keys->Value(i));
    }
    // A flat curve gets a span of its own size (or 1 at 0) and sits in the middle.
    float span = high - low;
    if (span <= 0.0f)
        span = std::max(std::fabs(high), 1.0f);
    const auto fit = [](float extent, int cell, int pixels) {
        extent = std::max(extent, TimeValueDlg::kMinimumScale); // an empty range still fits
        return std::clamp(
            RoundStepUp(extent * static_cast<float>(cell) / static_cast<float>(pixels)),
            TimeValueDlg::kMinimumScale, TimeValueDlg::kMaximumScale);
    };
    const float timeScale = fit(view.TimeMax() - view.TimeMin(), TimeValueView::kCellWidth, across);
    const float valueScale = fit(span, TimeValueView::kCellHeight, up);
    m_panel->SetScales(timeScale, valueScale);
    m_curve->ApplyScales(timeScale, valueScale);
    // The first column at the range's start; the bottom row at or just below the lowest
    // key (half the span below a flat curve).
    m_curve->ScrollColumns(static_cast<int>(std::floor(view.TimeMin() / timeScale)) -
                           view.ScrollColumn());
    const float bottom = high > low ? low : low - span / 2.0f;
    m_curve->ScrollRows(static_cast<int>(std::floor(bottom / valueScale)) - view.ScrollRow());
}

void TimeValueEditor::StepSelection(int step) {
    KeyframeLink<float>* keys = Keys();
    const int count = keys ? keys->Count() : 0;
    int index = m_curve->Selection().Single() + step;
    index = std::max(index, 0);
    index = std::min(index, count - 1);
    m_panel->SetCounter(index + 1, count);
    if (step != 0)
        m_curve->SelectKey(index);
    const int single = m_curve->Selection().Single();
    if (keys && single >= 0)
        m_panel->SetKey(keys->Time(single), keys->Value(single));
    m_panel->EnableKeyFields(keys && single >= 0);
}

void TimeValueEditor::CopyKeys() {
    CopyFrom(Keys());
}

void TimeValueEditor::PasteKeys() {
    if (PasteInto(Keys())) {
        m_curve->Selection().Clear();
        m_curve->viewport()->update();
        StepSelection(0);
    }
}
