#include "shell/SparvStatusLine.h"

#include <QLabel>
#include <QResizeEvent>

namespace {

// Distance of each part's right edge from the line's right edge.
constexpr std::array<int, SparvStatusLine::kParts> kRightEdgeInset = {450, 400, 300, 150, 0};

} // namespace

SparvStatusLine::SparvStatusLine(QWidget* parent) : QWidget(parent) {
    for (QLabel*& part : m_parts) {
        part = new QLabel(this);
        part->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        part->setTextFormat(Qt::PlainText);
        part->setIndent(2);
        part->setMinimumSize(0, 0);
    }
}

void SparvStatusLine::SetText(int part, const QString& text) {
    if (part >= 0 && part < kParts && m_parts[static_cast<size_t>(part)]->text() != text)
        m_parts[static_cast<size_t>(part)]->setText(text);
}

QString SparvStatusLine::Text(int part) const {
    return part >= 0 && part < kParts ? m_parts[static_cast<size_t>(part)]->text() : QString();
}

QRect SparvStatusLine::PartRect(int part) const {
    if (part < 0 || part >= kParts)
        return {};
    const int right = width();
    const int left =
        part == 0 ? 0 : std::max(0, right - kRightEdgeInset[static_cast<size_t>(part - 1)]);
    const int end = std::max(left, right - kRightEdgeInset[static_cast<size_t>(part)]);
    return QRect(left, 0, end - left, height());
}

void SparvStatusLine::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    for (int part = 0; part < kParts; ++part)
        m_parts[static_cast<size_t>(part)]->setGeometry(PartRect(part));
}
