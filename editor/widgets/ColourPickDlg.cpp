#include "widgets/ColourPickDlg.h"

#include "scene/HSVConversion.h"
#include "widgets/ColourWnd.h"
#include "widgets/HueSatChooser.h"
#include "widgets/SpinArrows.h"
#include "widgets/ValueChooser.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRegularExpressionValidator>
#include <algorithm>

namespace {

struct FieldPlace {
    const char* label;
    const char* name;
    int maximum;
    int x;
    int y;
};

// Where each field sits (the alpha field in its own group), and the top of its scale.
constexpr FieldPlace kPlaces[ColourPickDlg::kFieldCount] = {
    {"R:", "red", 255, 250, 22},  {"G:", "green", 255, 250, 54},      {"B:", "blue", 255, 250, 86},
    {"H:", "hue", 360, 334, 22},  {"S:", "saturation", 255, 334, 54}, {"V:", "value", 255, 334, 86},
    {"A:", "alpha", 255, 36, 22},
};

constexpr int kFieldHeight = 24;

int Scaled(float component, int scale) {
    return static_cast<int>(component * static_cast<float>(scale));
}

} // namespace

ColourPickDlg::ColourPickDlg(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("ColourPickDlg"));
    auto* colour = new QGroupBox(QStringLiteral("Colour"), this);
    colour->setGeometry(4, 0, 420, 148);
    auto* alpha = new QGroupBox(QStringLiteral("Alpha"), this);
    alpha->setGeometry(428, 0, 112, 148);

    m_hueSaturation = new HueSatChooser(colour);
    m_hueSaturation->setGeometry(10, 22, 160, 116);
    m_value = new ValueChooser(colour);
    m_value->setObjectName(QStringLiteral("valueStrip"));
    m_value->setGeometry(178, 22, 16, 116);
    m_preview = new ColourWnd(colour);
    m_preview->setGeometry(202, 22, 36, 116);
    m_alpha = new ValueChooser(alpha);
    m_alpha->setObjectName(QStringLiteral("alphaStrip"));
    m_alpha->setGeometry(10, 22, 16, 116);

    const auto digits =
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("\\d*")), this);
    for (int i = 0; i < kFieldCount; ++i) {
        const FieldPlace& place = kPlaces[i];
        QWidget* group = i == kAlpha ? alpha : colour;
        auto* label = new QLabel(QString::fromLatin1(place.label), group);
        label->setGeometry(place.x, place.y, 16, kFieldHeight);
        auto* edit = new QLineEdit(group);
        edit->setObjectName(QString::fromLatin1(place.name));
        edit->setGeometry(place.x + 16, place.y, 46, kFieldHeight);
        if (i != kAlpha)
            edit->setValidator(digits);
        auto* arrows = new SpinArrows(edit, group);
        arrows->setGeometry(place.x + 62, place.y, 14, kFieldHeight);
        arrows->SetRange(0, place.maximum);
        m_fields[i] = edit;
        m_arrows[i] = arrows;
        const auto field = static_cast<Field>(i);
        connect(edit, &QLineEdit::textChanged, this, [this, field] { FieldChanged(field); });
        connect(edit, &QLineEdit::editingFinished, this, &ColourPickDlg::EditFinished);
        connect(arrows, &SpinArrows::Released, this, &ColourPickDlg::EditFinished);
    }

    connect(m_hueSaturation, &HueSatChooser::Released, this, &ColourPickDlg::EditFinished);
    connect(m_value, &ValueChooser::Released, this, &ColourPickDlg::EditFinished);
    connect(m_alpha, &ValueChooser::Released, this, &ColourPickDlg::EditFinished);
    connect(m_hueSaturation, &HueSatChooser::Picked, this, &ColourPickDlg::ChooserPicked);
    connect(m_value, &ValueChooser::Picked, this, &ColourPickDlg::ChooserPicked);
    connect(m_alpha, &ValueChooser::Picked, this, &ColourPickDlg::ChooserPicked);

    setMinimumSize(544, 150);
    SetColour(1.0f, 1.0f, 1.0f, 1.0f);
}

void ColourPickDlg::SetColour(float r, float g, float b, float a) {
    float h = 0.0f, s = 0.0f, v = 0.0f;
    HSVConversion::RGBToHSV(r, g, b, h, s, v);
    m_hueSaturation->SetHueSaturation(h, s);
    m_value->SetValue(v);
    m_alpha->SetValue(a);
    m_preview->SetHsv(h, s, v);
    WriteFields(r, g, b, h, s, v, a);
}

void ColourPickDlg::GetColour(float& r, float& g, float& b, float& a) const {
    HSVConversion::HSVToRGB(m_hueSaturation->Hue(), m_hueSaturation->Saturation(), m_value->Value(),
                            r, g, b);
    a = m_alpha->Value();
}

void ColourPickDlg::WriteFields(float r, float g, float b, float h, float s, float v, float a) {
    m_updating = true;
    const int positions[kFieldCount] = {Scaled(r, 255), Scaled(g, 255), Scaled(b, 255),
                                        Scaled(h, 360), Scaled(s, 255), Scaled(v, 255),
                                        Scaled(a, 255)};
    for (int i = 0; i < kFieldCount; ++i) {
        m_arrows[i]->SetRange(0, kPlaces[i].maximum);
        m_arrows[i]->SetPosition(positions[i]);
    }
    m_updating = false;
}

void ColourPickDlg::ShowHsv(float h, float s, float v) {
    m_hueSaturation->SetHueSaturation(h, s);
    m_value->SetValue(v);
    m_preview->SetHsv(h, s, v);
}

void ColourPickDlg::ChooserPicked() {
    const float h = m_hueSaturation->Hue();
    const float s = m_hueSaturation->Saturation();
    const float v = m_value->Value();
    m_preview->SetHsv(h, s, v);
    float r = 0.0f, g = 0.0f, b = 0.0f;
    HSVConversion::HSVToRGB(h, s, v, r, g, b);
    WriteFields(r, g, b, h, s, v, m_alpha->Value());
    emit ColourChanged();
}

void ColourPickDlg::FieldChanged(Field field) {
    if (m_updating)
        return;
    bool isNumber = false;
    const int number = m_fields[field]->text().trimmed().toInt(&isNumber);
    const float typed = isNumber ? static_cast<float>(number) : 0.0f;
    float h = m_hueSaturation->Hue();
    float s = m_hueSaturation->Saturation();
    float v = m_value->Value();
    switch (field) {
    case kRed:
    case kGreen:
    case kBlue: {
        float rgb[3] = {0.0f, 0.0f, 0.0f};
        HSVConversion::HSVToRGB(h, s, v, rgb[0], rgb[1], rgb[2]);
        rgb[field - kRed] = typed / 255.0f;
        for (float& component : rgb)
            component = std::clamp(component, 0.0f, 1.0f);
        HSVConversion::RGBToHSV(rgb[0], rgb[1], rgb[2], h, s, v);
        ShowHsv(h, s, v);
        break;
    }
    case kHue:
        ShowHsv(std::clamp(typed / 360.0f, 0.0f, 1.0f), s, v);
        break;
    case kSaturation:
        ShowHsv(h, std::clamp(typed / 255.0f, 0.0f, 1.0f), v);
        break;
    case kValue:
        ShowHsv(h, s, std::clamp(typed / 255.0f, 0.0f, 1.0f));
        break;
    default:
        m_alpha->SetValue(std::clamp(typed / 255.0f, 0.0f, 1.0f));
        break;
    }
    emit ColourChanged();
}
