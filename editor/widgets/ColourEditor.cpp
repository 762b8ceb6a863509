#include "widgets/ColourEditor.h"

#include "widgets/ColourBar.h"
#include "widgets/ColourPickDlg.h"

ColourEditor::ColourEditor(QWidget* parent)
    : KeyframeEditorWidget(parent), m_bar(new ColourBar(this)), m_picker(new ColourPickDlg(this)) {
    setObjectName(QStringLiteral("ColourEditor"));
    m_bar->setGeometry(kBarLeft, kBarTop, kBarRight - kBarLeft, kBarBottom - kBarTop);
    m_picker->move(0, 0);
    m_picker->resize(m_picker->minimumSize());
    setMinimumSize(kBarRight + 4, kBarBottom + 4);
    connect(m_bar, &ColourBar::Notify, this, &ColourEditor::FromBar);
    connect(m_picker, &ColourPickDlg::ColourChanged, this, &ColourEditor::FromPicker);
    connect(m_picker, &ColourPickDlg::EditFinished, this, [this] {
        if (KeyframeLink<Colour>* keys = Keys())
            keys->CloseGesture();
    });
}

// Closing a window hands the focus on while this editor is half destroyed: a field's
// last report must not reach it.
ColourEditor::~ColourEditor() {
    disconnect(m_bar, nullptr, this, nullptr);
    disconnect(m_picker, nullptr, this, nullptr);
}

void ColourEditor::SetKeys(KeyframeLink<Colour>* keys) {
    if (KeyframeLink<Colour>* old = Keys())
        old->CloseGesture();
    m_bar->SetKeys(keys);
    FromBar();
}

KeyframeLink<Colour>* ColourEditor::Keys() const {
    return m_bar->Keys();
}

void ColourEditor::FromBar() {
    KeyframeLink<Colour>* keys = Keys();
    const Colour colour =
        keys && keys->Count() > 0 ? keys->Value(m_bar->Selected()) : Colour{1.0f, 1.0f, 1.0f, 1.0f};
    m_picker->SetColour(colour.r, colour.g, colour.b, colour.a);
}

void ColourEditor::FromPicker() {
    KeyframeLink<Colour>* keys = Keys();
    if (!keys || keys->Count() == 0)
        return;
    Colour colour;
    m_picker->GetColour(colour.r, colour.g, colour.b, colour.a);
    // An edit stays one gesture until the picker reports its end.
    if (!keys->IsGestureOpen())
        keys->OpenGesture(QStringLiteral("Change Colour"));
    keys->SetValue(m_bar->Selected(), colour);
    m_bar->update();
}

void ColourEditor::CopyKeys() {
    CopyFrom(Keys());
}

void ColourEditor::PasteKeys() {
    if (PasteInto(Keys())) {
        m_bar->SetSelected(0);
        FromBar();
    }
}
