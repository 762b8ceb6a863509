#include "widgets/Vector3Editor.h"

#include "widgets/KeyframeBar.h"
#include "widgets/TimeVector3Dlg.h"

Vector3Editor::Vector3Editor(QWidget* parent)
    : KeyframeEditorWidget(parent), m_bar(new KeyframeBar(this)),
      m_panel(new TimeVector3Dlg(this)) {
    setObjectName(QStringLiteral("SparvVector3Editor"));
    m_bar->setGeometry(kBarLeft, kBarTop, kBarRight - kBarLeft, kBarBottom - kBarTop);
    m_panel->setGeometry(0, 0, 220, 148);
    m_panel->EnableFields(false);
    setMinimumSize(kBarRight + 4, kBarBottom + 4);
    connect(m_bar, &KeyframeBar::Notify, this, &Vector3Editor::FromBar);
    connect(m_panel, &TimeVector3Dlg::Edited, this, &Vector3Editor::FromPanel);
    connect(m_panel, &TimeVector3Dlg::EditFinished, this, [this] {
        if (KeyframeLink<Vector3>* keys = Keys())
            keys->CloseGesture();
    });
}

// Closing a window hands the focus on while this editor is half destroyed: a field's
// last report must not reach it.
Vector3Editor::~Vector3Editor() {
    disconnect(m_bar, nullptr, this, nullptr);
    disconnect(m_panel, nullptr, this, nullptr);
}

void Vector3Editor::SetKeys(KeyframeLink<Vector3>* keys) {
    if (KeyframeLink<Vector3>* old = Keys())
        old->CloseGesture();
    m_bar->SetKeys(keys);
    FromBar();
}

KeyframeLink<Vector3>* Vector3Editor::Keys() const {
    return m_bar->Keys();
}

void Vector3Editor::FromBar() {
    KeyframeLink<Vector3>* keys = Keys();
    const bool shown = keys && keys->Count() > 0;
    if (shown) {
        const int selected = m_bar->Selected();
        const Vector3 value = keys->Value(selected);
        m_panel->SetKey(keys->Time(selected), value.x, value.y, value.z);
    }
    m_panel->EnableFields(shown);
}

void Vector3Editor::FromPanel() {
    KeyframeLink<Vector3>* keys = Keys();
    Vector3 value;
    if (!keys || keys->Count() == 0 || !m_panel->Read(value.x, value.y, value.z))
        return;
    // Typing stays one gesture until the panel reports its end.
    if (!keys->IsGestureOpen())
        keys->OpenGesture(QStringLiteral("Edit Vector"));
    keys->SetValue(m_bar->Selected(), value);
    m_bar->update();
}

void Vector3Editor::CopyKeys() {
    CopyFrom(Keys());
}

void Vector3Editor::PasteKeys() {
    if (PasteInto(Keys())) {
        m_bar->SetSelected(0);
        FromBar();
    }
}
