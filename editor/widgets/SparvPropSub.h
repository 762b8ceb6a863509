#pragma once

// Base of the property panel's six sub-editors, one per scalar kind of property value.
// A sub-editor shows the property's name, its own input controls, an "Apply" button and,
// for one key of a plain array, an "All" button. It reads an FXVariable in (SetValue) and
// hands a new one out (GetValue) with an apply request; it never writes into a type.
//
// Keys, delivered through the sub-editor's accelerator hook while it is shown: Tab and
// Shift+Tab move between its controls, Enter applies, copy, cut and paste act on the
// focused text box.

#include "definitions/FXVariable.h"
#include "shell/SparvCommands.h"

#include <QString>
#include <QWidget>
#include <memory>
#include <optional>
#include <string>

class FxAccelHook;
class QLabel;
class QLineEdit;
class QPushButton;

class SparvPropSub : public QWidget, public SparvCommandTarget {
    Q_OBJECT

public:
    explicit SparvPropSub(QWidget* parent);
    ~SparvPropSub() override;

    // Takes the property to edit: the target type index and name are handed back with
    // every apply request; oneKey shows the "All" button.
    void Setup(int typeIndex, const std::string& name, const FXVariable& value, bool oneKey);
    // Shows a value of this editor's kind in the controls.
    virtual void SetValue(const FXVariable& value) = 0;
    // Builds the value from the controls; empty when a text does not parse.
    virtual void GetValue(FXVariable& out) const = 0;

    // Apply (Enter and the "Apply" button) and All (the "All" button).
    void Apply();
    void ApplyToAll();

    int TypeIndex() const { return m_typeIndex; }
    const std::string& Name() const { return m_name; }
    QPushButton* ApplyButton() const { return m_apply; }
    QPushButton* AllButton() const { return m_all; }

    bool OnCommand(int id) override;

    // A number as the float, vector and colour editors read it: surrounding blanks
    // ignored, empty text is 0, otherwise the whole text must be a finite number.
    static std::optional<float> ParseNumber(const QString& text);
    static std::optional<int> ParseInteger(const QString& text);
    // "%0.3f" with a decimal point under every locale.
    static QString FormatNumber(float value);

signals:
    // The user asked to set the value (at the current key, or at every key of a plain
    // array when allKeys). The value lives only for the call.
    void ApplyRequested(int typeIndex, const QString& name, const FXVariable& value, bool allKeys);

protected:
    // A rectangle given by its edges.
    static QRect Edges(int left, int top, int right, int bottom);
    // A text box in the fixed-pitch font that selects its whole text whenever it gains
    // the focus.
    QLineEdit* NewTextBox(const QRect& geometry, const QString& objectName);
    QLabel* NewLabel(const QString& text, const QRect& geometry);
    // Shows text in a box with all of it selected, the caret in view.
    static void ShowText(QLineEdit* box, const QString& text);

    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void MoveFocus(bool forward);

    QLabel* m_nameLabel;
    QPushButton* m_all;
    QPushButton* m_apply;
    std::unique_ptr<FxAccelHook> m_hook;
    int m_typeIndex = -1;
    std::string m_name;
};
