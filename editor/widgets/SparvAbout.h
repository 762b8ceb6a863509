#pragma once

// "About Sparv": the application's icon and version.

#include <QDialog>

class SparvAbout : public QDialog {
    Q_OBJECT

public:
    explicit SparvAbout(QWidget* parent = nullptr);

    // "1.0".
    static QString Version();
};
