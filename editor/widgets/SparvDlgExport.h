#pragma once

// File > Export Animation: where the animation goes (its extension chooses the format:
// ".gif", ".webp", or ".png" for a numbered sequence), how many frames, at how many frames
// per second, of what size, and whether the background is transparent (PNG and WebP
// only). What the frames show (camera, background, grid, seed, speed) is the preview's.

#include <QDialog>

class QCheckBox;
class QDoubleSpinBox;
class QLabel;
class QSpinBox;
class SaveFileField;

class SparvDlgExport : public QDialog {
    Q_OBJECT

public:
    // speedNote: the playback speed the frames follow, for the dialog to say ("1/4").
    SparvDlgExport(QWidget* parent, const QString& speedNote);

    void SetPath(const QString& path);
    QString Path() const;
    void SetFrames(int frames);
    int Frames() const;
    void SetFps(double fps);
    double Fps() const;
    void SetFrameSize(int width, int height);
    int FrameWidth() const;
    int FrameHeight() const;
    void SetTransparent(bool transparent);
    bool Transparent() const;

    // Keeps the dialog open while the path is empty.
    void accept() override;

private:
    // The format the extension names, and whether it can be transparent.
    void ShowFormat();

    SaveFileField* m_file;
    QLabel* m_format;
    QSpinBox* m_frames;
    QDoubleSpinBox* m_fps;
    QSpinBox* m_width;
    QSpinBox* m_height;
    QCheckBox* m_transparent;
};
