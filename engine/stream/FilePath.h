#pragma once

#include <cstddef>
#include <memory>
#include <string>

// Aliased paths of the engine's stream library.
//
// An aliased path is "ALIAS:rest", for example "DATA:ART/FX/spark.lua". Alias names are
// case-insensitive. Each alias is bound to a source that maps the rest of the path to a
// host path: FilePathHD maps it below a folder of the working directory, FilePathHDRaw
// takes it as a host path unchanged.
//
// On Linux the host file system is case-sensitive while the engine's data come from
// case-insensitive ones: resolution accepts '\' as well as '/', and where a path
// component does not exist under its exact name, it is matched case-insensitively
// against the entries of its folder (the exact name wins; among other matches, the first
// in byte order). Components that do not exist at all are kept as written, so a path to a
// file about to be created resolves to the right folder. Repeated separators and "."
// components are dropped, ".." is kept literally, a trailing separator is kept.
//
// The alias table is filled at start-up. Conversions only read it: they may run on several
// threads, but not while aliases are added or removed.

// Where the rest of an aliased path lives on the host.
class FilePathSource {
public:
    virtual ~FilePathSource() = default;
    // Host path for the rest of an aliased path (separators not yet normalised).
    virtual std::string hostPath(const std::string& rest) const = 0;
    // The rest of an aliased path for a host path ('/' separated, relative to the working
    // directory or absolute), or false when the host path does not lie below this source.
    virtual bool aliasRest(const std::string& hostPath, std::string& rest) const = 0;
};

// A folder below the working directory, e.g. FilePathHD::Create("Data\\", 3).
class FilePathHD : public FilePathSource {
public:
    // folder: relative to the working directory, with '\' or '/' separators; id: the
    // engine's source number, kept for the caller.
    static FilePathSource* Create(const char* folder, int id);

    std::string hostPath(const std::string& rest) const override;
    bool aliasRest(const std::string& hostPath, std::string& rest) const override;
    int id() const { return m_id; }

private:
    FilePathHD(std::string folder, int id) : m_folder(std::move(folder)), m_id(id) {}
    std::string m_folder; // normalised, '/' separated, ends in '/' (empty: the working dir)
    int m_id;
};

// Host paths taken as they are.
class FilePathHDRaw : public FilePathSource {
public:
    std::string hostPath(const std::string& rest) const override;
    bool aliasRest(const std::string& hostPath, std::string& rest) const override;
};

namespace FilePath {

// Stream modes of ConvertFromAlias.
inline constexpr int kModeRelative = 1; // host path relative to the working directory
inline constexpr int kModeAbsolute = 2; // absolute host path

// Registers alias (case-insensitive) with a source; the alias table takes ownership of the
// source (also on failure). device and priority are kept for the caller. False when the
// alias is empty, contains ':', '/' or '\\', or is registered already, or the source is null.
bool AddAlias(const char* alias, const char* device, int priority, FilePathSource* source);

// Forgets every alias (start-up and tests).
void RemoveAllAliases();

// Converts an aliased path in place into a host path, resolved case-insensitively; mode
// is kModeRelative or kModeAbsolute. A path without an alias (no ':' before its first
// separator) is a host path and is resolved in the same way. False (and path unchanged) for
// an unknown alias or mode, or when the result does not fit in size bytes with its
// terminating zero.
bool ConvertFromAlias(char* path, size_t size, int mode);

// Converts a host path (relative to the working directory, or absolute below it) in place
// into an aliased path "ALIAS:rest" with the alias in upper case and '/' separators.
// The first alias (in registration order) whose source holds the path wins; a folder
// source does not hold a path that leaves it through "..". False (and path unchanged) when
// no alias holds it or the result does not fit.
bool ConvertToAlias(char* path, size_t size);

// std::string forms of the two conversions.
bool ConvertFromAlias(const std::string& aliased, std::string& host, int mode = kModeRelative);
bool ConvertToAlias(const std::string& host, std::string& aliased);

// Resolves a host path case-insensitively, component by component, as described above;
// '\' separators become '/'.
std::string ResolveHostPath(const std::string& hostPath);

} // namespace FilePath
