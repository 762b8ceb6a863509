#include "FXConditional.h"

#include "FXChildTypes.h"
#include "definitions/FXStyle.h"

FXTypeConditional::FXTypeConditional(const char* name) : FXType(name) {
    AddString("Fx1", "", &m_fx1, "");
    AddString("Fx2", "", &m_fx2, "");
}

int FXTypeConditional::GetStyle() const {
    return STYLE_CONDITIONAL;
}

float FXTypeConditional::GetDuration() const {
    const FXDurationGuard guard(this);
    if (!guard.Entered())
        return 0.0f;
    float duration = 0.5f;
    for (const std::string* name : {&m_fx1, &m_fx2})
        if (const FXType* child = FXFindChildType(*name)) {
            const float childDuration = child->GetDuration();
            if (childDuration > duration)
                duration = childDuration;
        }
    return duration;
}

bool FXTypeConditional::Prepare() {
    FXPrepareChildType(m_fx1);
    FXPrepareChildType(m_fx2);
    return true;
}

void FXTypeConditional::GetChildTypes(std::vector<std::string>& list) const {
    list.clear();
    for (const std::string* name : {&m_fx1, &m_fx2})
        if (!name->empty())
            list.push_back(*name);
}
