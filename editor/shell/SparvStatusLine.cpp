#include "shell/SparvStatusLine.h"

#include <QLabel>
#include <QResizeEvent>

namespace {

// The nominal widths of parts 1 to 4 (part 0 takes the rest), and the longest texts they
// show.
constexpr std::array<int, SparvStatusLine::kParts> kNominalWidth = {0, 50, 100, 150, 150};
const std::array<const char*, SparvStatusLine::kParts> kLongestText = {
    "", "999.9s", "count = 99999 / 99999", "scale is 1 cell = 1000.00 meter",
    "camera distance = 9999.99"};

} // namespace

SparvStatusLine::SparvStatusLine(QWidget* parent) : QWidget(parent), m_note(new QLabel(this)) {
    for (QLabel*& part : m_parts) {
        part = new QLabel(this);
        part->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        part->setTextFormat(Qt::PlainText);
        part->setIndent(2);
        part->setMinimumSize(0, 0);
    }
    m_note->setTextFormat(Qt::PlainText);
    m_note->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_note->hide();
}

void SparvStatusLine::SetNote(const QString& note) {
    if (note == m_note->text())
        return;
    m_note->setText(note);
    m_note->setVisible(!note.isEmpty());
    LayoutParts();
}

QString SparvStatusLine::Note() const {
    return m_note->text();
}

void SparvStatusLine::SetText(int part, const QString& text) {
    if (part < 0 || part >= kParts || m_parts[static_cast<size_t>(part)]->text() == text)
        return;
    const int width = PartWidth(part);
    m_parts[static_cast<size_t>(part)]->setText(text);
    // A text longer than the part's longest (a loop count) widens it.
    if (PartWidth(part) != width)
        LayoutParts();
}

QString SparvStatusLine::Text(int part) const {
    return part >= 0 && part < kParts ? m_parts[static_cast<size_t>(part)]->text() : QString();
}

int SparvStatusLine::PartWidth(int part) const {
    if (part < 1 || part >= kParts)
        return 0;
    const auto index = static_cast<size_t>(part);
    const QFontMetrics metrics = m_parts[index]->fontMetrics();
    // The label's frame and indent on both sides.
    const int needed = std::max(metrics.horizontalAdvance(QString::fromLatin1(kLongestText[index])),
                                metrics.horizontalAdvance(m_parts[index]->text())) +
                       2 * (m_parts[index]->indent() + m_parts[index]->frameWidth()) + 4;
    return std::max(kNominalWidth[index], needed);
}

QRect SparvStatusLine::PartRect(int part) const {
    if (part < 0 || part >= kParts)
        return {};
    // Parts are laid from the right edge leftwards; part 0 takes what is left.
    int end = width();
    for (int later = kParts - 1; later > part; --later)
        end -= PartWidth(later);
    end = std::max(0, end);
    const int left = part == 0 ? 0 : std::max(0, end - PartWidth(part));
    return QRect(left, 0, end - left, height());
}

void SparvStatusLine::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    LayoutParts();
}

void SparvStatusLine::LayoutParts() {
    for (int part = 0; part < kParts; ++part)
        m_parts[static_cast<size_t>(part)]->setGeometry(PartRect(part));
    if (m_note->isVisible()) {
        const QRect first = PartRect(0).adjusted(2, 2, -4, -2);
        const int width = std::min(first.width(), m_note->sizeHint().width());
        m_note->setGeometry(first.right() - width, first.top(), width, first.height());
        m_note->raise();
    }
}
