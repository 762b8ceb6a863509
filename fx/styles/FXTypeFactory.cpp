#include "definitions/FXTypeFactory.h"

#include "FXBeam.h"
#include "FXCombo.h"
#include "FXConditional.h"
#include "FXHyperspace.h"
#include "FXLensFlare.h"
#include "FXLight.h"
#include "FXRing.h"
#include "FXSpray.h"
#include "FXTrail.h"
#include "definitions/FXStyle.h"

std::shared_ptr<FXType> FXNewType(int style, const char* name) {
    switch (style) {
    case STYLE_SPRAY:
        return std::make_shared<FXTypeSpray>(name);
    case STYLE_RING:
        return std::make_shared<FXTypeRing>(name);
    case STYLE_BEAM:
        return std::make_shared<FXTypeBeam>(name);
    case STYLE_TRAIL:
        return std::make_shared<FXTypeTrail>(name);
    case STYLE_COMBO:
        return std::make_shared<FXTypeCombo>(name);
    case STYLE_CONDITIONAL:
        return std::make_shared<FXTypeConditional>(name);
    case STYLE_LIGHT:
        return std::make_shared<FXTypeLight>(name);
    case STYLE_HYPERSPACE:
        return std::make_shared<FXTypeHyperspace>(name);
    case STYLE_LENSFLARE:
        return std::make_shared<FXTypeLensFlare>(name);
    default:
        return nullptr;
    }
}

std::shared_ptr<FXType> FXBuildType(int style, const char* name, const FXPropertyList& properties) {
    std::shared_ptr<FXType> type = FXNewType(style, name);
    if (type)
        for (const FXProperty& property : properties)
            type->SetProperty(property.name.c_str(), property.value);
    return type;
}
