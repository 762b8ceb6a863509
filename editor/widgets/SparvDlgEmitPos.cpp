#include "widgets/SparvDlgEmitPos.h"

#include "widgets/FloatField.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

FloatField* NewField(QWidget* parent, const char* name) {
    auto* field = new FloatField(parent);
    field->setObjectName(QString::fromLatin1(name));
    return field;
}

} // namespace

// Widgets are created in reading order, which is also their tab order.
SparvDlgEmitPos::SparvDlgEmitPos(QWidget* parent)
    : QDialog(parent), m_xField(NewField(this, "x")), m_yField(NewField(this, "y")),
      m_zField(NewField(this, "z")), m_scaleField(NewField(this, "scale")),
      m_lengthField(NewField(this, "length")), m_velocityXField(NewField(this, "velocityX")),
      m_velocityYField(NewField(this, "velocityY")), m_velocityZField(NewField(this, "velocityZ")),
      m_markerList(new QListWidget(this)) {
    setWindowTitle(QStringLiteral("Emitter Position"));

    auto* form = new QFormLayout;
    form->addRow(QStringLiteral("X"), m_xField);
    form->addRow(QStringLiteral("Y"), m_yField);
    form->addRow(QStringLiteral("Z"), m_zField);
    form->addRow(QStringLiteral("Scale"), m_scaleField);
    form->addRow(QStringLiteral("Length"), m_lengthField);
    form->addRow(QStringLiteral("Velocity X"), m_velocityXField);
    form->addRow(QStringLiteral("Velocity Y"), m_velocityYField);
    form->addRow(QStringLiteral("Velocity Z"), m_velocityZField);

    m_markerList->setObjectName(QStringLiteral("markers"));
    m_markerList->setSelectionMode(QAbstractItemView::SingleSelection);
    auto* markerLabel = new QLabel(QStringLiteral("Markers"), this);
    markerLabel->setBuddy(m_markerList);
    auto* setMarker = new QPushButton(QStringLiteral("&Set Marker"), this);
    setMarker->setObjectName(QStringLiteral("setMarker"));
    connect(setMarker, &QPushButton::clicked, this, &SparvDlgEmitPos::SetMarker);
    connect(m_markerList, &QListWidget::itemDoubleClicked, this, &SparvDlgEmitPos::SetMarker);

    auto* markerColumn = new QVBoxLayout;
    markerColumn->addWidget(markerLabel);
    markerColumn->addWidget(m_markerList, 1);
    markerColumn->addWidget(setMarker);

    auto* columns = new QHBoxLayout;
    columns->addLayout(form);
    columns->addLayout(markerColumn, 1);

    auto* buttonBox =
        new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, Qt::Horizontal, this);
    connect(buttonBox, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(columns);
    layout->addWidget(buttonBox);

    ShowPosition();
    m_xField->setFocus(Qt::OtherFocusReason);
}

void SparvDlgEmitPos::SetTransform(const Matrix4& transform) {
    m_transform = transform;
    m_position = transform.Translation();
    ShowPosition();
}

void SparvDlgEmitPos::SetScale(float scale) {
    m_scale = scale;
    m_scaleField->SetValue(scale);
}

void SparvDlgEmitPos::SetLength(float length) {
    m_length = length;
    m_lengthField->SetValue(length);
}

void SparvDlgEmitPos::SetVelocity(const Vector3& velocity) {
    m_velocity = velocity;
    m_velocityXField->SetValue(velocity.x);
    m_velocityYField->SetValue(velocity.y);
    m_velocityZField->SetValue(velocity.z);
}

void SparvDlgEmitPos::SetMarkers(std::vector<Marker> markers) {
    m_markers = std::move(markers);
    m_markerList->clear();
    for (const Marker& marker : m_markers)
        m_markerList->addItem(marker.name);
}

void SparvDlgEmitPos::SetMarker() {
    const QList<QListWidgetItem*> selected = m_markerList->selectedItems();
    if (selected.isEmpty())
        return;
    const int row = m_markerList->row(selected.front());
    if (row < 0 || static_cast<size_t>(row) >= m_markers.size())
        return;
    SetTransform(m_markers[static_cast<size_t>(row)].transform);
}

void SparvDlgEmitPos::accept() {
    if (!FloatField::ReadAll(this, {{m_xField, &m_position.x},
                                    {m_yField, &m_position.y},
                                    {m_zField, &m_position.z},
                                    {m_scaleField, &m_scale},
                                    {m_lengthField, &m_length},
                                    {m_velocityXField, &m_velocity.x},
                                    {m_velocityYField, &m_velocity.y},
                                    {m_velocityZField, &m_velocity.z}}))
        return;
    m_transform.SetTranslation(m_position);
    QDialog::accept();
}

void SparvDlgEmitPos::ShowPosition() {
    m_xField->SetValue(m_position.x);
    m_yField->SetValue(m_position.y);
    m_zField->SetValue(m_position.z);
}
