// The texture bitmaps built into the program: BMP files of resources/textures, embedded at build
// time (TextureFiles), decoded here into top-down blue-green-red pixels.

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "TextureFiles.h"
#include "fills/fill_resources.h"

namespace arbolix {

namespace {

uint32_t Read16(const unsigned char* p) { return static_cast<uint32_t>(p[0]) | static_cast<uint32_t>(p[1]) << 8; }

uint32_t Read32(const unsigned char* p) { return Read16(p) | Read16(p + 2) << 16; }

// Decodes an uncompressed BMP of 8 bits (with a colour table) or 24 bits per pixel, rows
// bottom-up or top-down. False for anything else or for a file that is cut short.
bool DecodeBmp(const unsigned char* data, size_t size, ResourceBitmap& out) {
    if (size < 54 || data[0] != 'B' || data[1] != 'M') return false;
    const uint32_t pixelOffset = Read32(data + 10);
    const uint32_t headerSize = Read32(data + 14);
    const int32_t width = static_cast<int32_t>(Read32(data + 18));
    const int32_t rawHeight = static_cast<int32_t>(Read32(data + 22));
    const uint32_t bits = Read16(data + 28);
    const uint32_t compression = Read32(data + 30);
    uint32_t colours = Read32(data + 46);
    if (headerSize < 40 || compression != 0 || width <= 0 || rawHeight == 0 || rawHeight == INT32_MIN) return false;
    if (bits != 8 && bits != 24) return false;
    const bool bottomUp = rawHeight > 0;
    const int32_t height = bottomUp ? rawHeight : -rawHeight;
    if (width > 1 << 16 || height > 1 << 16) return false;

    const unsigned char* palette = data + 14 + headerSize;
    if (bits == 8) {
        if (colours == 0 || colours > 256) colours = 256;
        if (14u + headerSize + 4u * colours > size) return false;
    }
    const size_t rowSize = ((static_cast<size_t>(width) * bits + 31) / 32) * 4;
    if (pixelOffset > size || rowSize * static_cast<size_t>(height) > size - pixelOffset) return false;

    out.width = width;
    out.height = height;
    out.bgr.assign(static_cast<size_t>(width) * static_cast<size_t>(height) * 3, 0);
    for (int32_t y = 0; y < height; ++y) {
        const int32_t stored = bottomUp ? height - 1 - y : y;
        const unsigned char* row = data + pixelOffset + rowSize * static_cast<size_t>(stored);
        uint8_t* target = out.bgr.data() + static_cast<size_t>(y) * static_cast<size_t>(width) * 3;
        for (int32_t x = 0; x < width; ++x) {
            if (bits == 24) {
                target[3 * x] = row[3 * x];
                target[3 * x + 1] = row[3 * x + 1];
                target[3 * x + 2] = row[3 * x + 2];
            } else {
                const uint32_t index = row[x];
                if (index >= colours) return false;
                const unsigned char* entry = palette + 4 * index; // blue, green, red, unused
                target[3 * x] = entry[0];
                target[3 * x + 1] = entry[1];
                target[3 * x + 2] = entry[2];
            }
        }
    }
    return true;
}

} // namespace

const std::vector<int32_t>& TextureIds() {
    static const std::vector<int32_t> ids = [] {
        std::vector<int32_t> list{162};
        for (int32_t id = 167; id <= 195; ++id) list.push_back(id);
        return list;
    }();
    return ids;
}

bool LoadTextureBitmap(int32_t id, ResourceBitmap& out) {
    if (id != 162 && (id < 167 || id > 195)) return false;
    const std::string name = "texture-" + std::to_string(id) + ".bmp";
    const embedded::EmbeddedFile* file = embedded::FindEmbeddedFile(embedded::TextureFiles(), name);
    if (file == nullptr) return false;
    ResourceBitmap decoded;
    if (!DecodeBmp(file->data, file->size, decoded)) return false;
    out = std::move(decoded);
    return true;
}

} // namespace arbolix
