#include "FXCombo.h"

#include "FXChildTypes.h"
#include "definitions/FXStyle.h"

FXTypeCombo::FXTypeCombo(const char* name) : FXType(name) {
    // The first two names are in mixed case, the others in capitals, as the files have
    // them.
    static constexpr std::array<const char*, kChildCount> kNames = {"Fx1", "Fx2", "FX3", "FX4",
                                                                    "FX5", "FX6", "FX7", "FX8"};
    for (size_t i = 0; i < kNames.size(); ++i)
        AddString(kNames[i], "", &m_fx[i], "");
}

int FXTypeCombo::GetStyle() const {
    return STYLE_COMBO;
}

float FXTypeCombo::GetDuration() const {
    const FXDurationGuard guard(this);
    if (!guard.Entered())
        return 0.0f;
    float duration = 0.5f;
    for (const std::string& name : m_fx)
        if (const FXType* child = FXFindChildType(name)) {
            const float childDuration = child->GetDuration();
            if (childDuration > duration)
                duration = childDuration;
        }
    return duration;
}

bool FXTypeCombo::Prepare() {
    for (const std::string& name : m_fx)
        FXPrepareChildType(name);
    return true;
}

void FXTypeCombo::GetChildTypes(std::vector<std::string>& list) const {
    list.clear();
    for (const std::string& name : m_fx)
        if (!name.empty())
            list.push_back(name);
}
