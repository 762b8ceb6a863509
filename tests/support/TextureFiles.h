#pragma once

// Image files made byte by byte for the texture tests.

#include <cstdint>
#include <string>
#include <vector>

// An uncompressed 32-bit TGA of rgba (width × height pixels, top row first), stored with
// its rows bottom first as most writers do, or top first when topOrigin is set.
inline std::string TgaFile(int width, int height, const std::vector<uint8_t>& rgba,
                           bool topOrigin = false) {
    std::string file(18, '\0');
    file[2] = 2; // true colour, uncompressed
    file[12] = static_cast<char>(width & 0xff);
    file[13] = static_cast<char>(width >> 8);
    file[14] = static_cast<char>(height & 0xff);
    file[15] = static_cast<char>(height >> 8);
    file[16] = 32;
    file[17] = static_cast<char>(8 | (topOrigin ? 0x20 : 0));
    for (int i = 0; i < height; ++i) {
        const int y = topOrigin ? i : height - 1 - i;
        for (int x = 0; x < width; ++x) {
            const uint8_t* pixel = &rgba[static_cast<size_t>(y * width + x) * 4];
            file += static_cast<char>(pixel[2]);
            file += static_cast<char>(pixel[1]);
            file += static_cast<char>(pixel[0]);
            file += static_cast<char>(pixel[3]);
        }
    }
    return file;
}

// A TGA of one colour.
inline std::string SolidTga(int width, int height, uint8_t grey = 200) {
    return TgaFile(width, height,
                   std::vector<uint8_t>(static_cast<size_t>(width * height) * 4, grey));
}
