#pragma once

// The engine's random numbers: a seedable 15-bit generator with the contract of the C
// library's rand/srand (results 0 to 32767), the same on every machine. Every random
// draw of the FX runtime goes through it, so seeding makes a run repeat exactly.
//
// state = state * 214013 + 2531011; result = (state >> 16) & 0x7FFF.

#include <cstdint>

inline constexpr int kRandomMax = 32767;

// Restarts the sequence; a seed of 0 gives the same run as any other fixed seed would,
// on every machine.
void RandomSeed(uint32_t seed);

// The next number, 0 to kRandomMax.
int RandomNext();

// Where the sequence stands: RandomSeed(RandomState()) later goes on from here. Lets a
// program that runs several independent simulations give each its own sequence.
uint32_t RandomState();
