#pragma once
// Files written completely or not at all. Every export (pictures, pages) goes through here: the
// bytes go to a temporary file created next to the target (same folder, so the final rename
// cannot cross file systems), which is flushed to disk and then renamed over the target. A failure
// at any step removes the temporary file and leaves whatever was at the target untouched.
//
// Nothing is reported from here: the callers turn a FileError into the program's own message.

#include <cstddef>
#include <string>
#include <string_view>

namespace arbolix {

// The step at which writing a file failed; callers map it to their message ("Erreur OpenFile",
// "Erreur _lwrite", "Erreur fopen", ...).
enum class FileStep {
    None,   // nothing failed
    Open,   // the temporary file could not be created (missing or read-only folder, ...)
    Write,  // writing the bytes failed (disk full, file size limit, ...)
    Commit, // flushing, closing or renaming over the target failed
};

struct FileError {
    FileStep step = FileStep::None;
    int code = 0;          // errno value of the failed call
    const char* call = ""; // the failed system call: "open", "write", "fsync", "rename", ...
    std::string path;      // the target file

    bool failed() const { return step != FileStep::None; }
    // The file and the reason, for the user: "/tmp/a.bmp : plus de place sur le disque"; "" when
    // nothing failed.
    std::string describe() const;
    // Why, in French for the usual causes (full disk, quota, file size limit, no permission,
    // read-only disk, missing folder, ...), the system's text otherwise.
    std::string reason() const;
};

// When the bytes of a file reach the disk. Now: before the rename (the file and its folder are
// synced: a crash cannot leave it empty). Later: the rename comes first and the caller makes many
// files durable at once with SyncFileSystemOf, which costs one sync instead of two per file.
enum class FileSync { Now, Later };

// Writes `bytes` as the whole content of `path` (UTF-8), atomically.
FileError WriteFileAtomically(const std::string& path, std::string_view bytes,
                              FileSync sync = FileSync::Now);

// Flushes the file system that holds `folder` to disk. False when that fails.
bool SyncFileSystemOf(const std::string& folder);

// A file written piece by piece and put in place by commit(). Until then the target is untouched;
// destroying an uncommitted file (or abandon()) removes the temporary file. After the first
// failure every call is refused and error() keeps that first failure.
//
// Writes are buffered, so short pieces (lines of a page) cost no system call each.
class AtomicFile {
public:
    AtomicFile() = default;
    ~AtomicFile();
    AtomicFile(const AtomicFile&) = delete;
    AtomicFile& operator=(const AtomicFile&) = delete;
    AtomicFile(AtomicFile&& other) noexcept;
    AtomicFile& operator=(AtomicFile&& other) noexcept;

    // Creates the temporary file for `path`. A target that is a symbolic link is written through
    // (the link's destination is replaced); an existing target passes its permission bits on.
    bool open(const std::string& path, FileSync sync = FileSync::Now);
    bool write(const void* data, size_t size);
    bool write(std::string_view text) { return write(text.data(), text.size()); }
    // printf-style text.
    bool print(const char* format, ...) __attribute__((format(printf, 2, 3)));
    // Flushes, syncs, closes and renames over the target. False (and the temporary removed) on
    // failure, or when an earlier call failed.
    bool commit();
    // Drops what was written; the target stays as it was. Safe to call at any time.
    void abandon();

    bool isOpen() const { return fd_ >= 0; }
    const FileError& error() const { return error_; }
    // The temporary file while open, "" otherwise.
    const std::string& temporaryPath() const { return temporary_; }

private:
    bool fail(FileStep step, const char* call, int code, const std::string& path);
    bool flushBuffer();

    int fd_ = -1;
    FileSync sync_ = FileSync::Now;
    std::string target_;
    std::string temporary_;
    std::string buffer_;
    FileError error_;
};

} // namespace arbolix
