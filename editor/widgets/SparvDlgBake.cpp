#include "widgets/SparvDlgBake.h"

#include "widgets/SaveFileField.h"

#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

SparvDlgBake::SparvDlgBake(QWidget* parent)
    : QDialog(parent), m_file(new SaveFileField(this, QStringLiteral("Bake Flip-book"),
                                                QStringLiteral("PNG sheet (*.png)"))),
      m_columns(new QSpinBox(this)), m_rows(new QSpinBox(this)), m_fps(new QDoubleSpinBox(this)),
      m_cellSize(new QSpinBox(this)) {
    setWindowTitle(QStringLiteral("Bake Flip-book"));
    for (QSpinBox* count : {m_columns, m_rows}) {
        count->setRange(1, 64);
        count->setValue(8);
    }
    m_columns->setObjectName(QStringLiteral("columns"));
    m_rows->setObjectName(QStringLiteral("rows"));
    auto* gridRow = new QHBoxLayout;
    gridRow->addWidget(m_columns);
    gridRow->addWidget(new QLabel(QStringLiteral("columns x"), this));
    gridRow->addWidget(m_rows);
    gridRow->addWidget(new QLabel(QStringLiteral("rows"), this));
    gridRow->addStretch(1);
    m_fps->setObjectName(QStringLiteral("fps"));
    m_fps->setRange(1.0, 1000.0);
    m_fps->setDecimals(2);
    m_fps->setValue(30.0);
    m_cellSize->setObjectName(QStringLiteral("size"));
    m_cellSize->setRange(4, 2048);
    m_cellSize->setValue(128);
    m_cellSize->setSuffix(QStringLiteral(" px"));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("Sheet"), m_file);
    form->addRow(QStringLiteral("Grid"), gridRow);
    form->addRow(QStringLiteral("Frames per s&econd"), m_fps);
    form->addRow(QStringLiteral("Frame si&ze"), m_cellSize);
    auto* note =
        new QLabel(QStringLiteral("The effect is drawn from the preview's camera on a transparent "
                                  "background, each frame cut to its bounds; the texture animation "
                                  "(.anim) goes beside the sheet, for a ring's Texture."),
                   this);
    note->setWordWrap(true);

    auto* buttonBox =
        new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, Qt::Horizontal, this);
    buttonBox->button(QDialogButtonBox::Ok)->setText(QStringLiteral("&Bake"));
    connect(buttonBox, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(note);
    layout->addWidget(buttonBox);
}

void SparvDlgBake::SetPath(const QString& path) {
    m_file->SetPath(path);
}

QString SparvDlgBake::Path() const {
    return m_file->Path();
}

void SparvDlgBake::SetGrid(int columns, int rows) {
    m_columns->setValue(columns);
    m_rows->setValue(rows);
}

int SparvDlgBake::Columns() const {
    return m_columns->value();
}

int SparvDlgBake::Rows() const {
    return m_rows->value();
}

void SparvDlgBake::SetFps(double fps) {
    m_fps->setValue(fps);
}

double SparvDlgBake::Fps() const {
    return m_fps->value();
}

void SparvDlgBake::SetCellSize(int pixels) {
    m_cellSize->setValue(pixels);
}

int SparvDlgBake::CellSize() const {
    return m_cellSize->value();
}

void SparvDlgBake::accept() {
    if (!m_file->FocusIfEmpty())
        QDialog::accept();
}
