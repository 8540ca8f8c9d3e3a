#include "texgen/bmp_file.h"

#include <algorithm>
#include <array>
#include <map>

namespace arbolix::texgen {

namespace {

struct Colour {
    std::array<int32_t, 3> c;
    int64_t count;
};

struct Box {
    size_t begin;
    size_t end; // range of the colour list
    int32_t lo[3];
    int32_t hi[3];
    int64_t pixels;

    int32_t longestAxis() const {
        int32_t best = 0;
        for (int32_t a = 1; a < 3; ++a) {
            if (hi[a] - lo[a] > hi[best] - lo[best]) best = a;
        }
        return best;
    }
    int32_t extent() const { return hi[longestAxis()] - lo[longestAxis()]; }
};

void Measure(Box& box, const std::vector<Colour>& colours) {
    for (int32_t a = 0; a < 3; ++a) {
        box.lo[a] = 255;
        box.hi[a] = 0;
    }
    box.pixels = 0;
    for (size_t i = box.begin; i < box.end; ++i) {
        for (int32_t a = 0; a < 3; ++a) {
            box.lo[a] = std::min(box.lo[a], colours[i].c[a]);
            box.hi[a] = std::max(box.hi[a], colours[i].c[a]);
        }
        box.pixels += colours[i].count;
    }
}

int64_t Distance(const std::array<int32_t, 3>& a, const std::array<int32_t, 3>& b) {
    // Weighted towards green, as the eye is.
    const int64_t dr = a[0] - b[0];
    const int64_t dg = a[1] - b[1];
    const int64_t db = a[2] - b[2];
    return 3 * dr * dr + 4 * dg * dg + 2 * db * db;
}

size_t Nearest(const std::vector<std::array<int32_t, 3>>& palette, const std::array<int32_t, 3>& c) {
    size_t best = 0;
    int64_t bestDistance = Distance(palette[0], c);
    for (size_t i = 1; i < palette.size(); ++i) {
        const int64_t d = Distance(palette[i], c);
        if (d < bestDistance) {
            bestDistance = d;
            best = i;
        }
    }
    return best;
}

void Put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(static_cast<uint8_t>(v & 0xFF));
    out.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
}

void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

std::vector<uint8_t> Headers(int32_t width, int32_t height, int32_t bits, uint32_t paletteEntries) {
    const uint32_t rowSize = ((static_cast<uint32_t>(width) * static_cast<uint32_t>(bits) + 31u) / 32u) * 4u;
    const uint32_t imageSize = rowSize * static_cast<uint32_t>(height);
    const uint32_t offset = 14u + 40u + 4u * paletteEntries;
    std::vector<uint8_t> out;
    out.reserve(offset + imageSize);
    out.push_back('B');
    out.push_back('M');
    Put32(out, offset + imageSize);
    Put32(out, 0);
    Put32(out, offset);
    Put32(out, 40);
    Put32(out, static_cast<uint32_t>(width));
    Put32(out, static_cast<uint32_t>(height)); // positive: the bottom row comes first
    Put16(out, 1);
    Put16(out, static_cast<uint32_t>(bits));
    Put32(out, 0); // BI_RGB
    Put32(out, imageSize);
    Put32(out, 2835); // 72 dots per inch
    Put32(out, 2835);
    Put32(out, paletteEntries);
    Put32(out, 0);
    return out;
}

} // namespace

PalettePicture Quantize(const Picture& picture) {
    const size_t pixelCount = static_cast<size_t>(picture.width) * static_cast<size_t>(picture.height);
    std::map<std::array<int32_t, 3>, int64_t> histogram;
    for (size_t p = 0; p < pixelCount; ++p) {
        ++histogram[{picture.rgb[3 * p], picture.rgb[3 * p + 1], picture.rgb[3 * p + 2]}];
    }
    std::vector<Colour> colours;
    colours.reserve(histogram.size());
    for (const auto& [c, n] : histogram) colours.push_back({c, n});

    // Median cut: split the box of widest extent (weighted by its pixels) at its pixel median.
    std::vector<Box> boxes;
    Box all{0, colours.size(), {}, {}, 0};
    Measure(all, colours);
    boxes.push_back(all);
    while (boxes.size() < 256) {
        size_t pick = boxes.size();
        int64_t bestScore = 0;
        for (size_t b = 0; b < boxes.size(); ++b) {
            if (boxes[b].end - boxes[b].begin < 2) continue;
            const int64_t e = boxes[b].extent();
            const int64_t score = e * e * boxes[b].pixels;
            if (score > bestScore) {
                bestScore = score;
                pick = b;
            }
        }
        if (pick == boxes.size()) break;
        Box box = boxes[pick];
        const int32_t axis = box.longestAxis();
        std::stable_sort(colours.begin() + static_cast<std::ptrdiff_t>(box.begin),
                         colours.begin() + static_cast<std::ptrdiff_t>(box.end),
                         [axis](const Colour& a, const Colour& b) { return a.c[axis] < b.c[axis]; });
        int64_t seen = 0;
        size_t split = box.begin + 1;
        for (size_t i = box.begin; i + 1 < box.end; ++i) {
            seen += colours[i].count;
            split = i + 1;
            if (2 * seen >= box.pixels) break;
        }
        Box first{box.begin, split, {}, {}, 0};
        Box second{split, box.end, {}, {}, 0};
        Measure(first, colours);
        Measure(second, colours);
        boxes[pick] = first;
        boxes.push_back(second);
    }

    std::vector<std::array<int32_t, 3>> palette;
    for (const Box& box : boxes) {
        int64_t sum[3] = {0, 0, 0};
        for (size_t i = box.begin; i < box.end; ++i) {
            for (int32_t a = 0; a < 3; ++a) sum[a] += colours[i].c[a] * colours[i].count;
        }
        std::array<int32_t, 3> mean{};
        for (int32_t a = 0; a < 3; ++a) {
            mean[a] = static_cast<int32_t>((sum[a] + box.pixels / 2) / box.pixels);
        }
        palette.push_back(mean);
    }

    // A few rounds of k-means move each entry to the mean of the colours nearest to it.
    for (int round = 0; round < 4; ++round) {
        std::vector<std::array<int64_t, 4>> sums(palette.size(), {0, 0, 0, 0});
        for (const Colour& colour : colours) {
            const size_t k = Nearest(palette, colour.c);
            for (int32_t a = 0; a < 3; ++a) sums[k][a] += colour.c[a] * colour.count;
            sums[k][3] += colour.count;
        }
        for (size_t k = 0; k < palette.size(); ++k) {
            if (sums[k][3] == 0) continue;
            for (int32_t a = 0; a < 3; ++a) {
                palette[k][a] = static_cast<int32_t>((sums[k][a] + sums[k][3] / 2) / sums[k][3]);
            }
        }
    }

    // Dark to light; equal lightness keeps the earlier entry first.
    std::stable_sort(palette.begin(), palette.end(), [](const auto& a, const auto& b) {
        return 299 * a[0] + 587 * a[1] + 114 * a[2] < 299 * b[0] + 587 * b[1] + 114 * b[2];
    });
    palette.erase(std::unique(palette.begin(), palette.end()), palette.end());

    PalettePicture out;
    out.width = picture.width;
    out.height = picture.height;
    for (const auto& c : palette) {
        for (int32_t a = 0; a < 3; ++a) out.palette.push_back(static_cast<uint8_t>(c[a]));
    }
    std::map<std::array<int32_t, 3>, uint8_t> lookup;
    for (const Colour& colour : colours) lookup[colour.c] = static_cast<uint8_t>(Nearest(palette, colour.c));
    out.index.resize(pixelCount);
    for (size_t p = 0; p < pixelCount; ++p) {
        out.index[p] = lookup[{picture.rgb[3 * p], picture.rgb[3 * p + 1], picture.rgb[3 * p + 2]}];
    }
    return out;
}

std::vector<uint8_t> BmpFile24(const Picture& picture) {
    std::vector<uint8_t> out = Headers(picture.width, picture.height, 24, 0);
    const size_t padding = (4 - (static_cast<size_t>(picture.width) * 3) % 4) % 4;
    for (int32_t y = picture.height - 1; y >= 0; --y) {
        for (int32_t x = 0; x < picture.width; ++x) {
            const size_t p = 3 * (static_cast<size_t>(y) * static_cast<size_t>(picture.width) + static_cast<size_t>(x));
            out.push_back(picture.rgb[p + 2]);
            out.push_back(picture.rgb[p + 1]);
            out.push_back(picture.rgb[p]);
        }
        out.insert(out.end(), padding, 0);
    }
    return out;
}

std::vector<uint8_t> BmpFile8(const PalettePicture& picture) {
    std::vector<uint8_t> out = Headers(picture.width, picture.height, 8, 256);
    const size_t entries = picture.palette.size() / 3;
    for (size_t k = 0; k < 256; ++k) {
        if (k < entries) {
            out.push_back(picture.palette[3 * k + 2]);
            out.push_back(picture.palette[3 * k + 1]);
            out.push_back(picture.palette[3 * k]);
        } else {
            out.insert(out.end(), 3, 0);
        }
        out.push_back(0);
    }
    const size_t padding = (4 - static_cast<size_t>(picture.width) % 4) % 4;
    for (int32_t y = picture.height - 1; y >= 0; --y) {
        const auto row = picture.index.begin() + static_cast<std::ptrdiff_t>(y) * picture.width;
        out.insert(out.end(), row, row + picture.width);
        out.insert(out.end(), padding, 0);
    }
    return out;
}

} // namespace arbolix::texgen
