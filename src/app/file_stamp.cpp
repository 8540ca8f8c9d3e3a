#include "app/file_stamp.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

namespace arbolix {

std::optional<FileStamp> StampOfFile(const std::string& path, std::string* reason) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0) {
        if (reason != nullptr) *reason = std::strerror(errno);
        return std::nullopt;
    }
    if (!S_ISREG(info.st_mode)) {
        // Said as the reader says it when it opens the file.
        if (reason != nullptr)
            *reason = S_ISDIR(info.st_mode) ? std::strerror(EISDIR) : "pas un fichier ordinaire";
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
