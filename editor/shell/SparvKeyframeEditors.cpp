#include "shell/SparvKeyframeEditors.h"

#include "shell/KeyframeLink.h"
#include "widgets/ColourEditor.h"
#include "widgets/TimeValueEditor.h"
#include "widgets/Vector3Editor.h"

#include <QPaintEvent>
#include <QPainter>

SparvKeyframeEditors::SparvKeyframeEditors(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("SparvKeyframeEditors"));
    setMinimumSize(0, 0);
}

bool SparvKeyframeEditors::CreateEditors() {
    if (m_timeValue)
        return true;
    m_timeValue = new TimeValueEditor(this);
    m_colour = new ColourEditor(this);
    m_vector3 = new Vector3Editor(this);
    for (KeyframeEditorWidget* editor : {static_cast<KeyframeEditorWidget*>(m_timeValue),
                                         static_cast<KeyframeEditorWidget*>(m_colour),
                                         static_cast<KeyframeEditorWidget*>(m_vector3)}) {
        // The pane decides the size; the editors' own minimums must not grow the splitter.
        editor->setMinimumSize(0, 0);
        editor->setGeometry(rect());
        editor->hide();
        connect(editor, &KeyframeEditorWidget::Message, this, &SparvKeyframeEditors::Message);
    }
    return true;
}

void SparvKeyframeEditors::AttachFloat(KeyframeLink<float>* link) {
    if (m_timeValue)
        m_timeValue->SetKeys(link);
}

void SparvKeyframeEditors::AttachColour(KeyframeLink<Colour>* link) {
    if (m_colour)
        m_colour->SetKeys(link);
}

void SparvKeyframeEditors::AttachVector3(KeyframeLink<Vector3>* link) {
    if (m_vector3)
        m_vector3->SetKeys(link);
}

void SparvKeyframeEditors::ShowEditor(int editor, bool show) {
    QWidget* widget = nullptr;
    switch (editor) {
    case kTimeValue:
        widget = m_timeValue;
        if (m_timeValue)
            m_timeValue->ClearSelection();
        break;
    case kColour:
        widget = m_colour;
        break;
    case kVector3:
        widget = m_vector3;
        break;
    default:
        break;
    }
    if (!widget)
        return;
    widget->setVisible(show);
    update();
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
