#include "shell/SparvPrompts.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QMessageBox>

namespace {

class QtPrompts : public SparvPrompts {
public:
    Answer Message(QWidget* parent, const QString& text, Buttons buttons, Icon icon,
                   const QString& title) override {
        QMessageBox box(parent);
        box.setWindowTitle(title.isEmpty() ? QStringLiteral("Sparv") : title);
        box.setText(text);
        switch (icon) {
        case Icon::Information:
            box.setIcon(QMessageBox::Information);
            break;
        case Icon::Warning:
            box.setIcon(QMessageBox::Warning);
            break;
        case Icon::Error:
            box.setIcon(QMessageBox::Critical);
            break;
        case Icon::Question:
            box.setIcon(QMessageBox::Question);
            break;
        }
        switch (buttons) {
        case Buttons::Ok:
            box.setStandardButtons(QMessageBox::Ok);
            break;
        case Buttons::YesNoCancel:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
            break;
        case Buttons::YesNo:
            box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
            break;
        case Buttons::OkCancel:
            box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
            break;
        }
        switch (box.exec()) {
        case QMessageBox::Ok:
            return Answer::Ok;
        case QMessageBox::Yes:
            return Answer::Yes;
        case QMessageBox::No:
            return Answer::No;
        default:
            return Answer::Cancel;
        }
    }

    QString OpenFile(QWidget* parent, const QString& title, const QString& initial,
                     const QString& filter) override {
        return QFileDialog::getOpenFileName(parent, title, initial, filter);
    }

    QString SaveFile(QWidget* parent, const QString& title, const QString& initial,
                     const QString& filter) override {
        return QFileDialog::getSaveFileName(parent, title, initial, filter);
    }

    QColor ChooseColour(QWidget* parent, const QColor& initial, const QString& title) override {
        return QColorDialog::getColor(initial, parent, title);
    }
};

std::unique_ptr<SparvPrompts>& Installed() {
    static std::unique_ptr<SparvPrompts> prompts;
    return prompts;
}

} // namespace

SparvPrompts& SparvPrompts::Current() {
    static QtPrompts qt;
    return Installed() ? *Installed() : static_cast<SparvPrompts&>(qt);
}

std::unique_ptr<SparvPrompts> SparvPrompts::Install(std::unique_ptr<SparvPrompts> prompts) {
    std::swap(Installed(), prompts);
    return prompts;
}
