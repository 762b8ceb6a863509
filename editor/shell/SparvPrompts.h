#pragma once

// Every question the editor asks its user goes through here: message boxes, file
// choosers and the colour chooser. The application installs the Qt implementation; tests
// install a scripted one that records each question and answers it, so no test ever
// blocks on a modal window of the platform.

#include <QColor>
#include <QString>
#include <QStringList>
#include <memory>

class QWidget;

class SparvPrompts {
public:
    enum class Buttons { Ok, YesNoCancel, YesNo, OkCancel };
    enum class Answer { Ok, Yes, No, Cancel };
    enum class Icon { Information, Warning, Error, Question };

    virtual ~SparvPrompts() = default;

    // A modal message box; the answer is the button pressed (Cancel when closed).
    virtual Answer Message(QWidget* parent, const QString& text, Buttons buttons,
                           Icon icon = Icon::Information, const QString& title = {}) = 0;

    // A modal question answered with one of several buttons, named by choices; the answer
    // is the index of the button pressed, or -1 when the box was closed.
    virtual int Choose(QWidget* parent, const QString& text, const QStringList& choices,
                       Icon icon = Icon::Question, const QString& title = {}) = 0;

    // A chooser of an existing file. filter is a Qt name filter list such as
    // "Lua files (*.lua)"; initial is the folder or file it opens at. Empty when cancelled.
    virtual QString OpenFile(QWidget* parent, const QString& title, const QString& initial,
                             const QString& filter) = 0;
    // A chooser of a file to write (it may exist: the caller asks about replacing it).
    // Empty when cancelled.
    virtual QString SaveFile(QWidget* parent, const QString& title, const QString& initial,
                             const QString& filter) = 0;
    // The platform's colour chooser; an invalid colour when cancelled.
    virtual QColor ChooseColour(QWidget* parent, const QColor& initial,
                                const QString& title = {}) = 0;

    // The prompts in use (the Qt ones unless a test installed others).
    static SparvPrompts& Current();
    // Installs prompts (null: the Qt ones again); returns the previous installed ones.
    static std::unique_ptr<SparvPrompts> Install(std::unique_ptr<SparvPrompts> prompts);
};
