#pragma once

// The factory of FX types: the type class of each style. The registry builds every type it
// loads through it; it is defined with the styles (styles/FXTypeFactory.cpp), the one
// place that knows every style's class, so that the definitions include nothing above
// them.

#include "definitions/FXType.h"

#include <memory>

// A new type of the style (0 to 8) with the given name and its style's defaults; null
// for any other style index.
std::shared_ptr<FXType> FXNewType(int style, const char* name);

// A type of the style named name, with its style's defaults overridden by the values of
// an FX file's properties (unknown names, wrong kinds and refused values keep the
// default); null for an impossible style.
std::shared_ptr<FXType> FXBuildType(int style, const char* name, const FXPropertyList& properties);
