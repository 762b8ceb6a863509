#include "widgets/SparvPropSubString.h"

#include "definitions/FXFile.h"
#include "shell/SparvPrompts.h"
#include "stream/FilePath.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>

SparvPropSubString::SparvPropSubString(QWidget* parent)
    : SparvPropSub(parent), m_text(NewTextBox(Edges(2, 27, 194, 52), QStringLiteral("value"))) {
    auto* browse = new QPushButton(QStringLiteral("Browse"), this);
    browse->setObjectName(QStringLiteral("browse"));
    browse->setGeometry(Edges(114, 102, 194, 132));
    browse->setAutoDefault(false);
    connect(browse, &QPushButton::clicked, this, &SparvPropSubString::Browse);
}

void SparvPropSubString::SetValue(const FXVariable& value) {
    ShowText(m_text,
             value.GetType() == VARTYPE_STRING ? QString::fromUtf8(value.String()) : QString());
    m_text->setCursorPosition(0);
    m_text->selectAll();
    m_text->setFocus(Qt::OtherFocusReason);
}

void SparvPropSubString::GetValue(FXVariable& out) const {
    out.Clear();
    out.SetString(m_text->text().trimmed().toUtf8().constData());
}

QString SparvPropSubString::FilterFor(const QString& path) {
    const QString all = QStringLiteral("All Files (*.*)");
    const QString extension = QFileInfo(path).suffix();
    if (extension.isEmpty() || extension.contains(QLatin1Char('*')))
        return all;
    return QStringLiteral("%1 (*.%1);;").arg(extension) + all;
}

void SparvPropSubString::Browse() {
    const QString workingDirectory = QDir::currentPath().toUpper();
    const QString text = m_text->text();
    // An aliased path starts the chooser at its file; anything else in the FX folder.
    std::string initial;
    if (!text.contains(QLatin1Char(':')) ||
        !FilePath::ConvertFromAlias(text.toStdString(), initial, FilePath::kModeRelative))
        FilePath::ConvertFromAlias(std::string(FXPathPrefix()) + "*", initial,
                                   FilePath::kModeAbsolute);
    const QString start = QString::fromStdString(initial);
    const QString chosen =
        SparvPrompts::Current().OpenFile(window(), QStringLiteral("Browse"), start,
                                         FilterFor(QDir::currentPath() + QLatin1Char('/') + start));
    if (chosen.isEmpty())
        return;
    const QString upper = QDir::cleanPath(QFileInfo(chosen).absoluteFilePath()).toUpper();
    if (!upper.startsWith(workingDirectory + QLatin1Char('/'))) {
        SparvPrompts::Current().Message(
            window(),
            QStringLiteral("You can not use a file that is not in a subfolder of\n%1")
                .arg(workingDirectory),
            SparvPrompts::Buttons::Ok, SparvPrompts::Icon::Warning);
        return;
    }
    const QString rest =
        QDir::cleanPath(QFileInfo(chosen).absoluteFilePath()).mid(workingDirectory.size() + 1);
    std::string aliased;
    if (!FilePath::ConvertToAlias(rest.toStdString(), aliased))
        return;
    m_text->setText(QString::fromStdString(aliased));
    Apply();
}
