#pragma once

// File > Bake Flip-book: the PNG sheet to write (the texture animation goes beside it,
// ".anim"), the grid of frames, the frames per second the effect is sampled at and the
// size of each frame. The effect is seen from the preview's camera.

#include <QDialog>

class QDoubleSpinBox;
class QSpinBox;
class SaveFileField;

class SparvDlgBake : public QDialog {
    Q_OBJECT

public:
    explicit SparvDlgBake(QWidget* parent);

    void SetPath(const QString& path);
    QString Path() const;
    void SetGrid(int columns, int rows);
    int Columns() const;
    int Rows() const;
    void SetFps(double fps);
    double Fps() const;
    void SetCellSize(int pixels);
    int CellSize() const;

    // Keeps the dialog open while the path is empty.
    void accept() override;

private:
    SaveFileField* m_file;
    QSpinBox* m_columns;
    QSpinBox* m_rows;
    QDoubleSpinBox* m_fps;
    QSpinBox* m_cellSize;
};
