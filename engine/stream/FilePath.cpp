#include "stream/FilePath.h"

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string_view>
#include <system_error>
#include <utility>
#include <vector>

namespace fs = std::filesystem;

namespace {

char lowerAscii(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

char upperAscii(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

// Equality ignoring ASCII case; other bytes (UTF-8 sequences) must match exactly.
bool equalsIgnoreCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return lowerAscii(x) == lowerAscii(y);
           });
}

bool isSeparator(char c) {
    return c == '/' || c == '\\';
}

// A host path taken apart: '\' and '/' both separate, empty and "." components are dropped,
// ".." is kept literally (folding it would be wrong below a symbolic link).
struct PathParts {
    bool absolute = false;
    bool trailingSeparator = false;
    std::vector<std::string_view> components;
};

PathParts splitPath(std::string_view path) {
    PathParts parts;
    parts.absolute = !path.empty() && isSeparator(path.front());
    parts.trailingSeparator = !path.empty() && isSeparator(path.back());
    size_t start = 0;
    while (start < path.size()) {
        size_t end = start;
        while (end < path.size() && !isSeparator(path[end]))
            ++end;
        const std::string_view component = path.substr(start, end - start);
        if (!component.empty() && component != ".")
            parts.components.push_back(component);
        start = end + 1;
    }
    return parts;
}

std::string joinPath(bool absolute, const std::vector<std::string_view>& components,
                     bool trailingSeparator) {
    std::string joined = absolute ? "/" : "";
    for (size_t i = 0; i < components.size(); ++i) {
        if (i > 0)
            joined += '/';
        joined += components[i];
    }
    if (trailingSeparator && !components.empty())
        joined += '/';
    return joined;
}

// The normal form every conversion works on: '/' separators, no repeated separators, no "."
// components, a trailing separator kept. The working directory itself is "." (an empty input
// stays empty).
std::string normalisePath(std::string_view path) {
    const PathParts parts = splitPath(path);
    std::string normal = joinPath(parts.absolute, parts.components, parts.trailingSeparator);
    if (normal.empty() && !path.empty())
        normal = ".";
    return normal;
}

// Whether a directory entry of this name exists; a dangling symbolic link counts, since its
// name is taken.
bool entryExists(const std::string& path) {
    std::error_code error;
    return fs::exists(fs::symlink_status(path, error));
}

// The entry of folder whose name equals name ignoring ASCII case, the first in byte order so
// that the choice does not depend on the order of the directory. Empty when none matches or
// the folder cannot be read.
std::string findIgnoringCase(const std::string& folder, std::string_view name) {
    std::string found;
    std::error_code error;
    fs::directory_iterator it(folder, error);
    for (; !error && it != fs::directory_iterator(); it.increment(error)) {
        std::string entry = it->path().filename().string();
        if (equalsIgnoreCase(entry, name) && (found.empty() || entry < found))
            found = std::move(entry);
    }
    return found;
}

// Resolves the components of a normalised path one by one (see ResolveHostPath).
std::string resolveComponents(const PathParts& parts) {
    std::string resolved = parts.absolute ? "/" : "";
    bool matching = true; // false once a component was not found: nothing below it exists
    for (size_t i = 0; i < parts.components.size(); ++i) {
        const std::string_view component = parts.components[i];
        const size_t folderLength = resolved.size();
        if (i > 0)
            resolved += '/';
        resolved += component;
        if (!matching || entryExists(resolved))
            continue;

        std::string folder = resolved.substr(0, folderLength);
        if (folder.empty())
            folder = ".";
        std::string match = findIgnoringCase(folder, component);
        if (match.empty()) {
            matching = false;
            continue;
        }
        resolved.resize(resolved.size() - component.size());
        resolved += match;
    }
    if (parts.trailingSeparator && !parts.components.empty())
        resolved += '/';
    return resolved;
}

// The working directory with '/' separators, or empty when it cannot be determined (for
// example when it was removed).
std::string workingDirectory() {
    std::error_code error;
    const fs::path current = fs::current_path(error);
    if (error)
        return {};
    return normalisePath(current.generic_string());
}

// A host path relative to the working directory when it is an absolute path below it,
// otherwise the normalised path itself.
std::string relativeToWorkingDirectory(const std::string& hostPath) {
    std::string normal = normalisePath(hostPath);
    if (normal.empty() || normal.front() != '/')
        return normal;
    const std::string cwd = workingDirectory();
    if (cwd.empty())
        return normal;
    const PathParts cwdParts = splitPath(cwd);
    const PathParts pathParts = splitPath(normal);
    if (pathParts.components.size() < cwdParts.components.size() ||
        !std::equal(cwdParts.components.begin(), cwdParts.components.end(),
                    pathParts.components.begin()))
        return normal;
    const std::vector<std::string_view> below(
        pathParts.components.begin() + static_cast<std::ptrdiff_t>(cwdParts.components.size()),
        pathParts.components.end());
    std::string relative = joinPath(false, below, pathParts.trailingSeparator);
    return relative.empty() ? "." : relative;
}

struct AliasEntry {
    std::string name; // as registered; looked up ignoring case
    std::string device;
    int priority;
    std::unique_ptr<FilePathSource> source;
};

// The alias table in registration order. It is filled at start-up; conversions only read it,
// so they may run on several threads as long as no alias is added or removed meanwhile.
std::vector<AliasEntry>& aliasTable() {
    static std::vector<AliasEntry> table;
    return table;
}

const AliasEntry* findAlias(std::string_view name) {
    for (const AliasEntry& entry : aliasTable())
        if (equalsIgnoreCase(entry.name, name))
            return &entry;
    return nullptr;
}

// Copies text with its terminating zero into a buffer of size bytes, if it fits.
bool copyToBuffer(const std::string& text, char* buffer, size_t size) {
    if (text.size() + 1 > size)
        return false;
    std::memcpy(buffer, text.c_str(), text.size() + 1);
    return true;
}

// The C string in a buffer of size bytes, or false when the buffer holds no terminated string.
bool readBuffer(const char* buffer, size_t size, std::string& text) {
    if (!buffer || size == 0)
        return false;
    const size_t length = strnlen(buffer, size);
    if (length == size)
        return false;
    text.assign(buffer, length);
    return true;
}

} // namespace

FilePathSource* FilePathHD::Create(const char* folder, int id) {
    std::string normal = normalisePath(folder ? folder : "");
    if (normal == ".")
        normal.clear();
    else if (!normal.empty() && normal.back() != '/')
        normal += '/';
    return new FilePathHD(std::move(normal), id);
}

std::string FilePathHD::hostPath(const std::string& rest) const {
    // The rest always lies below the folder, even when written with a leading separator.
    const size_t start = rest.find_first_not_of("/\\");
    return start == std::string::npos ? m_folder : m_folder + rest.substr(start);
}

bool FilePathHD::aliasRest(const std::string& hostPath, std::string& rest) const {
    const PathParts folderParts = splitPath(m_folder);
    const PathParts pathParts = splitPath(hostPath);
    if (folderParts.absolute != pathParts.absolute ||
        pathParts.components.size() < folderParts.components.size() ||
        !std::equal(folderParts.components.begin(), folderParts.components.end(),
                    pathParts.components.begin(), equalsIgnoreCase))
        return false;
    const std::vector<std::string_view> below(
        pathParts.components.begin() + static_cast<std::ptrdiff_t>(folderParts.components.size()),
        pathParts.components.end());
    // "Data/../Bin/x" starts with the folder but does not lie below it.
    if (std::find(below.begin(), below.end(), "..") != below.end())
        return false;
    rest = joinPath(false, below, pathParts.trailingSeparator);
    return true;
}

std::string FilePathHDRaw::hostPath(const std::string& rest) const {
    return rest;
}

bool FilePathHDRaw::aliasRest(const std::string& hostPath, std::string& rest) const {
    rest = normalisePath(hostPath);
    return true;
}

namespace FilePath {

bool AddAlias(const char* alias, const char* device, int priority, FilePathSource* source) {
    std::unique_ptr<FilePathSource> owned(source);
    if (!owned || !alias || *alias == '\0')
        return false;
    const std::string_view name(alias);
    // A separator in the name would make "name:rest" read as a plain host path.
    if (name.find_first_of(":/\\") != std::string_view::npos || findAlias(name))
        return false;
    aliasTable().push_back({std::string(name), device ? device : "", priority, std::move(owned)});
    return true;
}

void RemoveAllAliases() {
    aliasTable().clear();
}

bool ConvertFromAlias(const std::string& aliased, std::string& host, int mode) {
    if (mode != kModeRelative && mode != kModeAbsolute)
        return false;

    std::string hostPath;
    const size_t colon = aliased.find(':');
    const size_t separator = aliased.find_first_of("/\\");
    if (colon != std::string::npos && colon < separator) {
        const AliasEntry* entry = findAlias(std::string_view(aliased).substr(0, colon));
        if (!entry)
            return false;
        hostPath = entry->source->hostPath(aliased.substr(colon + 1));
    } else {
        hostPath = aliased;
    }

    std::string resolved = ResolveHostPath(hostPath);
    if (resolved.empty()) // an empty rest of a raw alias: the working directory
        resolved = ".";
    if (mode == kModeAbsolute && resolved.front() != '/') {
        const std::string cwd = workingDirectory();
        if (cwd.empty())
            return false;
        if (resolved == ".")
            resolved = cwd;
        else
            resolved = (cwd == "/" ? cwd : cwd + '/') + resolved;
    }
    host = std::move(resolved);
    return true;
}

bool ConvertFromAlias(char* path, size_t size, int mode) {
    std::string aliased;
    std::string host;
    return readBuffer(path, size, aliased) && ConvertFromAlias(aliased, host, mode) &&
           copyToBuffer(host, path, size);
}

bool ConvertToAlias(const std::string& host, std::string& aliased) {
    const std::string hostPath = relativeToWorkingDirectory(host);
    for (const AliasEntry& entry : aliasTable()) {
        std::string rest;
        if (!entry.source->aliasRest(hostPath, rest))
            continue;
        std::string name = entry.name;
        std::transform(name.begin(), name.end(), name.begin(), upperAscii);
        aliased = name + ':' + rest;
        return true;
    }
    return false;
}

bool ConvertToAlias(char* path, size_t size) {
    std::string host;
    std::string aliased;
    return readBuffer(path, size, host) && ConvertToAlias(host, aliased) &&
           copyToBuffer(aliased, path, size);
}

std::string ResolveHostPath(const std::string& hostPath) {
    std::string normal = normalisePath(hostPath);
    // The common case: the path exists as written, and one stat settles it.
    if (normal.empty() || normal == "." || entryExists(normal))
        return normal;
    return resolveComponents(splitPath(normal));
}

} // namespace FilePath
