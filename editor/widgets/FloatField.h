#pragma once

// A text field holding one float, exchanged the same way under every locale.
//
// Qt takes the C locale from the user's environment, so neither printf nor strtod may touch
// these numbers. A value is shown in the shortest form that reads back to the same float,
// always with '.' as the decimal mark ("0", "1.5", "-9.81", "1e+10"). Text is read back with
// '.' as the decimal mark; a single ',' is taken as the decimal mark as well, whatever the
// locale, so "1,5" typed out of habit still means 1.5.
//
// Dialogs read their fields with ReadAll when OK is pressed: a field that does not hold a
// number shows the standard message, gets the focus and keeps the dialog open.

#include <QLineEdit>
#include <initializer_list>
#include <optional>
#include <utility>

class FloatField : public QLineEdit {
public:
    explicit FloatField(QWidget* parent = nullptr);

    // Shows value.
    void SetValue(float value);
    // The shown text as a float; nullopt when it is not a finite float.
    std::optional<float> Value() const;

    static QString Format(float value);
    // Surrounding white space and a leading '+' are allowed; infinities, NaNs and values
    // beyond the float range are not numbers here.
    static std::optional<float> Parse(const QString& text);

    // The message shown for a field that does not hold a number.
    static const QString& NotANumberMessage();

    // Reads every field into its float if all of them hold numbers and returns true.
    // Otherwise changes none of the floats, shows the message (through SparvPrompts) over
    // dialog, selects the first offending field and returns false.
    static bool ReadAll(QWidget* dialog,
                        std::initializer_list<std::pair<FloatField*, float*>> fields);
};
