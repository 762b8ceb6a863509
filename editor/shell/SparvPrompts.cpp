#include "shell/SparvPrompts.h"

#include <QColorDialog>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <algorithm>
#include <vector>

namespace {

QMessageBox::Icon BoxIcon(SparvPrompts::Icon icon) {
    switch (icon) {
    case SparvPrompts::Icon::Warning:
        return QMessageBox::Warning;
    case SparvPrompts::Icon::Error:
        return QMessageBox::Critical;
    case SparvPrompts::Icon::Question:
        return QMessageBox::Question;
    default:
        return QMessageBox::Information;
    }
}

class QtPrompts : public SparvPrompts {
public:
    Answer Message(QWidget* parent, const QString& text, Buttons buttons, Icon icon,
                   const QString& title) override {
        QMessageBox box(parent);
        box.setWindowTitle(title.isEmpty() ? QStringLiteral("Sparv") : title);
        box.setText(text);
        box.setIcon(BoxIcon(icon));
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

    int Choose(QWidget* parent, const QString& text, const QStringList& choices, Icon icon,
               const QString& title) override {
        QMessageBox box(parent);
        box.setWindowTitle(title.isEmpty() ? QStringLiteral("Sparv") : title);
        box.setText(text);
        box.setIcon(BoxIcon(icon));
        std::vector<QAbstractButton*> buttons;
        for (const QString& choice : choices)
            buttons.push_back(box.addButton(choice, QMessageBox::AcceptRole));
        box.exec();
        const auto pressed = std::find(buttons.begin(), buttons.end(), box.clickedButton());
        return pressed == buttons.end() ? -1 : static_cast<int>(pressed - buttons.begin());
    }

    QString OpenFile(QWidget* parent, const QString& title, const QString& initial,
                     const QString& filter) override {
        return QFileDialog::getOpenFileName(parent, title, initial, filter);
    }

    QString SaveFile(QWidget* parent, const QString& title, const QString& initial,
                     const QString& filter) override {
        return QFileDialog::getSaveFileName(parent, title, initial, filter, nullptr,
                                            QFileDialog::DontConfirmOverwrite);
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
