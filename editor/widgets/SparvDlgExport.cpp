#include "widgets/SparvDlgExport.h"

#include "widgets/SaveFileField.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

SparvDlgExport::SparvDlgExport(QWidget* parent, const QString& speedNote)
    : QDialog(parent),
      m_file(new SaveFileField(
          this, QStringLiteral("Export Animation"),
          QStringLiteral("Animated GIF (*.gif);;Animated WebP (*.webp);;PNG sequence (*.png)"))),
      m_format(new QLabel(this)), m_frames(new QSpinBox(this)), m_fps(new QDoubleSpinBox(this)),
      m_width(new QSpinBox(this)), m_height(new QSpinBox(this)),
      m_transparent(new QCheckBox(QStringLiteral("&Transparent "
                                                 "background"),
                                  this)) {
    setWindowTitle(QStringLiteral("Export Animation"));
    connect(m_file, &SaveFileField::PathChanged, this, &SparvDlgExport::ShowFormat);

    m_frames->setObjectName(QStringLiteral("frames"));
    m_frames->setRange(1, 100000);
    m_frames->setValue(60);
    m_fps->setObjectName(QStringLiteral("fps"));
    m_fps->setRange(1.0, 1000.0);
    m_fps->setDecimals(2);
    m_fps->setValue(30.0);
    for (QSpinBox* side : {m_width, m_height}) {
        side->setRange(1, 8192);
        side->setSuffix(QStringLiteral(" px"));
    }
    m_width->setObjectName(QStringLiteral("width"));
    m_height->setObjectName(QStringLiteral("height"));
    m_width->setValue(640);
    m_height->setValue(360);
    m_transparent->setObjectName(QStringLiteral("transparent"));
    auto* sizeRow = new QHBoxLayout;
    sizeRow->addWidget(m_width);
    sizeRow->addWidget(new QLabel(QStringLiteral("x"), this));
    sizeRow->addWidget(m_height);
    sizeRow->addStretch(1);

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("File"), m_file);
    form->addRow(QStringLiteral("Format"), m_format);
    form->addRow(QStringLiteral("F&rames"), m_frames);
    form->addRow(QStringLiteral("Frames per &second"), m_fps);
    form->addRow(QStringLiteral("Size"), sizeRow);
    form->addRow(QString(), m_transparent);
    auto* note = new QLabel(
        QStringLiteral("The frames show the effect from its start as the preview does: its "
                       "camera, background, grid and seed, at %1 speed.")
            .arg(speedNote),
        this);
    note->setWordWrap(true);

    auto* buttonBox =
        new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, Qt::Horizontal, this);
    buttonBox->button(QDialogButtonBox::Ok)->setText(QStringLiteral("&Export"));
    connect(buttonBox, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(note);
    layout->addWidget(buttonBox);
    ShowFormat();
}

void SparvDlgExport::SetPath(const QString& path) {
    m_file->SetPath(path);
}

QString SparvDlgExport::Path() const {
    return m_file->Path();
}

void SparvDlgExport::SetFrames(int frames) {
    m_frames->setValue(frames);
}

int SparvDlgExport::Frames() const {
    return m_frames->value();
}

void SparvDlgExport::SetFps(double fps) {
    m_fps->setValue(fps);
}

double SparvDlgExport::Fps() const {
    return m_fps->value();
}

void SparvDlgExport::SetFrameSize(int width, int height) {
    m_width->setValue(width);
    m_height->setValue(height);
}

int SparvDlgExport::FrameWidth() const {
    return m_width->value();
}

int SparvDlgExport::FrameHeight() const {
    return m_height->value();
}

void SparvDlgExport::SetTransparent(bool transparent) {
    m_transparent->setChecked(transparent);
}

bool SparvDlgExport::Transparent() const {
    return m_transparent->isEnabled() && m_transparent->isChecked();
}

void SparvDlgExport::ShowFormat() {
    const QString suffix = QFileInfo(Path()).suffix().toLower();
    bool transparency = true;
    if (suffix == QLatin1String("gif")) {
        m_format->setText(QStringLiteral("animated GIF (a palette per frame)"));
        transparency = false; // a GIF keeps no partial transparency
    } else if (suffix == QLatin1String("webp")) {
        m_format->setText(QStringLiteral("animated WebP"));
    } else if (suffix == QLatin1String("png")) {
        m_format->setText(QStringLiteral("numbered PNG sequence (NAME_0001.png ...)"));
    } else {
        m_format->setText(QStringLiteral("unknown: end the name in .gif, .webp or .png"));
    }
    m_transparent->setEnabled(transparency);
}

void SparvDlgExport::accept() {
    if (!m_file->FocusIfEmpty())
        QDialog::accept();
}
