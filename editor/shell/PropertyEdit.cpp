#include "shell/PropertyEdit.h"

#include <algorithm>
#include <vector>

namespace {

// Replaces element key (every element for AllKeys) of a copy of elements.
template <typename T>
bool ReplaceElements(std::span<const T> current, const PropertyEdit& edit, const T& value,
                     FXVariable& out, void (FXVariable::*set)(std::span<const T>),
                     QString* reason) {
    std::vector<T> elements(current.begin(), current.end());
    if (edit.scope == PropertyEdit::Scope::AllKeys) {
        std::fill(elements.begin(), elements.end(), value);
    } else if (edit.key < 0) {
        if (reason)
            *reason = QStringLiteral("no key is selected on the time bar");
        return false;
    } else if (static_cast<size_t>(edit.key) >= elements.size()) {
        if (reason)
            *reason = QStringLiteral("the array has no key %1").arg(edit.key);
        return false;
    } else {
        elements[static_cast<size_t>(edit.key)] = value;
    }
    (out.*set)(elements);
    return true;
}

void WrongKind(QString* reason) {
    if (reason)
        *reason = QStringLiteral("not a valid value");
}

} // namespace

bool IsPlainArrayKind(VarType kind) {
    return kind == VARTYPE_ARRAY_FLOAT || kind == VARTYPE_ARRAY_VECTOR3 ||
           kind == VARTYPE_ARRAY_COLOUR;
}

bool ResolvePropertyEdit(const FXVariable& current, const PropertyEdit& edit, FXVariable& out,
                         QString* reason) {
    if (edit.scope == PropertyEdit::Scope::Whole || !IsPlainArrayKind(current.GetType())) {
        if (edit.value.GetType() != current.GetType()) {
            WrongKind(reason);
            return false;
        }
        out = edit.value;
        return true;
    }
    switch (current.GetType()) {
    case VARTYPE_ARRAY_FLOAT:
        if (edit.value.GetType() == VARTYPE_FLOAT)
            return ReplaceElements<float>(current.Floats(), edit, edit.value.GetFloat(), out,
                                          &FXVariable::SetArrayFloat, reason);
        break;
    case VARTYPE_ARRAY_VECTOR3:
        if (Vector3 element; edit.value.GetVector3(element))
            return ReplaceElements<Vector3>(current.Vector3s(), edit, element, out,
                                            &FXVariable::SetArrayVector3, reason);
        break;
    case VARTYPE_ARRAY_COLOUR:
        if (Colour element; edit.value.GetColour(element))
            return ReplaceElements<Colour>(current.Colours(), edit, element, out,
                                           &FXVariable::SetArrayColour, reason);
        break;
    default:
        break;
    }
    WrongKind(reason);
    return false;
}

bool PlainArrayElement(const FXVariable& array, int index, FXVariable& out) {
    if (index < 0 || static_cast<uint32_t>(index) >= array.Count())
        return false;
    const auto at = static_cast<size_t>(index);
    switch (array.GetType()) {
    case VARTYPE_ARRAY_FLOAT:
        out.SetFloat(array.Floats()[at]);
        return true;
    case VARTYPE_ARRAY_VECTOR3:
        out.SetVector3(array.Vector3s()[at]);
        return true;
    case VARTYPE_ARRAY_COLOUR:
        out.SetColour(array.Colours()[at]);
        return true;
    default:
        return false;
    }
}
