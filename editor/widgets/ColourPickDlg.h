#pragma once

// The colour picker panel of the colour editor, for the selected key: a hue-saturation
// field, a value strip, a preview swatch and R, G, B, H, S, V fields with arrows in the
// group "Colour"; an alpha strip and an A field with arrows in the group "Alpha".
//
// The picker holds its colour as hue, saturation and value (in its choosers) and alpha.
// The R to V fields take digits only (R, G, B, S, V, A count 0 to 255, H 0 to 360); a field
// that holds no number counts as 0, and numbers beyond the end of the scale are clamped.
// Typing in R, G or B leaves the other fields' text alone; picking in a chooser rewrites
// all seven fields.
//
// ColourChanged reports every change by the user, EditFinished the end of a user's edit
// (a chooser or an arrow released, a field left or Enter pressed), so the editor can make
// one undo step of it. SetColour reports nothing.

#include <QWidget>

class ColourWnd;
class HueSatChooser;
class QLineEdit;
class SpinArrows;
class ValueChooser;

class ColourPickDlg : public QWidget {
    Q_OBJECT

public:
    enum Field : int { kRed = 0, kGreen, kBlue, kHue, kSaturation, kValue, kAlpha, kFieldCount };

    explicit ColourPickDlg(QWidget* parent);

    // Shows the colour (components 0.0 to 1.0) in the choosers, the preview and all fields.
    void SetColour(float r, float g, float b, float a);
    // The colour shown: red, green and blue from hue, saturation and value; and alpha.
    void GetColour(float& r, float& g, float& b, float& a) const;

    QLineEdit* FieldEdit(Field field) const { return m_fields[field]; }
    SpinArrows* FieldArrows(Field field) const { return m_arrows[field]; }
    HueSatChooser* HueSaturation() const { return m_hueSaturation; }
    ValueChooser* ValueStrip() const { return m_value; }
    ValueChooser* AlphaStrip() const { return m_alpha; }
    ColourWnd* Preview() const { return m_preview; }

signals:
    void ColourChanged();
    void EditFinished();

private:
    void ChooserPicked();
    void FieldChanged(Field field);
    // The arrows' positions (and with them the fields' text) from a colour.
    void WriteFields(float r, float g, float b, float h, float s, float v, float a);
    void ShowHsv(float h, float s, float v);

    HueSatChooser* m_hueSaturation;
    ValueChooser* m_value;
    ValueChooser* m_alpha;
    ColourWnd* m_preview;
    QLineEdit* m_fields[kFieldCount];
    SpinArrows* m_arrows[kFieldCount];
    bool m_updating = false;
};
