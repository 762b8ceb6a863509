#pragma once

// Edits a colour in four text boxes R, G, B and A (each 0 to 1) beside a swatch of the
// colour; a click on the swatch opens the colour chooser, whose choice applies at once.

#include "widgets/SparvPropSub.h"

#include <QColor>
#include <array>
#include <optional>

class SparvPropSubColour : public SparvPropSub {
    Q_OBJECT

public:
    explicit SparvPropSubColour(QWidget* parent);
    void SetValue(const FXVariable& value) override;
    void GetValue(FXVariable& out) const override;
    // The colour chooser, as a click on the swatch opens it.
    void ChooseColour();

    // The swatch's colour: each component times 255, truncated.
    QColor SwatchColour() const { return m_swatchColour; }
    QWidget* Swatch() const { return m_swatch; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The four components if each parses and lies in 0 to 1.
    std::optional<Colour> Parsed() const;
    void ShowColour(const Colour& colour);

    std::array<QLineEdit*, 4> m_boxes;
    QWidget* m_swatch;
    QColor m_swatchColour = Qt::white;
};
