#pragma once

// What the three keyframe editors (curve, colour, vector) share: copy and paste of the
// whole key list with Ctrl+C and Ctrl+V (and the platform's other copy and paste keys)
// while the editor holds the keyboard focus, and a message line for the user.
//
// The main frame has window-wide accelerators for the same keys and for Enter and Tab.
// While the focus is in one of this editor's controls, the editor claims those keys before
// the frame sees them (shortcut override): copy and paste act on the key list, except in a
// text field, where they keep their text meaning; Enter and Tab reach the editor's text
// fields.

#include "shell/KeyframeLink.h"
#include "widgets/KeyframeClipboard.h"

#include <QWidget>

class KeyframeEditorWidget : public QWidget {
    Q_OBJECT

public:
    explicit KeyframeEditorWidget(QWidget* parent);

    // Puts the attached key list on the clipboard (nothing without a list).
    virtual void CopyKeys() = 0;
    // Replaces the attached key list by the clipboard's, as one gesture; refuses keys of
    // another kind with a message.
    virtual void PasteKeys() = 0;

signals:
    // A notice for the status line ("Copied 4 colour keys.", why a paste was refused).
    void Message(const QString& text);

protected:
    bool event(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

    template <class T>
    void CopyFrom(KeyframeLink<T>* link) {
        if (!link)
            return;
        KeyframeClipboard::Copy<T>(link->Keys());
        emit Message(QStringLiteral("Copied %1 %2.")
                         .arg(link->Count())
                         .arg(KeyframeClipboard::KindName(link->Kind())));
    }
    // True when the keys were replaced.
    template <class T>
    bool PasteInto(KeyframeLink<T>* link) {
        if (!link)
            return false;
        QString message;
        auto keys = KeyframeClipboard::Paste<T>(message);
        if (!keys) {
            emit Message(message);
            return false;
        }
        const int count = static_cast<int>(keys->size());
        link->OpenGesture(QStringLiteral("Paste Keys"));
        link->Assign(std::move(*keys));
        link->CloseGesture();
        emit Message(QStringLiteral("Pasted %1 %2.")
                         .arg(count)
                         .arg(KeyframeClipboard::KindName(link->Kind())));
        return true;
    }
};
