#include "widgets/SaveFileField.h"

#include "shell/SparvPrompts.h"

#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>

SaveFileField::SaveFileField(QWidget* parent, const QString& title, const QString& filter)
    : QWidget(parent), m_path(new QLineEdit(this)), m_title(title), m_filter(filter) {
    m_path->setObjectName(QStringLiteral("path"));
    m_path->setMinimumWidth(m_path->fontMetrics().averageCharWidth() * 48);
    auto* browse = new QPushButton(QStringLiteral("&Browse..."), this);
    browse->setObjectName(QStringLiteral("browse"));
    connect(browse, &QPushButton::clicked, this, &SaveFileField::Browse);
    connect(m_path, &QLineEdit::textChanged, this, &SaveFileField::PathChanged);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(m_path, 1);
    row->addWidget(browse);
    setFocusProxy(m_path);
}

void SaveFileField::SetPath(const QString& path) {
    m_path->setText(path);
}

QString SaveFileField::Path() const {
    return m_path->text().trimmed();
}

void SaveFileField::Browse() {
    const QString chosen = SparvPrompts::Current().SaveFile(this, m_title, Path(), m_filter);
    if (!chosen.isEmpty())
        m_path->setText(chosen);
}

bool SaveFileField::FocusIfEmpty() {
    if (!Path().isEmpty())
        return false;
    m_path->setFocus(Qt::OtherFocusReason);
    return true;
}
