#include "image/ImageRegion.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// The source pixels an output pixel covers along one axis, with their weights.
struct Tap {
    int index;
    float weight;
};

// For each of size output pixels, the taps of the source span [start, start + side)
// divided into size equal parts; source pixels outside 0..limit - 1 get no tap (they are
// transparent), but still count in the division.
std::vector<std::vector<Tap>> Taps(double start, double side, int size, int limit) {
    std::vector<std::vector<Tap>> taps(static_cast<size_t>(size));
    const double step = side / size;
    for (int out = 0; out < size; ++out) {
        const double from = start + out * step;
        const double to = from + step;
        for (int source = static_cast<int>(std::floor(from)); source < to; ++source) {
            const double covered =
                std::min<double>(to, source + 1) - std::max<double>(from, source);
            if (covered <= 0.0 || source < 0 || source >= limit)
                continue;
            taps[static_cast<size_t>(out)].push_back({source, static_cast<float>(covered / step)});
        }
    }
    return taps;
}

} // namespace

Image CropAndScale(const Image& picture, const ImageSquare& square, int size) {
    Image out;
    if (size <= 0 || !(square.side > 0.0))
        return out;
    out.width = size;
    out.height = size;
    out.rgba.assign(static_cast<size_t>(size) * static_cast<size_t>(size) * 4, 0);
    const auto columns = Taps(square.left, square.side, size, picture.width);
    const auto rows = Taps(square.top, square.side, size, picture.height);
    for (int y = 0; y < size; ++y)
        for (int x = 0; x < size; ++x) {
            // Premultiplied sums: colour weighted by alpha, then divided by the alpha.
            float sum[4] = {0.0f, 0.0f, 0.0f, 0.0f};
            for (const Tap& row : rows[static_cast<size_t>(y)])
                for (const Tap& column : columns[static_cast<size_t>(x)]) {
                    const uint8_t* p =
                        &picture.rgba[(static_cast<size_t>(row.index) * picture.width +
                                       static_cast<size_t>(column.index)) *
                                      4];
                    const float weight = row.weight * column.weight;
                    const float alpha = p[3] * weight;
                    sum[0] += p[0] * alpha;
                    sum[1] += p[1] * alpha;
                    sum[2] += p[2] * alpha;
                    sum[3] += alpha;
                }
            uint8_t* q = &out.rgba[(static_cast<size_t>(y) * size + static_cast<size_t>(x)) * 4];
            if (sum[3] <= 0.0f)
                continue;
            for (int c = 0; c < 3; ++c)
                q[c] = static_cast<uint8_t>(std::clamp(std::lround(sum[c] / sum[3]), 0L, 255L));
            q[3] = static_cast<uint8_t>(std::clamp(std::lround(sum[3]), 0L, 255L));
        }
    return out;
}

void PasteImage(Image& target, const Image& picture, int x, int y) {
    for (int row = 0; row < picture.height; ++row) {
        const int targetRow = y + row;
        if (targetRow < 0 || targetRow >= target.height)
            continue;
        for (int column = 0; column < picture.width; ++column) {
            const int targetColumn = x + column;
            if (targetColumn < 0 || targetColumn >= target.width)
                continue;
            const size_t from = (static_cast<size_t>(row) * picture.width + column) * 4;
            const size_t to = (static_cast<size_t>(targetRow) * target.width + targetColumn) * 4;
            std::copy_n(picture.rgba.begin() + static_cast<long>(from), 4,
                        target.rgba.begin() + static_cast<long>(to));
        }
    }
}
