#pragma once
// Character sets of GEDCOM files and their conversion to Windows-1252, the only text encoding the
// program keeps in memory. UTF-8 is produced only for what is printed.

#include <cstddef>
#include <string>
#include <string_view>

namespace arbolix {

enum class TextEncoding { Windows1252, Utf8, Utf16Le, Utf16Be, Ansel, Cp437, MacRoman };

struct DetectedEncoding {
    TextEncoding encoding = TextEncoding::Utf8;
    size_t bomLength = 0; // bytes of byte-order mark at the start of the file (0, 2 or 3)
    std::string declared; // the header's CHAR value as written (blanks trimmed), "" when none
};

// Decides how a whole GEDCOM file is encoded, in this order:
//  1. a byte-order mark (UTF-8, UTF-16 LE, UTF-16 BE);
//  2. UTF-16 without a mark, recognised by the zero bytes of its first characters;
//  3. the CHAR line of the header record (level 1, before the second level-0 line);
//  4. no CHAR line at all (GEDCOM 7): UTF-8;
//  5. a file declared ANSI-like, or with a CHAR value not recognised, whose bytes are valid UTF-8
//     with at least one multi-byte sequence is UTF-8; otherwise an unrecognised value is ANSEL.
// Only the header is read, except for the UTF-8 checks of rule 5 and of files said to be UTF-8
// (see the .cpp), which stop at the first byte that settles the question.
DetectedEncoding DetectGedcomEncoding(std::string_view bytes);

// The same decision for a file read block by block. The first block (the header record must lie
// in it) answers most questions; some need a survey of the UTF-8 sequences of the whole file:
// then every block, the first one included, goes through survey() until it says to stop.
class EncodingDecision {
public:
    explicit EncodingDecision(std::string_view firstBlock);

    // True while the rest of the file must be surveyed.
    bool wantsSurvey() const { return question_ != Question::None; }
    // Surveys one block. Bytes at its end that start a sequence completed by the next block are
    // left alone and counted in `heldBack`: the caller passes them again at the start of the next
    // block. Returns true once the answer is known (the survey may stop).
    bool survey(std::string_view block, bool lastBlock, size_t& heldBack);
    DetectedEncoding result() const;

private:
    enum class Question { None, AnyValidSequence, AnyInvalidByte };
    enum class Rule { Settled, Utf8UnlessOnlyInvalid, Utf8IfAllValid };

    DetectedEncoding result_;
    Rule rule_ = Rule::Settled;
    TextEncoding otherwise_ = TextEncoding::Utf8; // for Utf8IfAllValid
    Question question_ = Question::None;
    bool anyValid_ = false;
    bool anyInvalid_ = false;
};

// Decodes one block of a file read block by block, in place (the output starts at `data` and
// is never longer than the input). Bytes at the end that begin a character completed by the next
// block are not decoded unless `lastBlock`; their count goes to `heldBack` (they stay at the end
// of the input, after the output). Returns the length of the output. The byte-order mark must
// have been skipped.
size_t DecodeBlockToWindows1252(char* data, size_t size, TextEncoding encoding, bool lastBlock,
                                size_t& heldBack);

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

// True when the bytes are valid UTF-8 and contain at least one multi-byte sequence (pure ASCII
// gives false). Overlong forms, encoded surrogates and values above U+10FFFF are invalid.
bool IsValidUtf8WithMultibyte(std::string_view bytes);

// The Windows-1252 byte of a Unicode code point, '?' when there is none.
char UnicodeToWindows1252(char32_t codePoint);
// The Unicode code point of a Windows-1252 byte (undefined bytes give the C1 control).
char32_t Windows1252ToUnicode(unsigned char byte);

// The upper-case form of a Windows-1252 letter: a..z, à..þ (not ÷), š, œ, ž and ÿ become A..Z,
// À..Þ, Š, Œ, Ž and Ÿ; every other byte, ß among them, stays as it is.
char UpperCase1252(char c);

// Display name: "Windows-1252", "UTF-8", "UTF-16LE", "UTF-16BE", "ANSEL", "CP437", "MacRoman".
const char* EncodingName(TextEncoding encoding);

} // namespace arbolix
