#pragma once

// Prompts for the editor's tests: every question the editor asks is recorded and answered
// from a script, so no test ever blocks on a modal window of the platform.

#include "shell/SparvPrompts.h"

#include <QColor>
#include <QString>
#include <deque>
#include <vector>

namespace editor_test {

// Records every question; message boxes take the next scripted answer (Ok for a box with
// only OK, Cancel when the script has run out), file choosers the next scripted path
// (cancelled when none is left), the colour chooser the next scripted colour.
class ScriptedPrompts : public SparvPrompts {
public:
    struct FileQuestion {
        QString title;
        QString initial;
        QString filter;
    };

    std::vector<QString> messages;
    std::vector<Icon> icons; // of each message
    std::deque<Answer> answers;
    std::vector<FileQuestion> fileQuestions;
    std::deque<QString> files;
    std::deque<QColor> colours;
    std::deque<int> choices; // answers of Choose; -1 (closed) when none is left
    std::vector<QColor> colourInitials;

    Answer Message(QWidget*, const QString& text, Buttons buttons, Icon icon,
                   const QString&) override {
        messages.push_back(text);
        icons.push_back(icon);
        if (buttons == Buttons::Ok)
            return Answer::Ok;
        if (answers.empty())
            return Answer::Cancel;
        const Answer answer = answers.front();
        answers.pop_front();
        return answer;
    }
    int Choose(QWidget*, const QString& text, const QStringList&, Icon icon,
               const QString&) override {
        messages.push_back(text);
        icons.push_back(icon);
        if (choices.empty())
            return -1;
        const int choice = choices.front();
        choices.pop_front();
        return choice;
    }
    QString OpenFile(QWidget*, const QString& title, const QString& initial,
                     const QString& filter) override {
        fileQuestions.push_back({title, initial, filter});
        if (files.empty())
            return {};
        QString file = files.front();
        files.pop_front();
        return file;
    }
    QString SaveFile(QWidget* parent, const QString& title, const QString& initial,
                     const QString& filter) override {
        return OpenFile(parent, title, initial, filter);
    }
    QColor ChooseColour(QWidget*, const QColor& initial, const QString&) override {
        colourInitials.push_back(initial);
        if (colours.empty())
            return {};
        QColor colour = colours.front();
        colours.pop_front();
        return colour;
    }
};

} // namespace editor_test
