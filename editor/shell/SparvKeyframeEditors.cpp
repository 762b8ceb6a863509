#include "shell/SparvKeyframeEditors.h"

#include <QPaintEvent>
#include <QPainter>

SparvKeyframeEditors::SparvKeyframeEditors(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("SparvKeyframeEditors"));
    setMinimumSize(0, 0);
}

bool SparvKeyframeEditors::AnyEditorVisible() const {
    const auto editors = findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
    return std::any_of(editors.begin(), editors.end(), [](const QWidget* editor) {
        return editor->isVisibleTo(editor->parentWidget());
    });
}

void SparvKeyframeEditors::HideAll() {
    for (QWidget* editor : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        editor->hide();
    update();
}

void SparvKeyframeEditors::paintEvent(QPaintEvent* event) {
    if (AnyEditorVisible())
        return;
    const QRect area = event->rect();
    QPainter painter(this);
    painter.fillRect(area, QColor::fromRgb(kEmptyColour));
    // The text in the default font and colours, on its own background, starting at the
    // middle of the area.
    painter.setFont(font());
    painter.setPen(palette().color(QPalette::WindowText));
    painter.setBackgroundMode(Qt::OpaqueMode);
    painter.setBackground(palette().brush(QPalette::Window));
    const QPoint middle = area.center();
    painter.drawText(QRect(middle, QSize(area.width(), area.height())),
                     Qt::AlignLeft | Qt::AlignTop | Qt::TextDontClip,
                     QStringLiteral("Space for rent"));
}

void SparvKeyframeEditors::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    for (QWidget* editor : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        editor->setGeometry(rect());
}
