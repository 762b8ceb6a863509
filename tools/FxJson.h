#pragma once

#include "Json.h"
#include "definitions/FXVariable.h"

// Writes a property value in the tools' JSON form: FLOAT and INT as numbers, BOOL as
// true/false, VECTOR3 as [x, y, z], COLOUR as [r, g, b, a], STRING as a string, plain
// arrays as arrays of those, time-keyed arrays as arrays of [t, ...value] rows; an empty
// variable as null.
void WriteVariableJson(JsonWriter& json, const FXVariable& value);
