#pragma once

// The textures the sample effects draw with, made procedurally so that every asset in the
// repository comes from our own tools. The output is the same byte for byte on every
// machine: the pixels are computed with +, -, ×, / and square roots of doubles (rounded
// the same everywhere) and a fixed integer hash in place of random numbers.
//
// Files (uncompressed 32-bit TGA, alpha included):
//   point.tga         64 × 64   soft round dot
//   flare_glow.tga    64 × 64   wide glow with a bright core
//   flare_ring.tga    64 × 64   thin halo ring
//   flare_streak.tga  128 × 32  horizontal streak
//   smoke.tga         64 × 64   soft, noisy puff
//   spark.tga         32 × 8    small bright streak
//   fire_sheet.tga    256 × 256 flip-book of 4 × 4 flame frames of 64 × 64, looping
//   fire.anim         the animation of fire_sheet.tga at 15 frames per second
//
// Colours fade with the alpha, so the sprites look right with additive blending as well as
// with alpha blending. fire.anim names its sheet as "Data:art/fx/fire_sheet.tga", where the
// samples keep these files.

#include <string>
#include <vector>

// Writes the files into folder (an aliased or host path), creating it if need be. False
// (traced) when a file cannot be written.
bool GenerateDefaultTextures(const std::string& folder);

// The names of the files GenerateDefaultTextures writes, in the order it writes them.
const std::vector<std::string>& DefaultTextureFiles();
