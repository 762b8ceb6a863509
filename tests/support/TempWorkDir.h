#pragma once

// A fresh working directory for one test: a temporary folder made the process's working
// directory, with the engine's path aliases ("data", "log", "bin", "tool") registered as
// the editor does at start-up. Everything is undone on destruction.

#include "stream/FilePath.h"
#include "stream/StandardAliases.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

// The bytes of a file ("" when it cannot be read).
inline std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class TempWorkDir {
public:
    TempWorkDir() {
        m_previous = std::filesystem::current_path();
        std::random_device device;
        m_root = std::filesystem::temp_directory_path() /
                 ("sparv-test-" + std::to_string(device()) + "-" + std::to_string(device()));
        std::filesystem::create_directories(m_root);
        std::filesystem::current_path(m_root);
        FilePath::RemoveAllAliases();
        AddStandardAliases();
    }
    ~TempWorkDir() {
        FilePath::RemoveAllAliases();
        std::error_code ignored;
        std::filesystem::current_path(m_previous, ignored);
        std::filesystem::remove_all(m_root, ignored);
    }
    TempWorkDir(const TempWorkDir&) = delete;
    TempWorkDir& operator=(const TempWorkDir&) = delete;

    const std::filesystem::path& root() const { return m_root; }

    // Writes a file below the working directory, creating its folders.
    void write(const std::string& relative, const std::string& content) const {
        const auto path = m_root / relative;
        std::filesystem::create_directories(path.parent_path());
        std::ofstream out(path, std::ios::binary);
        out << content;
    }

    std::string read(const std::string& relative) const { return ReadFile(m_root / relative); }

    // The names in a folder below the working directory, sorted.
    std::vector<std::string> list(const std::string& relative = ".") const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(m_root / relative))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    // Copies the sample library's Data folder here, for tests that run or change it.
    void copySamples() const {
        std::filesystem::copy(std::filesystem::path(SPARV_SAMPLES) / "Data", m_root / "Data",
                              std::filesystem::copy_options::recursive);
    }

private:
    std::filesystem::path m_previous;
    std::filesystem::path m_root;
};
