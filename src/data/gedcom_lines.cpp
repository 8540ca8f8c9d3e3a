#include "data/gedcom_lines.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstring>
#include <string>

#ifdef __SSE2__
#include <emmintrin.h>
#endif

namespace arbolix {

namespace {

// Large enough to amortise the system calls, small enough to stay in the cache.
constexpr size_t kBlockBytes = size_t{1} << 20;
// Bytes after the last one the buffer is filled to, for reads sixteen bytes wide.
constexpr size_t kSlack = 16;

[[maybe_unused]] bool IsLineEnd(char c) { return c == '\n' || c == '\r'; }

// Reads until `capacity` bytes are in or the source is exhausted.
bool ReadFully(ByteSource& source, char* into, size_t capacity, size_t& got) {
    got = 0;
    while (got < capacity) {
        size_t some = 0;
        if (!source.read(into + got, capacity - got, some)) return false;
        if (some == 0) break;
        got += some;
    }
    return true;
}

// Why an open descriptor cannot be read as a GEDCOM file, "" when it can: then its size is given
// and it is put back in blocking mode.
std::string WhyUnreadable(int fd, uint64_t& size) {
    struct stat info {};
    if (::fstat(fd, &info) != 0) return std::strerror(errno);
    if (S_ISDIR(info.st_mode)) return std::strerror(EISDIR);
    if (!S_ISREG(info.st_mode)) return "pas un fichier ordinaire";
    const int flags = ::fcntl(fd, F_GETFL);
    if (flags < 0 || ::fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) != 0) return std::strerror(errno);
    size = static_cast<uint64_t>(info.st_size);
    return {};
}

} // namespace

FileSource::~FileSource() {
    if (fd_ >= 0) ::close(fd_);
}

bool FileSource::open(const std::string& path, std::string& reason) {
    // Without O_NONBLOCK, opening a pipe would wait for a writer.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        reason = std::strerror(errno);
        return false;
    }
    uint64_t size = 0;
    reason = WhyUnreadable(fd, size);
    if (!reason.empty()) {
        ::close(fd);
        return false;
    }
    if (fd_ >= 0) ::close(fd_);
    fd_ = fd;
    size_ = size;
    return true;
}

bool FileSource::read(char* into, size_t capacity, size_t& got) {
    got = 0;
    for (;;) {
        const ssize_t n = ::read(fd_, into, capacity);
        if (n >= 0) {
            got = static_cast<size_t>(n);
            return true;
        }
        if (errno != EINTR) return false;
    }
}

bool FileSource::rewind() { return ::lseek(fd_, 0, SEEK_SET) == 0; }

bool MemorySource::read(char* into, size_t capacity, size_t& got) {
    got = std::min(capacity, bytes_.size() - position_);
    if (got > 0) std::memcpy(into, bytes_.data() + position_, got);
    position_ += got;
    return true;
}

bool DecideEncoding(ByteSource& source, DetectedEncoding& encoding) {
    std::unique_ptr<char[]> block(new char[kBlockBytes]);
    size_t got = 0;
    if (!source.rewind() || !ReadFully(source, block.get(), kBlockBytes, got)) return false;
    encoding = DetectEncodingFromHeader(std::string_view(block.get(), got));
    return source.rewind();
}

LineReader::LineReader(ByteSource& source, const DetectedEncoding& encoding)
    : source_(source), encoding_(encoding.encoding), bomToSkip_(encoding.bomLength),
      utf8Required_(encoding.encoding == TextEncoding::Utf8 && encoding.ifNotUtf8.has_value()),
      buffer_(new char[kBlockBytes + kMaxLineBytes + kSlack]()), capacity_(kBlockBytes + kMaxLineBytes) {}

LineReader::~LineReader() = default;

// Moves what is left to the front of the buffer, reads the next block behind it and decodes it.
bool LineReader::refill() {
    if (atEnd_ || failed_ || notUtf8_) return false;
    char* data = buffer_.get();
    std::memmove(data, data + position_, rawEnd_ - position_);
    textEnd_ -= position_;
    rawEnd_ -= position_;
    position_ = 0;
    size_t got = 0;
    if (!ReadFully(source_, data + rawEnd_, capacity_ - rawEnd_, got)) {
        failed_ = true;
        return false;
    }
    atEnd_ = got < capacity_ - rawEnd_;
    fromSource_ += got;
    size_t start = textEnd_;
    rawEnd_ += got;
    if (bomToSkip_ > 0) {
        const size_t skip = std::min(bomToSkip_, rawEnd_ - start);
        std::memmove(data + start, data + start + skip, rawEnd_ - start - skip);
        rawEnd_ -= skip;
        bomToSkip_ -= skip;
    }
    size_t held = 0;
    bool malformed = false;
    const size_t decoded =
        DecodeBlockToWindows1252(data + start, rawEnd_ - start, encoding_, atEnd_, held, malformed);
    if (malformed && utf8Required_) {
        notUtf8_ = true;
        return false;
    }
    std::memmove(data + start + decoded, data + rawEnd_ - held, held);
    textEnd_ = start + decoded;
    rawEnd_ = textEnd_ + held;
    return got > 0 || decoded > 0;
}

// Lines are short: looking at sixteen bytes at a time beats a library search call per line. The
// buffer has slack after the text, so a wide read past the end stays inside it; what it finds
// there is ignored.
const char* LineReader::findLineEnd(const char* p) const {
    const char* const end = buffer_.get() + textEnd_;
#ifdef __SSE2__
    const __m128i lf = _mm_set1_epi8('\n');
    const __m128i cr = _mm_set1_epi8('\r');
    while (p < end) {
        const __m128i chunk = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
        const unsigned mask = static_cast<unsigned>(
            _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi8(chunk, lf), _mm_cmpeq_epi8(chunk, cr))));
        if (mask != 0) return std::min(p + std::countr_zero(mask), end);
        p += 16;
    }
    return end;
#else
    while (p < end && !IsLineEnd(*p)) ++p;
    return p;
#endif
}

uint64_t LineReader::bytesAhead() const {
    const uint64_t total = source_.size();
    const uint64_t unread = total > fromSource_ ? total - fromSource_ : 0;
    return unread + (rawEnd_ - position_);
}

bool LineReader::next(std::string_view& line) {
    char* const data = buffer_.get();
    for (;;) {
        if (lfMayFollow_ && position_ < textEnd_) {
            if (data[position_] == '\n') ++position_;
            lfMayFollow_ = false;
        }
        const char* start = data + position_;
        const char* stop = position_ < textEnd_ ? findLineEnd(start) : start;
        if (stop < data + textEnd_) {
            const size_t length = static_cast<size_t>(stop - start);
            const bool skipped = skippingRest_;
            skippingRest_ = false;
            position_ = static_cast<size_t>(stop - data) + 1;
            if (*stop == '\r') {
                if (position_ < textEnd_) {
                    if (data[position_] == '\n') ++position_;
                } else {
                    lfMayFollow_ = true;
                }
            }
            if (skipped) continue;
            line = std::string_view(start, std::min(length, kMaxLineBytes));
            return true;
        }
        // No end of line in the decoded text.
        const size_t pending = textEnd_ - position_;
        if (skippingRest_) {
            position_ = textEnd_;
        } else if (pending >= kMaxLineBytes) {
            line = std::string_view(start, kMaxLineBytes);
            position_ += kMaxLineBytes;
            skippingRest_ = true;
            return true;
        }
        if (!refill()) {
            if (failed_ || notUtf8_ || position_ >= textEnd_ || skippingRest_) return false;
            line = std::string_view(data + position_, textEnd_ - position_);
            position_ = textEnd_;
            return true;
        }
    }
}

bool ForEachGedcomLine(ByteSource& source, DetectedEncoding& encoding,
                       const std::function<void()>& restart,
                       const std::function<bool(std::string_view line)>& line) {
    if (!DecideEncoding(source, encoding)) return false;
    for (;;) {
        LineReader reader(source, encoding);
        std::string_view text;
        while (reader.next(text))
            if (!line(text)) return true;
        if (!reader.notUtf8()) return !reader.failed();
        encoding.encoding = *encoding.ifNotUtf8;
        encoding.ifNotUtf8.reset();
        if (!source.rewind()) return false;
        restart();
    }
}

} // namespace arbolix
