#include "export/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <system_error>
#include <utility>

namespace arbolix {

namespace {

constexpr size_t kBufferSize = 64 * 1024;
constexpr int kNameAttempts = 100;

// The file that will really be replaced: the final destination when `path` is a symbolic link.
std::string ResolvedTarget(const std::string& path) {
    std::error_code error;
    const std::filesystem::path target(path);
    if (!std::filesystem::is_symlink(target, error)) return path;
    const std::filesystem::path resolved = std::filesystem::weakly_canonical(target, error);
    return error ? path : resolved.string();
}

// A name in the target's folder that no other file uses yet: ".NAME.XXXXXX.tmp".
std::string TemporaryName(const std::string& target, std::mt19937& random) {
    static constexpr char kLetters[] =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    const std::filesystem::path path(target);
    std::string name(1, '.');
    name += path.filename().string();
    name += '.';
    std::uniform_int_distribution<size_t> pick(0, sizeof(kLetters) - 2);
    for (int i = 0; i < 6; ++i) name += kLetters[pick(random)];
    name += ".tmp";
    return (path.parent_path() / name).string();
}

// One per thread: files may be written from several threads at once.
std::mt19937& RandomSource() {
    thread_local std::mt19937 random{std::random_device{}() ^ static_cast<unsigned>(getpid())};
    return random;
}

// Makes the rename itself durable; file systems that cannot sync a folder are not an error.
void SyncFolderOf(const std::string& path) {
    std::filesystem::path folder = std::filesystem::path(path).parent_path();
    if (folder.empty()) folder = ".";
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return;
    ::fsync(fd);
    ::close(fd);
}

} // namespace

std::string FileError::describe() const {
    if (!failed()) return {};
    return path + " : " + reason();
}

std::string FileError::reason() const {
    switch (code) {
    case ENOSPC: return "plus de place sur le disque";
    case EDQUOT: return "quota du disque dépassé";
    case EFBIG: return "fichier trop grand pour le disque";
    case EACCES:
    case EPERM: return "accès refusé (droits insuffisants sur le dossier ou le fichier)";
    case EROFS: return "disque en lecture seule";
    case ENOENT: return "dossier introuvable";
    case ENOTDIR: return "une partie du chemin n'est pas un dossier";
    case EISDIR: return "c'est un dossier";
    case ENAMETOOLONG: return "nom de fichier trop long";
    case EIO: return "erreur d'entrée-sortie du disque";
    default: return std::strerror(code);
    }
}

FileError WriteFileAtomically(const std::string& path, std::string_view bytes, FileSync sync) {
    AtomicFile file;
    if (file.open(path, sync) && file.write(bytes)) file.commit();
    return file.error();
}

bool SyncFileSystemOf(const std::string& folder) {
    const int fd = ::open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) return false;
    const bool synced = ::syncfs(fd) == 0;
    ::close(fd);
    return synced;
}

AtomicFile::~AtomicFile() {
    abandon();
}

AtomicFile::AtomicFile(AtomicFile&& other) noexcept
    : fd_(std::exchange(other.fd_, -1)), sync_(other.sync_), target_(std::move(other.target_)),
      temporary_(std::move(other.temporary_)), buffer_(std::move(other.buffer_)),
      error_(std::move(other.error_)) {
    other.temporary_.clear();
}

AtomicFile& AtomicFile::operator=(AtomicFile&& other) noexcept {
    if (this != &other) {
        abandon();
        fd_ = std::exchange(other.fd_, -1);
        sync_ = other.sync_;
        target_ = std::move(other.target_);
        temporary_ = std::move(other.temporary_);
        other.temporary_.clear();
        buffer_ = std::move(other.buffer_);
        error_ = std::move(other.error_);
    }
    return *this;
}

bool AtomicFile::fail(FileStep step, const char* call, int code, const std::string& path) {
    if (!error_.failed()) error_ = FileError{step, code, call, path};
    abandon();
    return false;
}

bool AtomicFile::open(const std::string& path, FileSync sync) {
    abandon();
    error_ = FileError{};
    buffer_.clear();
    sync_ = sync;
    if (path.empty()) return fail(FileStep::Open, "open", ENOENT, path);
    target_ = ResolvedTarget(path);

    struct stat existing {};
    const bool exists = ::stat(target_.c_str(), &existing) == 0;
    if (exists && S_ISDIR(existing.st_mode)) return fail(FileStep::Open, "open", EISDIR, target_);

    for (int attempt = 0; attempt < kNameAttempts; ++attempt) {
        std::string name = TemporaryName(target_, RandomSource());
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            fd_ = fd;
            temporary_ = std::move(name);
            // Replacing a file keeps its permissions, as rewriting it in place would.
            if (exists && S_ISREG(existing.st_mode)) ::fchmod(fd_, existing.st_mode & 07777);
            buffer_.reserve(kBufferSize);
            return true;
        }
        if (errno != EEXIST) return fail(FileStep::Open, "open", errno, target_);
    }
    return fail(FileStep::Open, "open", EEXIST, target_);
}

bool AtomicFile::flushBuffer() {
    const char* data = buffer_.data();
    size_t left = buffer_.size();
    while (left > 0) {
        const ssize_t written = ::write(fd_, data, left);
        if (written < 0) {
            if (errno == EINTR) continue;
            return fail(FileStep::Write, "write", errno, target_);
        }
        // A write that moves nothing would loop for ever: the device is full.
        if (written == 0) return fail(FileStep::Write, "write", ENOSPC, target_);
        data += written;
        left -= static_cast<size_t>(written);
    }
    buffer_.clear();
    return true;
}

bool AtomicFile::write(const void* data, size_t size) {
    if (fd_ < 0) {
        if (!error_.failed()) error_ = FileError{FileStep::Write, EBADF, "write", target_};
        return false;
    }
    const char* bytes = static_cast<const char*>(data);
    while (size > 0) {
        const size_t room = kBufferSize - buffer_.size();
        const size_t piece = size < room ? size : room;
        buffer_.append(bytes, piece);
        bytes += piece;
        size -= piece;
        if (buffer_.size() == kBufferSize && !flushBuffer()) return false;
    }
    return true;
}

bool AtomicFile::print(const char* format, ...) {
    char local[512];
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int size = std::vsnprintf(local, sizeof local, format, copy);
    va_end(copy);
    bool ok = true;
    if (size < 0) {
        ok = fail(FileStep::Write, "vsnprintf", EINVAL, target_);
    } else if (static_cast<size_t>(size) < sizeof local) {
        ok = write(local, static_cast<size_t>(size));
    } else {
        std::string text(static_cast<size_t>(size), '\0');
        std::vsnprintf(text.data(), text.size() + 1, format, args);
        ok = write(text);
    }
    va_end(args);
    return ok;
}

bool AtomicFile::commit() {
    if (fd_ < 0) {
        if (!error_.failed()) error_ = FileError{FileStep::Commit, EBADF, "close", target_};
        return false;
    }
    if (!flushBuffer()) return false;
    if (sync_ == FileSync::Now && ::fsync(fd_) != 0)
        return fail(FileStep::Commit, "fsync", errno, target_);
    const int fd = std::exchange(fd_, -1);
    if (::close(fd) != 0) return fail(FileStep::Commit, "close", errno, target_);
    if (::rename(temporary_.c_str(), target_.c_str()) != 0)
        return fail(FileStep::Commit, "rename", errno, target_);
    temporary_.clear();
    if (sync_ == FileSync::Now) SyncFolderOf(target_);
    return true;
}

void AtomicFile::abandon() {
    if (fd_ >= 0) ::close(std::exchange(fd_, -1));
    if (!temporary_.empty()) ::unlink(temporary_.c_str());
    temporary_.clear();
    buffer_.clear();
}

} // namespace arbolix
