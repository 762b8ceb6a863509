#include "widgets/SparvDlgModel.h"

#include "shell/SparvPrompts.h"
#include "stream/FilePath.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <string>

namespace {

QString WorkingDirectoryPrefix() {
    return QDir::currentPath() + QLatin1Char('/');
}

// FilePath's rule: a ':' before the first separator names an alias.
bool IsAliased(const QString& path) {
    const qsizetype colon = path.indexOf(QLatin1Char(':'));
    if (colon <= 0)
        return false;
    const qsizetype slash = path.indexOf(QLatin1Char('/'));
    const qsizetype backslash = path.indexOf(QLatin1Char('\\'));
    return (slash < 0 || colon < slash) && (backslash < 0 || colon < backslash);
}

} // namespace

SparvDlgModel::SparvDlgModel(QWidget* parent) : QDialog(parent), m_pathField(new QLineEdit(this)) {
    setWindowTitle(QStringLiteral("Select sgm to use"));

    m_pathField->setObjectName(QStringLiteral("path"));
    m_pathField->setMinimumWidth(m_pathField->fontMetrics().averageCharWidth() * 48);
    auto* browse = new QPushButton(QStringLiteral("&Browse"), this);
    browse->setObjectName(QStringLiteral("browse"));
    connect(browse, &QPushButton::clicked, this, &SparvDlgModel::Browse);

    auto* row = new QHBoxLayout;
    row->addWidget(m_pathField, 1);
    row->addWidget(browse);

    auto* buttonBox =
        new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, Qt::Horizontal, this);
    connect(buttonBox, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    layout->addWidget(buttonBox);

    m_pathField->setFocus(Qt::OtherFocusReason);
}

void SparvDlgModel::SetPath(const QString& aliased) {
    m_text.clear();
    if (!aliased.isEmpty()) {
        std::string host;
        if (FilePath::ConvertFromAlias(QFile::encodeName(aliased).toStdString(), host,
                                       FilePath::kModeRelative)) {
            const QString hostPath = QFile::decodeName(QByteArray::fromStdString(host));
            m_text =
                QDir::isAbsolutePath(hostPath) ? hostPath : WorkingDirectoryPrefix() + hostPath;
        } else {
            m_text = aliased;
        }
    }
    m_pathField->setText(m_text);
}

QString SparvDlgModel::Path() const {
    if (m_text.isEmpty() || IsAliased(m_text))
        return m_text;
    QString host = m_text;
    const QString prefix = WorkingDirectoryPrefix();
    if (host.startsWith(prefix))
        host.remove(0, prefix.size());
    std::string aliased;
    if (!FilePath::ConvertToAlias(QFile::encodeName(host).toStdString(), aliased))
        return m_text;
    return QFile::decodeName(QByteArray::fromStdString(aliased));
}

void SparvDlgModel::Browse() {
    const QString chosen = SparvPrompts::Current().OpenFile(this, QStringLiteral("Open"), QString(),
                                                            QStringLiteral("KMO files (*.kmo)"));
    if (!chosen.isEmpty())
        m_pathField->setText(chosen);
}

void SparvDlgModel::accept() {
    m_text = m_pathField->text();
    QDialog::accept();
}
