#pragma once

// Setting a type's properties in tests: plain values and constant curves, each of which
// the type must take.

#include "definitions/FXType.h"

#include <gtest/gtest.h>
#include <type_traits>
#include <vector>

// Sets a property (float, int, bool, Colour, string or a time-keyed array of floats,
// vectors or colours); the value must be taken.
template <typename T>
void SetProperty(FXType& type, const char* name, const T& value) {
    FXVariable variable;
    if constexpr (std::is_same_v<T, float>)
        variable.SetFloat(value);
    else if constexpr (std::is_same_v<T, int>)
        variable.SetInt(value);
    else if constexpr (std::is_same_v<T, bool>)
        variable.SetBool(value);
    else if constexpr (std::is_same_v<T, Colour>)
        variable.SetColour(value);
    else if constexpr (std::is_same_v<T, std::vector<TimeFloat>>)
        variable.SetArrayTimeFloat(value);
    else if constexpr (std::is_same_v<T, std::vector<TimeVector3>>)
        variable.SetArrayTimeVector3(value);
    else if constexpr (std::is_same_v<T, std::vector<TimeColour>>)
        variable.SetArrayTimeColour(value);
    else
        variable.SetString(value);
    EXPECT_TRUE(type.SetProperty(name, variable)) << name;
}

// Sets a time-keyed property to a constant (float, Vector3 or Colour).
template <typename T>
void SetConstantCurve(FXType& type, const char* name, const T& value) {
    FXVariable variable;
    if constexpr (std::is_same_v<T, float>)
        variable.SetArrayTimeFloat(std::vector<TimeFloat>{{0.0f, value}, {1.0f, value}});
    else if constexpr (std::is_same_v<T, Vector3>)
        variable.SetArrayTimeVector3(std::vector<TimeVector3>{{0.0f, value}, {1.0f, value}});
    else
        variable.SetArrayTimeColour(std::vector<TimeColour>{{0.0f, value}, {1.0f, value}});
    EXPECT_TRUE(type.SetProperty(name, variable)) << name;
}
