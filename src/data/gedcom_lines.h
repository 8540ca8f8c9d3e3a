#pragma once
// The lines of a GEDCOM file, read block by block and decoded to Windows-1252 on the way, so that
// a file of any size goes through one fixed buffer.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "data/encoding.h"

namespace arbolix {

constexpr size_t kMaxLineBytes = 4095;

// Where the bytes come from: a file or a block of memory. Both can start again from the top.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Fills `into` with up to `capacity` bytes; `got` is 0 at the end. False on a read error.
    virtual bool read(char* into, size_t capacity, size_t& got) = 0;
    virtual bool rewind() = 0;
    // Total size in bytes.
    virtual uint64_t size() const = 0;
};

class FileSource final : public ByteSource {
public:
    ~FileSource() override;
    // Opens a regular file for reading; false otherwise, with the reason in `reason`: the
    // system's text for the error, that of EISDIR for a folder, or "pas un fichier ordinaire" for
    // a pipe, a device or a socket, which are refused at once instead of being waited on.
    bool open(const std::string& path, std::string& reason);
    bool read(char* into, size_t capacity, size_t& got) override;
    bool rewind() override;
    uint64_t size() const override { return size_; }

private:
    int fd_ = -1;
    uint64_t size_ = 0;
};

class MemorySource final : public ByteSource {
public:
    explicit MemorySource(std::string_view bytes) : bytes_(bytes) {}
    bool read(char* into, size_t capacity, size_t& got) override;
    bool rewind() override {
        position_ = 0;
        return true;
    }
    uint64_t size() const override { return bytes_.size(); }

private:
    std::string_view bytes_;
    size_t position_ = 0;
};

// What the header of the source says of its encoding (DetectEncodingFromHeader), leaving the
// source rewound. False on a read error.
bool DecideEncoding(ByteSource& source, DetectedEncoding& encoding);

// Walks the lines of a source, decoded to Windows-1252. CR LF, LF and CR alone all end a line;
// the end of line is not part of the line. A line longer than kMaxLineBytes is cut there and the
// rest of it skipped. A line stays valid until the next call. When the encoding is UTF-8 only
// if the bytes are (ifNotUtf8), the walk stops at the first block holding a byte that is not.
class LineReader {
public:
    LineReader(ByteSource& source, const DetectedEncoding& encoding);
    ~LineReader();
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    // False at the end of the source, after a read error or at bytes that are not UTF-8.
    bool next(std::string_view& line);
    bool failed() const { return failed_; }
    // The file is not UTF-8 after all: it must be read again in encoding.ifNotUtf8.
    bool notUtf8() const { return notUtf8_; }
    // At least as many bytes as the source still holds after the last line handed out.
    uint64_t bytesAhead() const;

private:
    bool refill();
    const char* findLineEnd(const char* from) const;

    ByteSource& source_;
    TextEncoding encoding_;
    size_t bomToSkip_;
    bool utf8Required_;
    std::unique_ptr<char[]> buffer_;
    size_t capacity_;
    size_t position_ = 0; // first byte of text not handed out yet
    size_t textEnd_ = 0;  // end of the decoded text
    size_t rawEnd_ = 0;   // end of the bytes read (held-back bytes between textEnd_ and rawEnd_)
    bool atEnd_ = false;  // the source has nothing more
    bool failed_ = false;
    bool notUtf8_ = false;
    uint64_t fromSource_ = 0;   // bytes read from the source
    bool skippingRest_ = false; // inside the rest of an over-long line
    bool lfMayFollow_ = false;  // the last line ended with CR at the end of the decoded text
};

// Every line of a source, decoded to Windows-1252, with the encoding settled on the way: a file
// taken for UTF-8 that turns out not to be is walked again from the top in its other encoding,
// after `restart` has been called so that the caller drops what it gathered. `line` returns false
// to stop the walk. `encoding` ends as the encoding the lines were decoded from. False on a read
// error.
bool ForEachGedcomLine(ByteSource& source, DetectedEncoding& encoding,
                       const std::function<void()>& restart,
                       const std::function<bool(std::string_view line)>& line);

} // namespace arbolix
