#pragma once

// "Emitter Position": where the preview's emitter sits (a transform whose translation is
// edited as X, Y, Z), its scale, length and velocity, and a list of named markers whose
// transform the emitter can take over with Set Marker.

#include "math/Math.h"

#include <QDialog>
#include <QString>
#include <vector>

class FloatField;
class QListWidget;

class SparvDlgEmitPos : public QDialog {
    Q_OBJECT

public:
    // A place the emitter can be moved to.
    struct Marker {
        QString name;
        Matrix4 transform;
    };

    explicit SparvDlgEmitPos(QWidget* parent = nullptr);

    // Copies transform and shows its translation in X, Y, Z.
    void SetTransform(const Matrix4& transform);
    // The transform; when the dialog closes with OK, its translation becomes X, Y, Z and
    // the rest of it stays as it was.
    Matrix4 Transform() const { return m_transform; }

    void SetScale(float scale);
    float Scale() const { return m_scale; }
    void SetLength(float length);
    float Length() const { return m_length; }
    void SetVelocity(const Vector3& velocity);
    Vector3 Velocity() const { return m_velocity; }

    // The position as read when the dialog closed with OK (the transform's translation).
    float X() const { return m_position.x; }
    float Y() const { return m_position.y; }
    float Z() const { return m_position.z; }

    // Replaces the markers; the Markers list shows their names in this order.
    void SetMarkers(std::vector<Marker> markers);
    const std::vector<Marker>& Markers() const { return m_markers; }

    // Set Marker (the button, or a double click on a row): the transform becomes the
    // selected marker's and X, Y, Z show its position; the other fields keep what was typed.
    // Without a selected row nothing happens.
    void SetMarker();

    // Reads every field; keeps the dialog open when one does not hold a number.
    void accept() override;

private:
    void ShowPosition();

    FloatField* m_xField;
    FloatField* m_yField;
    FloatField* m_zField;
    FloatField* m_scaleField;
    FloatField* m_lengthField;
    FloatField* m_velocityXField;
    FloatField* m_velocityYField;
    FloatField* m_velocityZField;
    QListWidget* m_markerList;

    Matrix4 m_transform;
    Vector3 m_position{0.0f, 0.0f, 0.0f};
    float m_scale = 0.0f;
    float m_length = 0.0f;
    Vector3 m_velocity{0.0f, 0.0f, 0.0f};
    std::vector<Marker> m_markers;
};
