// arbolix-texgen: writes the texture bitmaps into a folder (resources/textures by default use).
//
//   arbolix-texgen FOLDER [ID...]
//
// Without ids every texture is written. The output is deterministic.

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "texgen/texgen.h"

int main(int argc, char** argv) {
    using namespace arbolix::texgen;
    if (argc < 2) {
        std::fprintf(stderr, "usage: arbolix-texgen FOLDER [ID...]\n");
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    std::vector<int32_t> ids;
    for (int i = 2; i < argc; ++i) ids.push_back(static_cast<int32_t>(std::strtol(argv[i], nullptr, 10)));
    if (ids.empty()) {
        for (const TextureKind& kind : TextureKinds()) ids.push_back(kind.id);
    }
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    for (int32_t id : ids) {
        const std::vector<uint8_t> bytes = MakeTextureFile(id);
        if (bytes.empty()) {
            std::fprintf(stderr, "arbolix-texgen: no texture %d\n", static_cast<int>(id));
            return 2;
        }
        const std::filesystem::path file = folder / TextureFileName(id);
        std::ofstream out(file, std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        if (!out) {
            std::fprintf(stderr, "arbolix-texgen: cannot write %s\n", file.string().c_str());
            return 1;
        }
    }
    return 0;
}
