#pragma once

// One change of one property of one FX type of the document, as every part of the editor
// hands it to the document (SparvDoc::Edit), the only way anything changes a type.
//
// The scope says how much of the value the change covers. For the plain arrays
// (VARTYPE_ARRAY_FLOAT, VARTYPE_ARRAY_VECTOR3, VARTYPE_ARRAY_COLOUR) the value is one
// element (VARTYPE_FLOAT, VARTYPE_VECTOR3, VARTYPE_COLOUR) written at one key or at every
// key; for every other kind a key scope means the whole value.

#include "definitions/FXVariable.h"

#include <QString>
#include <string>

struct PropertyEdit {
    enum class Scope {
        Whole,   // value replaces the property's value
        Key,     // value replaces element key of a plain array
        AllKeys, // value replaces every element of a plain array
    };

    int typeIndex = -1; // index in the document's list of types
    std::string name;   // property name, case-sensitive
    FXVariable value;
    Scope scope = Scope::Whole;
    int key = -1; // element index for Scope::Key; -1: no current key

    static PropertyEdit Whole(int typeIndex, std::string name, const FXVariable& value) {
        return {typeIndex, std::move(name), value, Scope::Whole, -1};
    }
};

// Whether a kind is a plain array, whose elements the property panel edits one at a time.
bool IsPlainArrayKind(VarType kind);

// The value a property takes under an edit, given its current value: the edit's value for
// the whole scope, or the current array with the element(s) replaced. False, with a reason
// fit for the status line, when the edit cannot apply: no current key, a key out of range,
// or an element of another kind (an empty value is what a sub-editor hands on for text that
// is not a number).
bool ResolvePropertyEdit(const FXVariable& current, const PropertyEdit& edit, FXVariable& out,
                         QString* reason = nullptr);

// A plain array's element at index as a value of the element's kind; false when current is
// not a plain array or index is out of range.
bool PlainArrayElement(const FXVariable& array, int index, FXVariable& out);
