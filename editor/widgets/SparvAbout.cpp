#include "widgets/SparvAbout.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QIcon>
#include <QLabel>
#include <QStyle>

SparvAbout::SparvAbout(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("About Sparv"));

    auto* icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("icon"));
    const int iconSize = style()->pixelMetric(QStyle::PM_LargeIconSize, nullptr, this);
    const QIcon applicationIcon = QApplication::windowIcon();
    icon->setPixmap(applicationIcon.pixmap(iconSize, iconSize));
    icon->setVisible(!applicationIcon.isNull());

    auto* name = new QLabel(QStringLiteral("Sparv"), this);
    QFont bold = name->font();
    bold.setBold(true);
    name->setFont(bold);
    auto* versionCaption = new QLabel(QStringLiteral("Version"), this);
    auto* version = new QLabel(Version(), this);
    version->setObjectName(QStringLiteral("version"));
    version->setTextInteractionFlags(Qt::TextSelectableByMouse);

    auto* buttonBox = new QDialogButtonBox(QDialogButtonBox::Ok, Qt::Horizontal, this);
    connect(buttonBox, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* layout = new QGridLayout(this);
    layout->addWidget(icon, 0, 0, 2, 1, Qt::AlignTop);
    layout->addWidget(name, 0, 1, 1, 2);
    layout->addWidget(versionCaption, 1, 1);
    layout->addWidget(version, 1, 2);
    layout->addWidget(buttonBox, 2, 0, 1, 3);
    layout->setColumnStretch(2, 1);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

QString SparvAbout::Version() {
    return QStringLiteral("1.0");
}
