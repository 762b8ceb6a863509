#pragma once

// Importing Wavefront OBJ meshes.

#include <string>

class Mesh;

// Reads an OBJ file at an aliased or host path into out (replacing what it held): the
// statements "v" (x y z, further numbers ignored), "vt" (u [v [w]], v defaults to 0, w is
// ignored), "vn" (x y z) and "f" with vertices written v, v/vt, v//vn or v/vt/vn. Indices
// count from 1; negative ones count back from the last element read so far. Polygons
// become fans of triangles around their first vertex. Each distinct (v, vt, vn) triple
// becomes one mesh vertex, in order of first use. The mesh has uvs (normals) when face
// vertices name texture coordinates (normals); then all of them must. Other statements
// (o, g, s, usemtl, mtllib, l, p, ...) and comments are ignored; the scale is 1.0.
//
// False, with the reason in error ("line 12: ..." for a malformed line), when the file
// cannot be read, a line is malformed (too few or unreadable numbers, an index of 0 or
// past what was read, a face of fewer than three vertices) or there is no face.
bool ImportObj(const std::string& objPath, Mesh& out, std::string& error);
