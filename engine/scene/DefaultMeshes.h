#pragma once

// The meshes a new sample library starts with, built in code so that their files come out
// the same bytes on every run and every machine.

#include "scene/Mesh.h"

#include <string>

// A unit cube centred at the origin: four vertices per face (24) with the face's outward
// normal and uvs (0, 0), (1, 0), (1, 1), (0, 1), two triangles per face (12), each turning
// anticlockwise seen from outside.
Mesh DefaultBoxMesh();

// A small pointed piece of debris, about a unit long along +Y: a flat-shaded double
// pyramid over an uneven pentagon, with uvs, its triangles turning anticlockwise seen from
// outside.
Mesh DefaultShardMesh();

// Writes "box.kmo" and "shard.kmo" into an existing folder (aliased or host). False
// (traced) when either cannot be written.
bool GenerateDefaultMeshes(const std::string& folder);
