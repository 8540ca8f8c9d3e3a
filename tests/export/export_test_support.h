#pragma once
// Helpers of the export tests: a disk that fills up, a listing of what a folder holds, and the
// shape of a picture file.

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <FreeImage.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

namespace arbolix::test {

// While alive, no file of the process can grow beyond `bytes`: writes past it fail with EFBIG,
// as they would on a full disk (the signal the kernel sends with it is ignored meanwhile).
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        previousHandler_ = ::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &previous_);
        rlimit limit = previous_;
        limit.rlim_cur = bytes;
        active_ = ::setrlimit(RLIMIT_FSIZE, &limit) == 0;
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &previous_);
        ::signal(SIGXFSZ, previousHandler_);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;
    bool active() const { return active_; }

private:
    rlimit previous_{};
    sighandler_t previousHandler_ = SIG_DFL;
    bool active_ = false;
};

// The names of the entries of a folder, hidden ones included, sorted.
inline std::vector<std::string> FolderEntries(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Format, width, height and bits per pixel of a picture file; all 0 when it cannot be read.
inline std::tuple<FREE_IMAGE_FORMAT, unsigned, unsigned, unsigned> PictureShape(
    const std::filesystem::path& path) {
    const FREE_IMAGE_FORMAT type = FreeImage_GetFileType(path.c_str(), 0);
    FIBITMAP* picture = FreeImage_Load(type, path.c_str(), 0);
    if (picture == nullptr) return {};
    const std::tuple shape{type, FreeImage_GetWidth(picture), FreeImage_GetHeight(picture),
                           FreeImage_GetBPP(picture)};
    FreeImage_Unload(picture);
    return shape;
}

} // namespace arbolix::test
