#pragma once

// The options of sparv-fx that describe what the preview shows (seed, camera, grids,
// background, gravity, wind) and the number lists they are written as, shared by render,
// snapshot and bake.

#include "ToolSupport.h"
#include "review/FXReviewScene.h"

#include <optional>
#include <string>
#include <vector>

// A verb's own value options and those ReadSceneOptions reads, for ToolSyntax.
std::vector<std::string> WithSceneOptions(std::vector<std::string> verbOptions);

// Numbers separated by separator, exactly count of them, in the C locale's notation.
bool ParseNumberList(const std::string& text, char separator, size_t count,
                     std::vector<double>& out);
// One number; an absent option leaves out alone.
bool ParseNumberOption(const std::optional<std::string>& text, double& out);
// "WxH" into two whole numbers from 1 to 8192.
bool ParseSize(const std::string& text, int& width, int& height);

// Reads --seed, --camera YAW,PITCH,DISTANCE, --target X,Y,Z, --grid xz|xy|none,
// --background R,G,B, --gravity X,Y,Z and --wind X,Y,Z over scene; grid is the grid to
// use when --grid is absent, or none when --grid means something else to the verb (the
// grids are then off). False, with the problem, when a value is malformed.
bool ReadSceneOptions(const ToolArgs& args, const std::optional<std::string>& grid,
                      FXReviewScene& scene, std::string& problem);
