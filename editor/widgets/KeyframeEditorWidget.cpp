#include "widgets/KeyframeEditorWidget.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>

namespace {

bool IsTextField(const QWidget* widget) {
    return qobject_cast<const QLineEdit*>(widget) || qobject_cast<const QAbstractSpinBox*>(widget);
}

bool IsCopyOrPaste(const QKeyEvent* event) {
    return event->matches(QKeySequence::Copy) || event->matches(QKeySequence::Paste);
}

} // namespace

KeyframeEditorWidget::KeyframeEditorWidget(QWidget* parent) : QWidget(parent) {}

bool KeyframeEditorWidget::event(QEvent* event) {
    if (event->type() == QEvent::ShortcutOverride) {
        auto* key = static_cast<QKeyEvent*>(event);
        QWidget* focus = QApplication::focusWidget();
        const bool inside = focus && (focus == this || isAncestorOf(focus));
        const bool textField = inside && IsTextField(focus);
        const bool fieldKey = key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter ||
                              key->key() == Qt::Key_Tab || key->key() == Qt::Key_Backtab;
        if (inside && ((IsCopyOrPaste(key) && !textField) || (fieldKey && textField))) {
            key->accept();
            return true;
        }
    }
    return QWidget::event(event);
}

void KeyframeEditorWidget::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        CopyKeys();
        return;
    }
    if (event->matches(QKeySequence::Paste)) {
        PasteKeys();
        return;
    }
    QWidget::keyPressEvent(event);
}
