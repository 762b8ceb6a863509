#include "scene/DefaultTextures.h"

#include "diag/Diag.h"
#include "stream/FilePath.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <stb/stb_image_write.h>

namespace {

// Only operations that IEEE 754 rounds exactly are used below (no exp, pow or sin, whose
// last bit differs between maths libraries), so each byte comes out the same everywhere.

double Clamp01(double x) {
    return std::clamp(x, 0.0, 1.0);
}

uint8_t ToByte(double x) {
    return static_cast<uint8_t>(std::floor(Clamp01(x) * 255.0 + 0.5));
}

double Square(double x) {
    return x * x;
}

// An RGBA picture, top row first (as the TGA writer takes it).
class Canvas {
public:
    Canvas(int width, int height)
        : m_width(width), m_height(height),
          m_rgba(static_cast<size_t>(width) * static_cast<size_t>(height) * 4, 0) {}

    int width() const { return m_width; }
    int height() const { return m_height; }
    const uint8_t* data() const { return m_rgba.data(); }

    void set(int x, int y, double red, double green, double blue, double alpha) {
        uint8_t* pixel = &m_rgba[(static_cast<size_t>(y) * static_cast<size_t>(m_width) +
                                  static_cast<size_t>(x)) *
                                 4];
        pixel[0] = ToByte(red);
        pixel[1] = ToByte(green);
        pixel[2] = ToByte(blue);
        pixel[3] = ToByte(alpha);
    }

    // White light of an intensity: the alpha is the intensity, and the colour fades out
    // where the alpha is low, so that additive blending (which ignores the alpha) does not
    // show the sprite's square.
    void setLight(int x, int y, double intensity) {
        const double alpha = Clamp01(intensity);
        const double grey = std::min(1.0, 4.0 * alpha);
        set(x, y, grey, grey, grey, alpha);
    }

private:
    int m_width;
    int m_height;
    std::vector<uint8_t> m_rgba;
};

// Pixel (x, y) of a size × size area as coordinates from -1 to 1 through pixel centres,
// y upwards.
double CentredX(int x, int size) {
    return static_cast<double>(2 * x + 1 - size) / size;
}
double CentredY(int y, int size) {
    return static_cast<double>(size - 2 * y - 1) / size;
}

// ---- deterministic value noise ----

uint32_t Hash(uint32_t x, uint32_t y, uint32_t seed) {
    uint32_t h = (seed * 0x9e3779b1u) ^ (x * 0x85ebca77u) ^ (y * 0xc2b2ae3du);
    h ^= h >> 15;
    h *= 0x2c1b3c6du;
    h ^= h >> 12;
    h *= 0x297a2d39u;
    h ^= h >> 15;
    return h;
}

// 0.0 to 1.0 (exclusive), exactly representable.
double LatticeValue(int64_t x, int64_t y, uint32_t seed) {
    return static_cast<double>(Hash(static_cast<uint32_t>(x), static_cast<uint32_t>(y), seed) >>
                               8) /
           16777216.0;
}

int64_t Wrapped(int64_t i, int64_t period) {
    return ((i % period) + period) % period;
}

// Smoothly interpolated lattice values at (x, y) in cells; the lattice repeats every
// period cells in both directions.
double ValueNoise(double x, double y, int64_t period, uint32_t seed) {
    const double cellX = std::floor(x);
    const double cellY = std::floor(y);
    const double fx = x - cellX;
    const double fy = y - cellY;
    const double sx = fx * fx * (3.0 - 2.0 * fx);
    const double sy = fy * fy * (3.0 - 2.0 * fy);
    const auto x0 = Wrapped(static_cast<int64_t>(cellX), period);
    const auto y0 = Wrapped(static_cast<int64_t>(cellY), period);
    const auto x1 = Wrapped(x0 + 1, period);
    const auto y1 = Wrapped(y0 + 1, period);
    const double bottom =
        LatticeValue(x0, y0, seed) + (LatticeValue(x1, y0, seed) - LatticeValue(x0, y0, seed)) * sx;
    const double top =
        LatticeValue(x0, y1, seed) + (LatticeValue(x1, y1, seed) - LatticeValue(x0, y1, seed)) * sx;
    return bottom + (top - bottom) * sy;
}

// Three octaves, 0.0 to 1.0; periodic over period cells of the first octave.
double Turbulence(double x, double y, int64_t period, uint32_t seed) {
    return 0.5 * ValueNoise(x, y, period, seed) +
           0.3 * ValueNoise(2.0 * x, 2.0 * y, 2 * period, seed + 1) +
           0.2 * ValueNoise(4.0 * x, 4.0 * y, 4 * period, seed + 2);
}

// ---- the textures ----

Canvas MakePoint() {
    Canvas image(64, 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            const double r2 = Square(CentredX(x, 64)) + Square(CentredY(y, 64));
            image.setLight(x, y, r2 < 1.0 ? Square(1.0 - r2) : 0.0);
        }
    return image;
}

Canvas MakeGlow() {
    Canvas image(64, 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            const double r2 = Square(CentredX(x, 64)) + Square(CentredY(y, 64));
            if (r2 >= 1.0) {
                image.setLight(x, y, 0.0);
                continue;
            }
            const double r = std::sqrt(r2);
            const double core = Square(Square(Square(1.0 - r2))); // (1 - r²)^8
            image.setLight(x, y, 0.65 * Square(1.0 - r) + 0.35 * core);
        }
    return image;
}

Canvas MakeRing() {
    Canvas image(64, 64);
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            const double r2 = Square(CentredX(x, 64)) + Square(CentredY(y, 64));
            const double r = std::sqrt(r2);
            const double across = (r - 0.72) / 0.16;
            const double ring = std::abs(across) < 1.0 ? Square(1.0 - Square(across)) : 0.0;
            const double haze = r2 < 1.0 ? 0.12 * Square(1.0 - r2) : 0.0;
            image.setLight(x, y, ring + haze);
        }
    return image;
}

// A streak along x: bright in the middle, thin across.
Canvas MakeStreak(int width, int height, double gain) {
    Canvas image(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const double along = std::abs(CentredX(x, width));
            const double across = CentredY(y, height);
            const double length = (1.0 - Square(along)) * (1.0 - along);
            const double thickness = Square(Square(Square(1.0 - Square(across)))); // (1 - y²)^8
            image.setLight(x, y, gain * length * thickness);
        }
    return image;
}

Canvas MakeSmoke() {
    Canvas image(64, 64);
    constexpr uint32_t kSeed = 7;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            const double nx = CentredX(x, 64);
            const double ny = CentredY(y, 64);
            const double cellX = (nx + 1.0) * 2.0;
            const double cellY = (ny + 1.0) * 2.0;
            const double shape = Turbulence(cellX, cellY, 4, kSeed);
            const double detail = Turbulence(cellX + 1.5, cellY + 2.5, 4, kSeed + 10);
            // The noise pushes the edge in and out: a billowing outline.
            const double r2 = (Square(nx) + Square(ny)) * (0.7 + 0.6 * shape);
            const double envelope = r2 < 1.0 ? Square(1.0 - r2) : 0.0;
            const double alpha = envelope * (0.55 + 0.45 * detail);
            const double grey = (0.6 + 0.4 * detail) * std::min(1.0, 4.0 * alpha);
            image.set(x, y, grey, grey, grey, alpha);
        }
    return image;
}

constexpr int kFireFrame = 64;
constexpr int kFireColumns = 4;
constexpr int kFireRows = 4;
constexpr int kFireFrames = kFireColumns * kFireRows;

// One frame of the flame: phase 0.0 to 1.0 over the loop. The noise rises through the
// flame and has moved exactly one period of the lattice after the last frame, so the
// animation loops without a jump.
void DrawFireFrame(Canvas& sheet, int frame) {
    constexpr uint32_t kSeed = 31;
    constexpr int64_t kPeriod = 8; // cells of the first octave, vertically
    const double phase = static_cast<double>(frame) / kFireFrames;
    const int left = frame % kFireColumns * kFireFrame;
    const int top = frame / kFireColumns * kFireFrame;
    for (int y = 0; y < kFireFrame; ++y)
        for (int x = 0; x < kFireFrame; ++x) {
            const double u = CentredX(x, kFireFrame);                    // -1 to 1
            const double height = (CentredY(y, kFireFrame) + 1.0) * 0.5; // 0 bottom, 1 top
            const double noise =
                Turbulence((u + 1.0) * 2.0, height * 4.0 - phase * kPeriod, kPeriod, kSeed);
            const double sway = (noise - 0.5) * 0.6 * height;
            const double halfWidth = 0.62 * (1.0 - height) * (0.55 + 0.45 * (1.0 - height));
            double intensity = 0.0;
            if (halfWidth > 0.0) {
                const double across = (u + sway) / halfWidth;
                const double body = std::abs(across) < 1.0 ? 1.0 - Square(across) : 0.0;
                // Soft at the base, thinning out into the tips.
                const double base = std::min(1.0, height * 12.0);
                const double tip = std::min(1.0, (1.0 - height) * 2.5);
                intensity = body * base * tip * (0.45 + 0.75 * noise);
            }
            const double heat = 1.9 * Clamp01(intensity);
            sheet.set(left + x, top + y, heat, heat - 0.7, heat - 1.5,
                      std::min(1.0, 1.5 * intensity));
        }
}

Canvas MakeFireSheet() {
    Canvas sheet(kFireFrame * kFireColumns, kFireFrame * kFireRows);
    for (int frame = 0; frame < kFireFrames; ++frame)
        DrawFireFrame(sheet, frame);
    return sheet;
}

constexpr const char* kFireAnimation =
    "-- Flame flip-book: fire_sheet.tga cut into 4 x 4 frames of 64 x 64 pixels, played left\n"
    "-- to right from the top row; the last frame leads back into the first.\n"
    "anim = { texture = \"Data:art/fx/fire_sheet.tga\", columns = 4, rows = 4, frames = 16, "
    "fps = 15 }\n";

bool WriteTga(const std::filesystem::path& path, const Canvas& image) {
    // The writer's switches are global: set them for this file, then put them back.
    const int previousRle = stbi_write_tga_with_rle;
    stbi_write_tga_with_rle = 0;
    stbi_flip_vertically_on_write(0);
    const int written =
        stbi_write_tga(path.string().c_str(), image.width(), image.height(), 4, image.data());
    stbi_write_tga_with_rle = previousRle;
    return written != 0;
}

bool WriteText(const std::filesystem::path& path, const char* text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    out.close();
    return static_cast<bool>(out);
}

struct Made {
    const char* file;
    Canvas (*make)();
};

Canvas MakeFlareStreak() {
    return MakeStreak(128, 32, 1.0);
}
Canvas MakeSpark() {
    return MakeStreak(32, 8, 1.6);
}

constexpr Made kTextures[] = {
    {"point.tga", MakePoint},          {"flare_glow.tga", MakeGlow},
    {"flare_ring.tga", MakeRing},      {"flare_streak.tga", MakeFlareStreak},
    {"smoke.tga", MakeSmoke},          {"spark.tga", MakeSpark},
    {"fire_sheet.tga", MakeFireSheet},
};
constexpr const char* kAnimationFile = "fire.anim";

} // namespace

const std::vector<std::string>& DefaultTextureFiles() {
    static const std::vector<std::string> files = [] {
        std::vector<std::string> names;
        for (const Made& made : kTextures)
            names.emplace_back(made.file);
        names.emplace_back(kAnimationFile);
        return names;
    }();
    return files;
}

bool GenerateDefaultTextures(const std::string& folder) {
    std::string host;
    if (!FilePath::ConvertFromAlias(folder, host)) {
        dbTracefAux("Default textures not made: unknown folder \"%s\"", folder.c_str());
        return false;
    }
    const std::filesystem::path directory = host.empty() ? "." : host;
    std::error_code error;
    std::filesystem::create_directories(directory, error);
    for (const Made& made : kTextures)
        if (!WriteTga(directory / made.file, made.make())) {
            dbTracefAux("Default textures: cannot write \"%s\"",
                        (directory / made.file).string().c_str());
            return false;
        }
    if (!WriteText(directory / kAnimationFile, kFireAnimation)) {
        dbTracefAux("Default textures: cannot write \"%s\"",
                    (directory / kAnimationFile).string().c_str());
        return false;
    }
    return true;
}
