#pragma once

// File > Bake Flip-book: the PNG sheet to write (the texture animation goes beside it,
// ".anim"), the grid of frames, the frames per second the effect is sampled at and the
// size of each frame. The effect is seen from the preview's camera.

#include <QDialog>

class QDoubleSpinBox;
class QLineEdit;
class QSpinBox;

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

    // Browse: the file chooser for the sheet; a chosen file replaces the path.
    void Browse();
    // Keeps the dialog open while the path is empty.
    void accept() override;

private:
    QLineEdit* m_path;
    QSpinBox* m_columns;
    QSpinBox* m_rows;
    QDoubleSpinBox* m_fps;
    QSpinBox* m_cellSize;
};
