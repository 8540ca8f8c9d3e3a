#include "data/encoding.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <utility>

namespace arbolix {
namespace {

using Byte = unsigned char;

// ---------------------------------------------------------------------------------------------
// Tables. Upper halves only: below 0x80 every code page here is ASCII.

// Windows-1252 0x80..0x9F, from Microsoft's cp1252 table. The five bytes it leaves undefined
// (0x81 0x8D 0x8F 0x90 0x9D) are given the C1 control of the same value, as Windows does when
// converting, so that every byte has a code point and comes back unchanged.
constexpr char16_t kCp1252C1Range[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, // 80 € . ‚ ƒ „ … † ‡
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F, // 88 ˆ ‰ Š ‹ Œ . Ž .
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, // 90 . ‘ ’ “ ” • – —
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178, // 98 ˜ ™ š › œ . ž Ÿ
};

// IBM PC code page 437, 0x80..0xFF (Microsoft's cp437_DOSLatinUS table).
constexpr char16_t kCp437High[128] = {
    0x00C7, 0x00FC, 0x00E9, 0x00E2, 0x00E4, 0x00E0, 0x00E5, 0x00E7, // 80 Ç ü é â ä à å ç
    0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0x00EC, 0x00C4, 0x00C5, // 88 ê ë è ï î ì Ä Å
    0x00C9, 0x00E6, 0x00C6, 0x00F4, 0x00F6, 0x00F2, 0x00FB, 0x00F9, // 90 É æ Æ ô ö ò û ù
    0x00FF, 0x00D6, 0x00DC, 0x00A2, 0x00A3, 0x00A5, 0x20A7, 0x0192, // 98 ÿ Ö Ü ¢ £ ¥ ₧ ƒ
    0x00E1, 0x00ED, 0x00F3, 0x00FA, 0x00F1, 0x00D1, 0x00AA, 0x00BA, // A0 á í ó ú ñ Ñ ª º
    0x00BF, 0x2310, 0x00AC, 0x00BD, 0x00BC, 0x00A1, 0x00AB, 0x00BB, // A8 ¿ ⌐ ¬ ½ ¼ ¡ « »
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556, // B0 shades, box drawing
    0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510, // B8
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F, // C0
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567, // C8
    0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B, // D0
    0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580, // D8 ... blocks
    0x03B1, 0x00DF, 0x0393, 0x03C0, 0x03A3, 0x03C3, 0x00B5, 0x03C4, // E0 α ß Γ π Σ σ µ τ
    0x03A6, 0x0398, 0x03A9, 0x03B4, 0x221E, 0x03C6, 0x03B5, 0x2229, // E8 Φ Θ Ω δ ∞ φ ε ∩
    0x2261, 0x00B1, 0x2265, 0x2264, 0x2320, 0x2321, 0x00F7, 0x2248, // F0 ≡ ± ≥ ≤ ⌠ ⌡ ÷ ≈
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0, // F8 ° ∙ · √ ⁿ ² ■ nbsp
};

// Mac OS Roman, 0x80..0xFF (Apple's ROMAN.TXT, Mac OS 8.5 and later: 0xDB is the euro sign).
constexpr char16_t kMacRomanHigh[128] = {
    0x00C4, 0x00C5, 0x00C7, 0x00C9, 0x00D1, 0x00D6, 0x00DC, 0x00E1, // 80 Ä Å Ç É Ñ Ö Ü á
    0x00E0, 0x00E2, 0x00E4, 0x00E3, 0x00E5, 0x00E7, 0x00E9, 0x00E8, // 88 à â ä ã å ç é è
    0x00EA, 0x00EB, 0x00ED, 0x00EC, 0x00EE, 0x00EF, 0x00F1, 0x00F3, // 90 ê ë í ì î ï ñ ó
    0x00F2, 0x00F4, 0x00F6, 0x00F5, 0x00FA, 0x00F9, 0x00FB, 0x00FC, // 98 ò ô ö õ ú ù û ü
    0x2020, 0x00B0, 0x00A2, 0x00A3, 0x00A7, 0x2022, 0x00B6, 0x00DF, // A0 † ° ¢ £ § • ¶ ß
    0x00AE, 0x00A9, 0x2122, 0x00B4, 0x00A8, 0x2260, 0x00C6, 0x00D8, // A8 ® © ™ ´ ¨ ≠ Æ Ø
    0x221E, 0x00B1, 0x2264, 0x2265, 0x00A5, 0x00B5, 0x2202, 0x2211, // B0 ∞ ± ≤ ≥ ¥ µ ∂ ∑
    0x220F, 0x03C0, 0x222B, 0x00AA, 0x00BA, 0x03A9, 0x00E6, 0x00F8, // B8 ∏ π ∫ ª º Ω æ ø
    0x00BF, 0x00A1, 0x00AC, 0x221A, 0x0192, 0x2248, 0x2206, 0x00AB, // C0 ¿ ¡ ¬ √ ƒ ≈ ∆ «
    0x00BB, 0x2026, 0x00A0, 0x00C0, 0x00C3, 0x00D5, 0x0152, 0x0153, // C8 » … nbsp À Ã Õ Œ œ
    0x2013, 0x2014, 0x201C, 0x201D, 0x2018, 0x2019, 0x00F7, 0x25CA, // D0 – — “ ” ‘ ’ ÷ ◊
    0x00FF, 0x0178, 0x2044, 0x20AC, 0x2039, 0x203A, 0xFB01, 0xFB02, // D8 ÿ Ÿ ⁄ € ‹ › ﬁ ﬂ
    0x2021, 0x00B7, 0x201A, 0x201E, 0x2030, 0x00C2, 0x00CA, 0x00C1, // E0 ‡ · ‚ „ ‰ Â Ê Á
    0x00CB, 0x00C8, 0x00CD, 0x00CE, 0x00CF, 0x00CC, 0x00D3, 0x00D4, // E8 Ë È Í Î Ï Ì Ó Ô
    0xF8FF, 0x00D2, 0x00DA, 0x00DB, 0x00D9, 0x0131, 0x02C6, 0x02DC, // F0 Apple Ò Ú Û Ù ı ˆ ˜
    0x00AF, 0x02D8, 0x02D9, 0x02DA, 0x00B8, 0x02DD, 0x02DB, 0x02C7, // F8 ¯ ˘ ˙ ˚ ¸ ˝ ˛ ˇ
};

constexpr char ToWindows1252(char32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<char>(cp);
    if (cp > 0x2122) return '?'; // beyond the last character of the 0x80..0x9F range (™)
    for (int i = 0; i < 32; ++i) {
        if (kCp1252C1Range[i] == cp) return static_cast<char>(0x80 + i);
    }
    return '?';
}

// Every byte of an 8-bit code page straight to its Windows-1252 byte (ASCII maps to itself), so
// that converting a file is one lookup a byte, without branches.
struct ByteTable {
    Byte to1252[256] = {};
};

constexpr ByteTable MakeByteTable(const char16_t (&upperHalf)[128]) {
    ByteTable table;
    for (int i = 0; i < 128; ++i) table.to1252[i] = static_cast<Byte>(i);
    for (int i = 0; i < 128; ++i) {
        table.to1252[128 + i] = static_cast<Byte>(ToWindows1252(upperHalf[i]));
    }
    return table;
}

constexpr std::array<Byte, 256> MakeUpperCaseTable() {
    std::array<Byte, 256> upper{};
    for (int i = 0; i < 256; ++i) upper[i] = static_cast<Byte>(i);
    for (int c = 'a'; c <= 'z'; ++c) upper[c] = static_cast<Byte>(c - 32);
    for (int c = 0xE0; c <= 0xFE; ++c) {
        if (c != 0xF7) upper[c] = static_cast<Byte>(c - 32); // ÷ is no letter
    }
    upper[0x9A] = 0x8A; // š Š
    upper[0x9C] = 0x8C; // œ Œ
    upper[0x9E] = 0x8E; // ž Ž
    upper[0xFF] = 0x9F; // ÿ Ÿ
    return upper;
}
constexpr ByteTable kCp437To1252 = MakeByteTable(kCp437High);
constexpr ByteTable kMacRomanTo1252 = MakeByteTable(kMacRomanHigh);

// ---------------------------------------------------------------------------------------------
// UTF-8 primitives.

constexpr uint64_t kHighBits = 0x8080808080808080ull;

inline uint64_t Load64(const Byte* p) {
    uint64_t word;
    std::memcpy(&word, p, sizeof word);
    return word;
}

// First byte at or after p that is not ASCII (end when there is none), 32 then 8 bytes a step.
inline const Byte* SkipAscii(const Byte* p, const Byte* end) {
    while (end - p >= 32) {
        if ((Load64(p) | Load64(p + 8) | Load64(p + 16) | Load64(p + 24)) & kHighBits) break;
        p += 32;
    }
    while (end - p >= 8 && !(Load64(p) & kHighBits)) p += 8;
    while (p < end && *p < 0x80) ++p;
    return p;
}

inline bool IsContinuation(Byte b) {
    return (b & 0xC0) == 0x80;
}

// Length (2 to 4) of the well-formed UTF-8 sequence starting at p, whose first byte is not
// ASCII, storing its code point; 0 when the bytes there do not form one. The second byte's
// ranges exclude overlong forms, surrogates and values above U+10FFFF.
inline int DecodeSequence(const Byte* p, const Byte* end, char32_t& cp) {
    const Byte lead = p[0];
    const ptrdiff_t available = end - p;
    if (lead >= 0xC2 && lead <= 0xDF) {
        if (available < 2 || !IsContinuation(p[1])) return 0;
        cp = (char32_t(lead & 0x1F) << 6) | (p[1] & 0x3F);
        return 2;
    }
    if (lead >= 0xE0 && lead <= 0xEF) {
        if (available < 3) return 0;
        const Byte low = lead == 0xE0 ? 0xA0 : 0x80;
        const Byte high = lead == 0xED ? 0x9F : 0xBF;
        if (p[1] < low || p[1] > high || !IsContinuation(p[2])) return 0;
        cp = (char32_t(lead & 0x0F) << 12) | (char32_t(p[1] & 0x3F) << 6) | (p[2] & 0x3F);
        return 3;
    }
    if (lead >= 0xF0 && lead <= 0xF4) {
        if (available < 4) return 0;
        const Byte low = lead == 0xF0 ? 0x90 : 0x80;
        const Byte high = lead == 0xF4 ? 0x8F : 0xBF;
        if (p[1] < low || p[1] > high || !IsContinuation(p[2]) || !IsContinuation(p[3])) return 0;
        cp = (char32_t(lead & 0x07) << 18) | (char32_t(p[1] & 0x3F) << 12) |
             (char32_t(p[2] & 0x3F) << 6) | (p[3] & 0x3F);
        return 4;
    }
    return 0;
}

// True when the bytes from p to the end are the beginning of a well-formed sequence that the end
// cuts short (more bytes would complete it).
inline bool IsIncompleteSequence(const Byte* p, const Byte* end) {
    const Byte lead = p[0];
    int needed = 0;
    Byte low = 0x80, high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        needed = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        needed = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        needed = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return false;
    }
    const ptrdiff_t available = end - p;
    if (available >= needed) return false;
    if (available >= 2 && (p[1] < low || p[1] > high)) return false;
    for (ptrdiff_t i = 2; i < available; ++i)
        if (!IsContinuation(p[i])) return false;
    return true;
}

// Decodes the UTF-8 bytes buffer[from..size) into Windows-1252 at the start of the buffer and
// returns the new size. Output never overtakes input (no character takes fewer input bytes than
// output bytes), so the buffer is rewritten in one pass.
size_t DecodeUtf8InPlace(Byte* buffer, size_t from, size_t size, bool& malformed) {
    const Byte* p = buffer + from;
    const Byte* const end = buffer + size;
    Byte* out = buffer;
    while (p < end) {
        if (out == p) {
            // Nothing has been removed yet: ASCII is already where it belongs.
            const Byte* next = SkipAscii(p, end);
            out += next - p;
            p = next;
        } else {
            while (end - p >= 8) {
                const uint64_t word = Load64(p);
                if (word & kHighBits) break;
                std::memcpy(out, &word, sizeof word);
                p += 8;
                out += 8;
            }
            while (p < end && *p < 0x80) *out++ = *p++;
        }
        if (p == end) break;
        char32_t cp = 0;
        const int length = DecodeSequence(p, end, cp);
        if (length == 0) {
            malformed = true;
            *out++ = '?';
            ++p;
        } else {
            *out++ = static_cast<Byte>(ToWindows1252(cp));
            p += length;
        }
    }
    return static_cast<size_t>(out - buffer);
}


// ---------------------------------------------------------------------------------------------
// UTF-16.

template <bool kLittleEndian> inline unsigned Utf16Unit(const Byte* p) {
    return kLittleEndian ? unsigned(p[0]) | (unsigned(p[1]) << 8)
                         : (unsigned(p[0]) << 8) | unsigned(p[1]);
}

template <bool kLittleEndian> size_t DecodeUtf16InPlace(Byte* buffer, size_t from, size_t size) {
    const Byte* p = buffer + from;
    const Byte* const end = buffer + size;
    Byte* out = buffer;
    constexpr int kLow = kLittleEndian ? 0 : 1; // offset of the low byte of a unit
    constexpr int kHigh = 1 - kLow;
    while (end - p >= 2) {
        // Four ASCII characters at a time. All are read before any is written: the output may
        // still overlap the bytes being read near the start of the buffer.
        while (end - p >= 8) {
            const Byte a = p[kLow], b = p[2 + kLow], c = p[4 + kLow], d = p[6 + kLow];
            if (((a | b | c | d) & 0x80) || (p[kHigh] | p[2 + kHigh] | p[4 + kHigh] | p[6 + kHigh]))
                break;
            out[0] = a;
            out[1] = b;
            out[2] = c;
            out[3] = d;
            out += 4;
            p += 8;
        }
        if (end - p < 2) break;
        const unsigned unit = Utf16Unit<kLittleEndian>(p);
        p += 2;
        if (unit < 0xD800 || unit > 0xDFFF) {
            *out++ = static_cast<Byte>(ToWindows1252(unit));
            continue;
        }
        // A character beyond U+FFFF has no Windows-1252 form: one '?' for the whole pair.
        if (unit <= 0xDBFF && end - p >= 2) {
            const unsigned next = Utf16Unit<kLittleEndian>(p);
            if (next >= 0xDC00 && next <= 0xDFFF) p += 2;
        }
        *out++ = '?';
    }
    if (p < end) *out++ = '?'; // odd trailing byte
    return static_cast<size_t>(out - buffer);
}

// UTF-16 without a byte-order mark: a GEDCOM file starts with ASCII ("0 HEAD"), so among its
// first characters one byte of each pair is zero, the same one every time.
enum class Utf16Guess { None, LittleEndian, BigEndian };

Utf16Guess GuessUtf16(std::string_view bytes) {
    const size_t units = std::min<size_t>(bytes.size() / 2, 32);
    if (units == 0) return Utf16Guess::None;
    size_t zeroEven = 0, zeroOdd = 0;
    for (size_t i = 0; i < units; ++i) {
        zeroEven += bytes[2 * i] == '\0';
        zeroOdd += bytes[2 * i + 1] == '\0';
    }
    // Three quarters of the units with their zero on one side and few on the other.
    const auto clear = [units](size_t many, size_t few) {
        return many * 4 >= units * 3 && few * 4 <= units && few < many;
    };
    if (clear(zeroOdd, zeroEven)) return Utf16Guess::LittleEndian;
    if (clear(zeroEven, zeroOdd)) return Utf16Guess::BigEndian;
    return Utf16Guess::None;
}

// ---------------------------------------------------------------------------------------------
// The CHAR line of the header.

struct HeaderChar {
    bool found = false;
    std::string value;
};

inline bool IsBlank(char32_t c) {
    return c == ' ' || c == '\t';
}
inline bool IsLineEnd(char32_t c) {
    return c == '\r' || c == '\n';
}
inline bool IsDigit(char32_t c) {
    return c >= '0' && c <= '9';
}
inline char32_t AsciiUpper(char32_t c) {
    return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c;
}

// Looks for the first "1 CHAR value" line among the lines before the second level-0 line (the
// header record). unitAt(i) gives the i-th character, so that 8-bit and UTF-16 files share it.
// Lines may end with CR, LF or CRLF, be indented, be blank, or not look like GEDCOM at all.
template <class UnitAt> HeaderChar FindHeaderChar(size_t count, UnitAt unitAt) {
    size_t i = 0;
    int levelZeroLines = 0;
    while (i < count) {
        size_t lineEnd = i;
        while (lineEnd < count && !IsLineEnd(unitAt(lineEnd))) ++lineEnd;
        size_t k = i;
        while (k < lineEnd && IsBlank(unitAt(k))) ++k;
        if (k < lineEnd && IsDigit(unitAt(k))) {
            int level = 0;
            for (; k < lineEnd && IsDigit(unitAt(k)); ++k) {
                if (level < 1000) level = level * 10 + int(unitAt(k) - '0');
            }
            if (k == lineEnd || IsBlank(unitAt(k))) {
                if (level == 0 && ++levelZeroLines == 2) break;
                if (level == 1) {
                    while (k < lineEnd && IsBlank(unitAt(k))) ++k;
                    if (k < lineEnd && unitAt(k) == '@') { // cross-reference id, not expected here
                        while (k < lineEnd && !IsBlank(unitAt(k))) ++k;
                        while (k < lineEnd && IsBlank(unitAt(k))) ++k;
                    }
                    size_t tagEnd = k;
                    while (tagEnd < lineEnd && !IsBlank(unitAt(tagEnd))) ++tagEnd;
                    static constexpr char kTag[] = "CHAR";
                    bool isChar = tagEnd - k == 4;
                    for (size_t t = 0; isChar && t < 4; ++t) {
                        isChar = AsciiUpper(unitAt(k + t)) == char32_t(kTag[t]);
                    }
                    if (isChar) {
                        size_t valueBegin = tagEnd, valueEnd = lineEnd;
                        while (valueBegin < valueEnd && IsBlank(unitAt(valueBegin))) ++valueBegin;
                        while (valueEnd > valueBegin && IsBlank(unitAt(valueEnd - 1))) --valueEnd;
                        HeaderChar result{true, {}};
                        for (size_t v = valueBegin; v < valueEnd; ++v) {
                            const char32_t c = unitAt(v);
                            result.value.push_back(c < 0x100 ? static_cast<char>(c) : '?');
                        }
                        return result;
                    }
                }
            }
        }
        i = lineEnd;
        while (i < count && IsLineEnd(unitAt(i))) ++i;
    }
    return {};
}

HeaderChar FindHeaderChar8(std::string_view bytes) {
    const Byte* data = reinterpret_cast<const Byte*>(bytes.data());
    return FindHeaderChar(bytes.size(), [data](size_t i) { return char32_t(data[i]); });
}

template <bool kLittleEndian> HeaderChar FindHeaderChar16(std::string_view bytes) {
    const Byte* data = reinterpret_cast<const Byte*>(bytes.data());
    return FindHeaderChar(bytes.size() / 2, [data](size_t i) {
        return char32_t(Utf16Unit<kLittleEndian>(data + 2 * i));
    });
}

// What a CHAR value announces.
enum class CharsetFamily { Utf8, Ansel, Ansi, Cp437, MacRoman, Unknown };

CharsetFamily ClassifyCharValue(std::string_view value) {
    struct Alias {
        const char* name;
        CharsetFamily family;
    };
    // "UNICODE" formally means UTF-16; a file that declares it without being UTF-16 (which is
    // recognised before the header is read) is UTF-8 in practice.
    static constexpr Alias kAliases[] = {
        {"UTF-8", CharsetFamily::Utf8},         {"UTF8", CharsetFamily::Utf8},
        {"UNICODE", CharsetFamily::Utf8},       {"ANSEL", CharsetFamily::Ansel},
        {"ANSI", CharsetFamily::Ansi},          {"ASCII", CharsetFamily::Ansi},
        {"IBM WINDOWS", CharsetFamily::Ansi},   {"WINDOWS-1252", CharsetFamily::Ansi},
        {"WINDOWS1252", CharsetFamily::Ansi},   {"CP1252", CharsetFamily::Ansi},
        {"ISO-8859-1", CharsetFamily::Ansi},    {"ISO8859-1", CharsetFamily::Ansi},
        {"ISO_8859-1", CharsetFamily::Ansi},    {"LATIN1", CharsetFamily::Ansi},
        {"LATIN-1", CharsetFamily::Ansi},       {"IBMPC", CharsetFamily::Cp437},
        {"IBM PC", CharsetFamily::Cp437},       {"IBM DOS", CharsetFamily::Cp437},
        {"CP437", CharsetFamily::Cp437},        {"MSDOS", CharsetFamily::Cp437},
        {"MACINTOSH", CharsetFamily::MacRoman}, {"MAC", CharsetFamily::MacRoman},
        {"MACROMAN", CharsetFamily::MacRoman},
    };
    while (!value.empty() && IsBlank(char32_t(value.front()))) value.remove_prefix(1);
    while (!value.empty() && IsBlank(char32_t(value.back()))) value.remove_suffix(1);
    for (const Alias& alias : kAliases) {
        const std::string_view name = alias.name;
        if (name.size() != value.size()) continue;
        bool same = true;
        for (size_t i = 0; same && i < name.size(); ++i) {
            same = AsciiUpper(char32_t(Byte(value[i]))) == char32_t(name[i]);
        }
        if (same) return alias.family;
    }
    return CharsetFamily::Unknown;
}


} // namespace

namespace detail {
extern const std::array<unsigned char, 256> kUpperCase1252 = MakeUpperCaseTable();
}

// -------------------------------------------------------------------------------------------------

DetectedEncoding DetectEncodingFromHeader(std::string_view bytes) {
    const auto startsWith = [bytes](std::string_view mark) {
        return bytes.substr(0, mark.size()) == mark;
    };
    if (startsWith("\xEF\xBB\xBF"))
        return {TextEncoding::Utf8, 3, FindHeaderChar8(bytes.substr(3)).value, {}};
    if (startsWith("\xFF\xFE"))
        return {TextEncoding::Utf16Le, 2, FindHeaderChar16<true>(bytes.substr(2)).value, {}};
    if (startsWith("\xFE\xFF"))
        return {TextEncoding::Utf16Be, 2, FindHeaderChar16<false>(bytes.substr(2)).value, {}};
    switch (GuessUtf16(bytes)) {
    case Utf16Guess::LittleEndian:
        return {TextEncoding::Utf16Le, 0, FindHeaderChar16<true>(bytes).value, {}};
    case Utf16Guess::BigEndian:
        return {TextEncoding::Utf16Be, 0, FindHeaderChar16<false>(bytes).value, {}};
    case Utf16Guess::None:
        break;
    }

    HeaderChar header = FindHeaderChar8(bytes);
    DetectedEncoding result{TextEncoding::Utf8, 0, std::move(header.value), {}};
    switch (header.found ? ClassifyCharValue(result.declared) : CharsetFamily::Utf8) {
    case CharsetFamily::Ansel: result.encoding = TextEncoding::Ansel; break;
    case CharsetFamily::Cp437: result.encoding = TextEncoding::Cp437; break;
    case CharsetFamily::MacRoman: result.encoding = TextEncoding::MacRoman; break;
    case CharsetFamily::Utf8:
    case CharsetFamily::Ansi:
        // Decoded as UTF-8, a Windows-1252 file would lose every accented letter to '?'.
        result.ifNotUtf8 = TextEncoding::Windows1252;
        break;
    case CharsetFamily::Unknown:
        // ANSEL has always been the default for anything not declared ANSI.
        result.ifNotUtf8 = TextEncoding::Ansel;
        break;
    }
    return result;
}

DetectedEncoding DetectGedcomEncoding(std::string_view bytes) {
    DetectedEncoding result = DetectEncodingFromHeader(bytes);
    if (result.ifNotUtf8) {
        if (!IsValidUtf8(bytes)) result.encoding = *result.ifNotUtf8;
        result.ifNotUtf8.reset();
    }
    return result;
}

size_t DecodeBlockToWindows1252(char* text, size_t size, TextEncoding encoding, bool lastBlock,
                                size_t& heldBack, bool& malformed) {
    Byte* data = reinterpret_cast<Byte*>(text);
    heldBack = 0;
    malformed = false;
    switch (encoding) {
    case TextEncoding::Windows1252:
    case TextEncoding::Ansel: return size;
    case TextEncoding::Cp437:
    case TextEncoding::MacRoman: {
        const Byte* table = (encoding == TextEncoding::Cp437 ? kCp437To1252 : kMacRomanTo1252).to1252;
        for (size_t i = 0; i < size; ++i) data[i] = table[data[i]];
        return size;
    }
    case TextEncoding::Utf8:
        if (!lastBlock) {
            // At most the last three bytes can be the start of an unfinished sequence.
            for (size_t back = 1; back <= 3 && back <= size; ++back) {
                const Byte* p = data + size - back;
                if (!IsContinuation(*p)) {
                    if (*p >= 0x80 && IsIncompleteSequence(p, data + size)) heldBack = back;
                    break;
                }
            }
        }
        return DecodeUtf8InPlace(data, 0, size - heldBack, malformed);
    case TextEncoding::Utf16Le:
    case TextEncoding::Utf16Be: {
        if (!lastBlock) {
            heldBack = size % 2;
            // A high surrogate waits for its partner.
            if (size - heldBack >= 2) {
                const Byte* unit = data + size - heldBack - 2;
                const unsigned value = encoding == TextEncoding::Utf16Le ? Utf16Unit<true>(unit)
                                                                         : Utf16Unit<false>(unit);
                if (value >= 0xD800 && value <= 0xDBFF) heldBack += 2;
            }
        }
        return encoding == TextEncoding::Utf16Le ? DecodeUtf16InPlace<true>(data, 0, size - heldBack)
                                                 : DecodeUtf16InPlace<false>(data, 0, size - heldBack);
    }
    }
    return size;
}

void DecodeToWindows1252(std::string& buffer, const DetectedEncoding& detected) {
    const size_t bom = std::min(detected.bomLength, buffer.size());
    Byte* data = reinterpret_cast<Byte*>(buffer.data());
    const size_t size = buffer.size();
    size_t newSize = 0;
    switch (detected.encoding) {
    case TextEncoding::Windows1252:
    case TextEncoding::Ansel:
        buffer.erase(0, bom);
        return;
    case TextEncoding::Utf8: {
        bool malformed = false;
        newSize = DecodeUtf8InPlace(data, bom, size, malformed);
        break;
    }
    case TextEncoding::Utf16Le:
        newSize = DecodeUtf16InPlace<true>(data, bom, size);
        break;
    case TextEncoding::Utf16Be:
        newSize = DecodeUtf16InPlace<false>(data, bom, size);
        break;
    case TextEncoding::Cp437:
    case TextEncoding::MacRoman: {
        const Byte* table =
            (detected.encoding == TextEncoding::Cp437 ? kCp437To1252 : kMacRomanTo1252).to1252;
        for (size_t i = bom; i < size; ++i) data[i - bom] = table[data[i]];
        newSize = size - bom;
        break;
    }
    }
    buffer.resize(newSize);
}

std::string Windows1252ToUtf8(std::string_view text) {
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    const Byte* p = reinterpret_cast<const Byte*>(text.data());
    const Byte* const end = p + text.size();
    while (p < end) {
        const Byte* run = SkipAscii(p, end);
        out.append(reinterpret_cast<const char*>(p), size_t(run - p));
        p = run;
        if (p == end) break;
        const char32_t cp = Windows1252ToUnicode(*p++);
        if (cp < 0x800) {
            out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        } else {
            out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
            out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        }
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
    return out;
}

std::string Utf8ToWindows1252(std::string_view text) {
    std::string out(text);
    bool malformed = false;
    out.resize(DecodeUtf8InPlace(reinterpret_cast<Byte*>(out.data()), 0, out.size(), malformed));
    return out;
}

bool IsValidUtf8(std::string_view bytes) {
    const Byte* p = reinterpret_cast<const Byte*>(bytes.data());
    const Byte* const end = p + bytes.size();
    for (;;) {
        p = SkipAscii(p, end);
        if (p == end) return true;
        char32_t cp = 0;
        const int length = DecodeSequence(p, end, cp);
        if (length == 0) return false;
        p += length;
    }
}

bool IsValidUtf8WithMultibyte(std::string_view bytes) {
    const Byte* p = reinterpret_cast<const Byte*>(bytes.data());
    const Byte* const end = p + bytes.size();
    bool multibyte = false;
    for (;;) {
        p = SkipAscii(p, end);
        if (p == end) return multibyte;
        char32_t cp = 0;
        const int length = DecodeSequence(p, end, cp);
        if (length == 0) return false;
        multibyte = true;
        p += length;
    }
}

char UnicodeToWindows1252(char32_t codePoint) {
    return ToWindows1252(codePoint);
}

char32_t Windows1252ToUnicode(unsigned char byte) {
    return byte >= 0x80 && byte < 0xA0 ? char32_t(kCp1252C1Range[byte - 0x80]) : char32_t(byte);
}

const char* EncodingName(TextEncoding encoding) {
    switch (encoding) {
    case TextEncoding::Windows1252:
        return "Windows-1252";
    case TextEncoding::Utf8:
        return "UTF-8";
    case TextEncoding::Utf16Le:
        return "UTF-16LE";
    case TextEncoding::Utf16Be:
        return "UTF-16BE";
    case TextEncoding::Ansel:
        return "ANSEL";
    case TextEncoding::Cp437:
        return "CP437";
    case TextEncoding::MacRoman:
        return "MacRoman";
    }
    return "?";
}

} // namespace arbolix
