#include "widgets/SparvPropSubColour.h"

#include "shell/SparvPrompts.h"

#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>

namespace {

// A colour component as a byte: times 255, truncated toward zero, low eight bits.
int ComponentByte(float component) {
    return static_cast<int>(component * 255.0f) & 0xFF;
}

} // namespace

SparvPropSubColour::SparvPropSubColour(QWidget* parent)
    : SparvPropSub(parent), m_boxes{NewTextBox(Edges(17, 27, 138, 52), QStringLiteral("r")),
                                    NewTextBox(Edges(17, 56, 138, 81), QStringLiteral("g")),
                                    NewTextBox(Edges(17, 85, 138, 110), QStringLiteral("b")),
                                    NewTextBox(Edges(17, 114, 138, 139), QStringLiteral("a"))},
      m_swatch(new QFrame(this)) {
    NewLabel(QStringLiteral("R"), Edges(4, 29, 17, 54));
    NewLabel(QStringLiteral("G"), Edges(4, 58, 17, 83));
    NewLabel(QStringLiteral("B"), Edges(4, 87, 17, 112));
    NewLabel(QStringLiteral("A"), Edges(4, 116, 17, 141));
    auto* swatch = static_cast<QFrame*>(m_swatch);
    swatch->setObjectName(QStringLiteral("swatch"));
    swatch->setFrameStyle(QFrame::Box | QFrame::Plain);
    swatch->setGeometry(Edges(142, 27, 194, 87));
    swatch->setCursor(Qt::PointingHandCursor);
    swatch->setToolTip(QStringLiteral("Choose a colour"));
    swatch->installEventFilter(this);
}

void SparvPropSubColour::SetValue(const FXVariable& value) {
    Colour colour;
    if (!value.GetColour(colour))
        return;
    ShowColour(colour);
    m_boxes[0]->setFocus(Qt::OtherFocusReason);
}

void SparvPropSubColour::ShowColour(const Colour& colour) {
    const float components[4] = {colour.r, colour.g, colour.b, colour.a};
    for (size_t i = 0; i < m_boxes.size(); ++i)
        ShowText(m_boxes[i], FormatNumber(components[i]));
    m_swatchColour =
        QColor(ComponentByte(colour.r), ComponentByte(colour.g), ComponentByte(colour.b));
    m_swatch->update();
}

std::optional<Colour> SparvPropSubColour::Parsed() const {
    float components[4] = {};
    for (size_t i = 0; i < m_boxes.size(); ++i) {
        const std::optional<float> number = ParseNumber(m_boxes[i]->text());
        if (!number || *number < 0.0f || *number > 1.0f)
            return std::nullopt;
        components[i] = *number;
    }
    return Colour{components[0], components[1], components[2], components[3]};
}

void SparvPropSubColour::GetValue(FXVariable& out) const {
    out.Clear();
    if (const std::optional<Colour> colour = Parsed())
        out.SetColour(*colour);
}

void SparvPropSubColour::ChooseColour() {
    const std::optional<Colour> current = Parsed();
    const QColor initial = current ? QColor(static_cast<int>(current->r * 255.0f),
                                            static_cast<int>(current->g * 255.0f),
                                            static_cast<int>(current->b * 255.0f))
                                   : QColor(Qt::black);
    const QColor chosen =
        SparvPrompts::Current().ChooseColour(window(), initial, QString::fromStdString(Name()));
    if (!chosen.isValid())
        return;
    // Alpha is not the chooser's: it keeps what the box holds (opaque when that is not a
    // number).
    ShowColour({static_cast<float>(chosen.red()) / 255.0f,
                static_cast<float>(chosen.green()) / 255.0f,
                static_cast<float>(chosen.blue()) / 255.0f, current ? current->a : 1.0f});
    Apply();
}

bool SparvPropSubColour::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_swatch) {
        if (event->type() == QEvent::Paint) {
            QPainter painter(m_swatch);
            painter.fillRect(m_swatch->rect(), m_swatchColour);
            painter.end();
            return false; // the frame draws its border over the colour
        }
        if (event->type() == QEvent::MouseButtonPress &&
            static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
            ChooseColour();
            return true;
        }
    }
    return SparvPropSub::eventFilter(watched, event);
}
