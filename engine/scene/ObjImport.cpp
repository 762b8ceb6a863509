#include "scene/ObjImport.h"

#include "scene/Mesh.h"
#include "stream/FilePath.h"

#include <cerrno>
#include <charconv>
#include <cmath>
#include <cstring>
#include <fstream>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace {

constexpr uint32_t kNone = UINT32_MAX;

// One face vertex as indices into what was read: position, uv, normal (kNone: not given).
struct Corner {
    uint32_t position = kNone;
    uint32_t uv = kNone;
    uint32_t normal = kNone;
    bool operator==(const Corner&) const = default;
};

struct CornerHash {
    size_t operator()(const Corner& c) const {
        uint64_t h = c.position;
        h = h * 0x9E3779B97F4A7C15ull ^ c.uv;
        h = h * 0x9E3779B97F4A7C15ull ^ c.normal;
        return static_cast<size_t>(h ^ h >> 29);
    }
};

std::vector<std::string_view> Tokens(std::string_view line) {
    std::vector<std::string_view> tokens;
    size_t at = 0;
    while (at < line.size()) {
        while (at < line.size() && (line[at] == ' ' || line[at] == '\t'))
            ++at;
        const size_t start = at;
        while (at < line.size() && line[at] != ' ' && line[at] != '\t')
            ++at;
        if (at > start)
            tokens.push_back(line.substr(start, at - start));
    }
    return tokens;
}

// A whole token as a finite float, locale-free.
bool ParseFloat(std::string_view token, float& value) {
    if (!token.empty() && token.front() == '+')
        token.remove_prefix(1);
    const char* end = token.data() + token.size();
    const auto result = std::from_chars(token.data(), end, value);
    return result.ec == std::errc() && result.ptr == end && std::isfinite(value);
}

class ObjReader {
public:
    explicit ObjReader(Mesh& out) : m_out(out) {}

    // Reads one statement (comments already removed); false with the reason in m_error.
    bool statement(std::string_view text) {
        const std::vector<std::string_view> tokens = Tokens(text);
        if (tokens.empty())
            return true;
        const std::string_view keyword = tokens[0];
        if (keyword == "v")
            return vector(tokens, "v", 3, 0, m_positions);
        if (keyword == "vn")
            return vector(tokens, "vn", 3, 3, m_normals);
        if (keyword == "vt")
            return uv(tokens);
        if (keyword == "f")
            return face(tokens);
        return true;
    }

    bool finish() {
        if (m_out.indices.empty())
            return failText("no faces");
        return true;
    }

    const std::string& error() const { return m_error; }

private:
    bool failText(std::string text) {
        m_error = std::move(text);
        return false;
    }
    bool fail(std::string_view token, const std::string& text) {
        return failText("'" + std::string(token) + "' " + text);
    }

    // "v" and "vn": at least three numbers (exactly three when most is 3).
    bool vector(const std::vector<std::string_view>& tokens, const char* keyword, size_t least,
                size_t most, std::vector<Vector3>& into) {
        const size_t count = tokens.size() - 1;
        if (count < least || (most && count > most)) {
            return failText(std::string(keyword) + " needs " + std::to_string(least) +
                            " numbers, has " + std::to_string(count));
        }
        float values[3];
        for (size_t i = 1; i < tokens.size(); ++i) {
            float value = 0.0f;
            if (!ParseFloat(tokens[i], value))
                return fail(tokens[i], "is not a finite number");
            if (i <= 3)
                values[i - 1] = value;
        }
        into.push_back({values[0], values[1], values[2]});
        return true;
    }

    bool uv(const std::vector<std::string_view>& tokens) {
        const size_t count = tokens.size() - 1;
        if (count < 1 || count > 3)
            return failText("vt needs 1 to 3 numbers, has " + std::to_string(count));
        float values[3] = {0.0f, 0.0f, 0.0f};
        for (size_t i = 1; i < tokens.size(); ++i)
            if (!ParseFloat(tokens[i], values[i - 1]))
                return fail(tokens[i], "is not a finite number");
        m_uvs.push_back(values[0]);
        m_uvs.push_back(values[1]);
        return true;
    }

    // An index of a face vertex: 1-based, or negative counting back from count read so far.
    bool index(std::string_view whole, std::string_view text, size_t count, const char* what,
               uint32_t& out) {
        long long value = 0;
        const char* end = text.data() + text.size();
        const auto result = std::from_chars(text.data(), end, value);
        if (text.empty() || result.ec != std::errc() || result.ptr != end)
            return fail(whole, std::string("has an unreadable ") + what + " index");
        const long long resolved = value < 0 ? static_cast<long long>(count) + value : value - 1;
        if (value == 0 || resolved < 0 || resolved >= static_cast<long long>(count)) {
            return fail(whole, std::string("names ") + what + " " + std::to_string(value) + " of " +
                                   std::to_string(count) + " read so far");
        }
        out = static_cast<uint32_t>(resolved);
        return true;
    }

    bool corner(std::string_view token, Corner& corner) {
        std::string_view parts[3];
        size_t partCount = 0;
        size_t start = 0;
        for (size_t at = 0; at <= token.size(); ++at) {
            if (at < token.size() && token[at] != '/')
                continue;
            if (partCount == 3)
                return fail(token, "has more than three parts");
            parts[partCount++] = token.substr(start, at - start);
            start = at + 1;
        }
        if (!index(token, parts[0], m_positions.size(), "position", corner.position))
            return false;
        if (partCount > 1 && !parts[1].empty() &&
            !index(token, parts[1], m_uvs.size() / 2, "texture coordinate", corner.uv))
            return false;
        if (partCount > 2 && !parts[2].empty() &&
            !index(token, parts[2], m_normals.size(), "normal", corner.normal))
            return false;
        // Uvs and normals are per mesh: once one face vertex has them, all must.
        const bool hasUv = corner.uv != kNone;
        const bool hasNormal = corner.normal != kNone;
        if (!m_sawCorner) {
            m_sawCorner = true;
            m_withUvs = hasUv;
            m_withNormals = hasNormal;
        }
        if (hasUv != m_withUvs) {
            return fail(token, m_withUvs ? "has no texture coordinate, earlier face vertices do"
                                         : "has a texture coordinate, earlier face vertices "
                                           "do not");
        }
        if (hasNormal != m_withNormals) {
            return fail(token, m_withNormals ? "has no normal, earlier face vertices do"
                                             : "has a normal, earlier face vertices do not");
        }
        return true;
    }

    bool face(const std::vector<std::string_view>& tokens) {
        if (tokens.size() < 4) {
            return failText("f needs at least 3 vertices, has " +
                            std::to_string(tokens.size() - 1));
        }
        m_polygon.clear();
        for (size_t i = 1; i < tokens.size(); ++i) {
            Corner c;
            if (!corner(tokens[i], c))
                return false;
            uint32_t vertex = 0;
            if (!vertexOf(c, vertex))
                return false;
            m_polygon.push_back(vertex);
        }
        for (size_t i = 1; i + 1 < m_polygon.size(); ++i) {
            m_out.indices.push_back(m_polygon[0]);
            m_out.indices.push_back(m_polygon[i]);
            m_out.indices.push_back(m_polygon[i + 1]);
        }
        return true;
    }

    // The mesh vertex of a corner, made on its first use.
    bool vertexOf(const Corner& c, uint32_t& vertex) {
        const auto found = m_vertices.find(c);
        if (found != m_vertices.end()) {
            vertex = found->second;
            return true;
        }
        if (m_out.positions.size() >= kNone)
            return failText("more vertices than 32-bit indices reach");
        vertex = static_cast<uint32_t>(m_out.positions.size());
        m_vertices.emplace(c, vertex);
        m_out.positions.push_back(m_positions[c.position]);
        if (c.uv != kNone) {
            m_out.uvs.push_back(m_uvs[2 * size_t{c.uv}]);
            m_out.uvs.push_back(m_uvs[2 * size_t{c.uv} + 1]);
        }
        if (c.normal != kNone)
            m_out.normals.push_back(m_normals[c.normal]);
        return true;
    }

    Mesh& m_out;
    std::vector<Vector3> m_positions;
    std::vector<Vector3> m_normals;
    std::vector<float> m_uvs; // two per texture coordinate
    std::unordered_map<Corner, uint32_t, CornerHash> m_vertices;
    std::vector<uint32_t> m_polygon;
    bool m_sawCorner = false;
    bool m_withUvs = false;
    bool m_withNormals = false;
    std::string m_error;
};

} // namespace

bool ImportObj(const std::string& objPath, Mesh& out, std::string& error) {
    out = Mesh{};
    error.clear();
    std::string host;
    if (!FilePath::ConvertFromAlias(objPath, host, FilePath::kModeRelative)) {
        error = "cannot resolve path " + objPath;
        return false;
    }
    std::ifstream in(host, std::ios::binary);
    if (!in) {
        error = "cannot open " + objPath + ": " + std::strerror(errno);
        return false;
    }
    ObjReader reader(out);
    std::string line;
    std::string statement;
    size_t lineNumber = 0;
    size_t statementLine = 0;
    while (std::getline(in, line)) {
        ++lineNumber;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (statement.empty())
            statementLine = lineNumber;
        const size_t comment = line.find('#');
        if (comment != std::string::npos)
            line.erase(comment);
        // A backslash at the end of a line continues the statement on the next one.
        if (!line.empty() && line.back() == '\\') {
            line.back() = ' ';
            statement += line;
            continue;
        }
        statement += line;
        if (!reader.statement(statement)) {
            error = "line " + std::to_string(statementLine) + ": " + reader.error();
            out = Mesh{};
            return false;
        }
        statement.clear();
    }
    if (in.bad()) {
        error = "cannot read " + objPath;
        out = Mesh{};
        return false;
    }
    if (!reader.statement(statement)) {
        error = "line " + std::to_string(statementLine) + ": " + reader.error();
        out = Mesh{};
        return false;
    }
    if (!reader.finish()) {
        error = reader.error();
        out = Mesh{};
        return false;
    }
    return true;
}
