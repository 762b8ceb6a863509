#pragma once

// Image files in and out, and comparison of pictures for reference-image tests.
//
// Pixels are RGBA bytes, 4 per pixel, rows top first as image files keep them. Textures
// and GL framebuffers keep rows bottom first: FlipRows converts between the two.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// A picture: width × height RGBA pixels, rows top first.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;
};

// Writes a PNG of width × height pixels; rgba holds width × height × 4 bytes, top row
// first. The file is written beside the target and renamed over it, so a failed write
// leaves an existing file as it was. False, with the reason when asked, when the size does
// not match or the file cannot be written.
bool WritePng(const std::string& hostPath, int width, int height, const std::vector<uint8_t>& rgba,
              std::string* reason = nullptr);

// Encodes a PNG in memory; the arguments as for WritePng. False, with the reason when
// asked, when the size does not match or the encoder fails.
bool EncodePng(int width, int height, const std::vector<uint8_t>& rgba, std::vector<uint8_t>& png,
               std::string* reason = nullptr);

// Reads a PNG, TGA, JPG or BMP file as RGBA (grey and RGB images gain alpha 255), top row
// first. False, with the reason when asked, when the file is missing or not a readable
// image; the outputs are then left alone.
bool ReadImage(const std::string& hostPath, int& width, int& height, std::vector<uint8_t>& rgba,
               std::string* reason = nullptr);
bool ReadImage(const std::string& hostPath, Image& image, std::string* reason = nullptr);

// Reverses the order of the rows in place: top first becomes bottom first and back.
void FlipRows(int width, int height, std::vector<uint8_t>& rgba);

// How two pictures differ.
struct ImageDifference {
    bool sameSize = true;         // false: nothing else was compared
    int maxChannelDifference = 0; // the largest difference of one channel, 0 to 255
    size_t differingPixels = 0;   // pixels with a channel differing by more than the tolerance
    // Same size, and no channel differs by more than the tolerance.
    bool Matches() const { return sameSize && differingPixels == 0; }
};

// Compares a and b channel by channel; tolerance: the largest difference (0 to 255) still
// taken as equal.
ImageDifference CompareImages(const Image& a, const Image& b, int tolerance);
