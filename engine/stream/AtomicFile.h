#pragma once

// Writing a whole file so that it is either all there or not changed at all.

#include <cstddef>
#include <string>

// Writes size bytes to a temporary file beside hostPath and renames it over hostPath; the
// new file keeps the permissions of the one it replaces. False, with a reason in error,
// when anything fails: the old file is then intact and the temporary file removed. sync:
// the file and its folder reach the disk before it returns (AtomicFileWriter's durable).
bool WriteFileAtomically(const std::string& hostPath, const void* data, size_t size,
                         std::string& error, bool sync = false);
