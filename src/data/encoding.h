#pragma once
// Character sets of GEDCOM files and their conversion to Windows-1252, the only text encoding the
// program keeps in memory. UTF-8 is produced only for what is printed.

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace arbolix {

enum class TextEncoding { Windows1252, Utf8, Utf16Le, Utf16Be, Ansel, Cp437, MacRoman };

struct DetectedEncoding {
    TextEncoding encoding = TextEncoding::Utf8;
    size_t bomLength = 0; // bytes of byte-order mark at the start of the file (0, 2 or 3)
    std::string declared; // the header's CHAR value as written (blanks trimmed), "" when none
    // Set when the header leaves the choice to the bytes: the file is UTF-8 (`encoding`) as long
    // as every sequence of bytes above 0x7F is valid UTF-8, and in this encoding otherwise.
    std::optional<TextEncoding> ifNotUtf8;
};

// What the start of a GEDCOM file (the header record must lie in it) says of its encoding, in
// this order:
//  1. a byte-order mark (UTF-8, UTF-16 LE, UTF-16 BE);
//  2. UTF-16 without a mark, recognised by the zero bytes of its first characters;
//  3. the CHAR line of the header record (level 1, before the second level-0 line): ANSEL and
//     the DOS and Macintosh code pages are taken at their word;
//  4. otherwise the bytes decide: UTF-8 when all of them are, else Windows-1252 for a file that
//     says nothing (GEDCOM 7), UTF-8 or ANSI, and ANSEL for a CHAR value not recognised.
// French programs write Windows-1252 under every label (or none), and UTF-8 under ANSI.
DetectedEncoding DetectEncodingFromHeader(std::string_view firstBytes);

// The same decision settled on the whole file (ifNotUtf8 is never left set).
DetectedEncoding DetectGedcomEncoding(std::string_view bytes);

// Decodes one block of a file read block by block, in place (the output starts at `data` and
// is never longer than the input). Bytes at the end that begin a character completed by the next
// block are not decoded unless `lastBlock`; their count goes to `heldBack` (they stay at the end
// of the input, after the output). `malformed` tells whether some UTF-8 input was not well formed
// (each of its bytes gave '?'). Returns the length of the output. The byte-order mark must have
// been skipped.
size_t DecodeBlockToWindows1252(char* data, size_t size, TextEncoding encoding, bool lastBlock,
                                size_t& heldBack, bool& malformed);

// Converts a whole file in place to Windows-1252 (the buffer never grows): removes the byte-order
// mark, decodes, and writes '?' for every character that Windows-1252 cannot represent.
// Ansel and Windows1252 buffers only lose their byte-order mark. Malformed input never fails:
// every byte of a bad UTF-8 sequence, every unpaired UTF-16 surrogate and a trailing odd byte
// become one '?' each; a surrogate pair (a character beyond U+FFFF) becomes a single '?'.
void DecodeToWindows1252(std::string& buffer, const DetectedEncoding& detected);

// Windows-1252 text to UTF-8, for everything the program prints. The five bytes Windows-1252
// leaves undefined (0x81 0x8D 0x8F 0x90 0x9D) become the C1 controls of the same value, so that
// every byte survives the round trip through Utf8ToWindows1252.
std::string Windows1252ToUtf8(std::string_view text);
// UTF-8 text to Windows-1252; '?' for characters without a Windows-1252 form and for each byte
// of a malformed sequence.
std::string Utf8ToWindows1252(std::string_view text);

// True when the bytes are valid UTF-8 (pure ASCII included). Overlong forms, encoded surrogates
// and values above U+10FFFF are invalid.
bool IsValidUtf8(std::string_view bytes);
// True when the bytes are valid UTF-8 and contain at least one multi-byte sequence (pure ASCII
// gives false).
bool IsValidUtf8WithMultibyte(std::string_view bytes);

// The Windows-1252 byte of a Unicode code point, '?' when there is none.
char UnicodeToWindows1252(char32_t codePoint);
// The Unicode code point of a Windows-1252 byte (undefined bytes give the C1 control).
char32_t Windows1252ToUnicode(unsigned char byte);

namespace detail {
extern const std::array<unsigned char, 256> kUpperCase1252;
}
// The upper-case form of a Windows-1252 letter: a..z, à..þ (not ÷), š, œ, ž and ÿ become A..Z,
// À..Þ, Š, Œ, Ž and Ÿ; every other byte, ß among them, stays as it is.
inline char UpperCase1252(char c) {
    return static_cast<char>(detail::kUpperCase1252[static_cast<unsigned char>(c)]);
}

// Display name: "Windows-1252", "UTF-8", "UTF-16LE", "UTF-16BE", "ANSEL", "CP437", "MacRoman".
const char* EncodingName(TextEncoding encoding);

} // namespace arbolix
