#pragma once
// What tells a file apart from the same path later: the file itself (device and inode), its size
// and its time of last change. Two equal stamps mean the file was not rewritten in between.

#include <cstdint>
#include <optional>
#include <string>

namespace arbolix {

struct FileStamp {
    uint64_t device = 0;
    uint64_t inode = 0;
    uint64_t size = 0;
    int64_t modifiedNs = 0; // time of the last change of the contents, in nanoseconds

    bool operator==(const FileStamp&) const = default;
};

// The stamp of the regular file at `path` now. nullopt when there is no such file, with `reason`
// (French, UTF-8, when given) saying why: "fichier introuvable", "accès refusé", "ce n'est pas
// un fichier ordinaire", or the system's text for other failures.
std::optional<FileStamp> StampOfFile(const std::string& path, std::string* reason = nullptr);

} // namespace arbolix
