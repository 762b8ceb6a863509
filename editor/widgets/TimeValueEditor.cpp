#include "widgets/TimeValueEditor.h"

#include "widgets/TimeValueDlg.h"
#include "widgets/TimeValueWnd.h"

#include <QResizeEvent>
#include <QScrollArea>
#include <algorithm>

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
