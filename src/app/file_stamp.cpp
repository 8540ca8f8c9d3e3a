#include "app/file_stamp.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

namespace arbolix {

namespace {

std::string ReasonOf(int error) {
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return "fichier introuvable";
    case EACCES:
    case EPERM:
        return "accès refusé";
    default:
        return std::strerror(error);
    }
}

} // namespace

std::optional<FileStamp> StampOfFile(const std::string& path, std::string* reason) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        if (reason != nullptr) *reason = ReasonOf(errno);
        return std::nullopt;
    }
    if (!S_ISREG(info.st_mode)) {
        if (reason != nullptr) *reason = "ce n'est pas un fichier ordinaire";
        return std::nullopt;
    }
    FileStamp stamp;
    stamp.device = static_cast<uint64_t>(info.st_dev);
    stamp.inode = static_cast<uint64_t>(info.st_ino);
    stamp.size = static_cast<uint64_t>(info.st_size);
    stamp.modifiedNs =
        static_cast<int64_t>(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    return stamp;
}

} // namespace arbolix
