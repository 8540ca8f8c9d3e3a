#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

#include "data/encoding.h"
#include "support/test_support.h"

namespace arbolix {
namespace {

// "é è ê à ç ô œ Œ € ’" in Windows-1252, and the same text in UTF-8 and UTF-16.
const std::string kFrench1252 = "\xE9 \xE8 \xEA \xE0 \xE7 \xF4 \x9C \x8C \x80 \x92";
const std::string kFrenchUtf8 = "é è ê à ç ô œ Œ € ’";
const std::u16string kFrenchUtf16 = u"é è ê à ç ô œ Œ € ’";

std::string Utf16Bytes(std::u16string_view text, bool littleEndian, bool withMark = false) {
    std::string out;
    if (withMark) out = littleEndian ? "\xFF\xFE" : "\xFE\xFF";
    for (char16_t unit : text) {
        const char low = static_cast<char>(unit & 0xFF), high = static_cast<char>(unit >> 8);
        out += littleEndian ? std::string{low, high} : std::string{high, low};
    }
    return out;
}

std::string Decoded(std::string bytes, TextEncoding encoding, size_t bomLength = 0) {
    DecodeToWindows1252(bytes, {encoding, bomLength, ""});
    return bytes;
}

std::string Header(std::string_view charValue, std::string_view body = "") {
    return "0 HEAD\n1 SOUR ARBOLIX\n1 CHAR " + std::string(charValue) + "\n0 @I1@ INDI\n1 NAME " +
           std::string(body) + "\n0 TRLR\n";
}

// The decision in its order: a byte-order mark, the zero bytes of UTF-16 without one, the
// header's CHAR line, UTF-8 without one, and the content of files said to be ANSI, UTF-8 or of an
// unknown kind.
TEST(DetectGedcomEncoding, DecidesByMarkZerosCharLineAndContent) {
    using E = TextEncoding;
    const std::u16string head16 = u"0 HEAD\r\n1 CHAR ANSEL\r\n0 TRLR\r\n";
    const std::u16string bare16 = u"0 HEAD\n  1 CHAR UNICODE\n0 TRLR\n";
    const std::string longAscii(100, 'x'); // pushes the decisive byte past the 32-byte steps
    const struct {
        std::string bytes;
        TextEncoding encoding;
        size_t bomLength;
        std::string declared;
    } cases[] = {
        // Marks come before the declared value.
        {"\xEF\xBB\xBF" + Header("ANSEL"), E::Utf8, 3, "ANSEL"},
        {Utf16Bytes(head16, true, true), E::Utf16Le, 2, "ANSEL"},
        {Utf16Bytes(head16, false, true), E::Utf16Be, 2, "ANSEL"},
        {Utf16Bytes(bare16, true), E::Utf16Le, 0, "UNICODE"},
        {Utf16Bytes(bare16, false), E::Utf16Be, 0, "UNICODE"},
        {std::string("0\0", 2), E::Utf16Le, 0, ""},
        // No CHAR line in the header (GEDCOM 7), or no header at all: UTF-8.
        {"0 HEAD\n1 GEDC\n2 VERS 7.0\n0 @I1@ INDI\n1 CHAR ANSEL\n0 TRLR\n", E::Utf8, 0, ""},
        {"0 @I1@ INDI\n1 NAME Jean\n", E::Utf8, 0, ""},
        {"", E::Utf8, 0, ""},
        {"\n\n  \n", E::Utf8, 0, ""},
        {"garbage without lines", E::Utf8, 0, ""},
        // ANSI and unknown values holding valid UTF-8 are UTF-8; one byte that is not UTF-8
        // after a valid sequence settles it the other way.
        {Header("ANSI", longAscii + "Andr\xC3\xA9"), E::Utf8, 0, "ANSI"},
        {Header("ANSI", longAscii + "Andr\xE9"), E::Windows1252, 0, "ANSI"},
        {Header("ASCII", longAscii), E::Windows1252, 0, "ASCII"},
        {Header("ANSI", "\xC3\xA9" + longAscii + "\xE9"), E::Windows1252, 0, "ANSI"},
        {Header("GENEWEB", "\xE2\x80\x99"), E::Utf8, 0, "GENEWEB"},
        {Header("GENEWEB", "\xE2\x65"), E::Ansel, 0, "GENEWEB"},
        {Header("ANSEL", "Andr\xC3\xA9"), E::Ansel, 0, "ANSEL"},
        {Header("IBMPC", "Andr\xC3\xA9"), E::Cp437, 0, "IBMPC"},
        // UTF-8 without any valid sequence is read as Windows-1252, but a single damaged byte
        // in a file with real UTF-8 keeps it UTF-8.
        {Header("UTF-8", "Andr\xE9 L\xE9on"), E::Windows1252, 0, "UTF-8"},
        {"0 HEAD\n0 @I1@ INDI\n1 NAME Andr\xE9\n", E::Windows1252, 0, ""},
        {"0 HEAD\n0 @I1@ INDI\n1 NAME Andr\xC3\xA9\n", E::Utf8, 0, ""},
        {Header("UTF-8", "Andr\xE9 L\xC3\xA9on"), E::Utf8, 0, "UTF-8"},
        {Header("UNICODE", "Jean"), E::Utf8, 0, "UNICODE"},
    };
    for (const auto& c : cases) {
        const DetectedEncoding detected = DetectGedcomEncoding(c.bytes);
        EXPECT_EQ(detected.encoding, c.encoding) << c.bytes;
        EXPECT_EQ(detected.bomLength, c.bomLength) << c.bytes;
        EXPECT_EQ(detected.declared, c.declared) << c.bytes;
    }
}

TEST(DetectGedcomEncoding, MapsCharValuesWhateverTheirCaseAndBlanks) {
    using E = TextEncoding;
    const std::vector<std::pair<TextEncoding, std::vector<std::string>>> cases = {
        {E::Utf8, {"UTF-8", "utf8", "Unicode"}},
        {E::Ansel, {"ANSEL", "EBCDIC", ""}},
        {E::Windows1252,
         {"ANSI", "ascii", "IBM WINDOWS", "Windows-1252", "CP1252", "ISO-8859-1", "ISO8859-1",
          "Latin1"}},
        {E::Cp437, {"IBMPC", "IBM DOS", "cp437", "MSDOS"}},
        {E::MacRoman, {"MACINTOSH", "Mac"}},
    };
    for (const auto& [expected, values] : cases) {
        for (const std::string& value : values) {
            const DetectedEncoding detected =
                DetectGedcomEncoding(Header(" \t" + value + "  ", "Jean"));
            EXPECT_EQ(detected.encoding, expected) << "CHAR " << value;
            EXPECT_EQ(detected.declared, value);
        }
    }
}

TEST(DetectGedcomEncoding, FindsTheCharLineOfTheHeaderWhateverTheLineEnds) {
    for (const char* eol : {"\n", "\r", "\r\n", "\n\r"}) {
        const std::string e = eol;
        const std::string file = "0 HEAD" + e + e + "\t1 SOUR X" + e + "  2 CHAR ANSI" + e +
                                 "   1   CHAR   IBMPC" + e + "1 CHAR ANSEL" + e + "0 TRLR" + e;
        const DetectedEncoding detected = DetectGedcomEncoding(file);
        EXPECT_EQ(detected.encoding, TextEncoding::Cp437);
        EXPECT_EQ(detected.declared, "IBMPC");
    }
    EXPECT_EQ(DetectGedcomEncoding("0 HEAD\n1 Char MACINTOSH\n").encoding, TextEncoding::MacRoman);
    // Not CHAR lines: another tag that starts alike, a level number glued to its tag.
    EXPECT_EQ(DetectGedcomEncoding("0 HEAD\n1 CHARSET ANSEL\n1CHAR ANSEL\n0 TRLR\n").declared, "");
}

// (Byte-order marks are left to AccentsKeepTheirPlaceAmongAsciiRuns.)
TEST(DecodeToWindows1252, FrenchTextInEveryEncoding) {
    EXPECT_EQ(Decoded(kFrenchUtf8, TextEncoding::Utf8), kFrench1252);
    EXPECT_EQ(Decoded(Utf16Bytes(kFrenchUtf16, true), TextEncoding::Utf16Le), kFrench1252);
    EXPECT_EQ(Decoded(Utf16Bytes(kFrenchUtf16, false), TextEncoding::Utf16Be), kFrench1252);
    EXPECT_EQ(Decoded("\x8E \x8F \x90 \x88 \x8D \x99 \xCF \xCE \xDB \xD5", TextEncoding::MacRoman),
              kFrench1252);
    // Code page 437 has no œ, Œ, € or ’.
    EXPECT_EQ(Decoded("\x82 \x8A \x88 \x85 \x87 \x93 \x90", TextEncoding::Cp437),
              "\xE9 \xE8 \xEA \xE0 \xE7 \xF4 \xC9");
    EXPECT_EQ(Decoded(kFrench1252, TextEncoding::Windows1252), kFrench1252);
    // ANSEL is converted later by the reader: the bytes stay, only a mark goes.
    EXPECT_EQ(Decoded("\xEF\xBB\xBF\x41ndr\xE2\x65", TextEncoding::Ansel, 3), "Andr\xE2\x65");
}

TEST(DecodeToWindows1252, CodePageUpperHalvesFollowTheirCharts) {
    std::string upperHalf;
    for (int b = 0x80; b <= 0xFF; ++b) upperHalf.push_back(static_cast<char>(b));
    EXPECT_EQ(Windows1252ToUtf8(Decoded(upperHalf, TextEncoding::Cp437)),
              "ÇüéâäàåçêëèïîìÄÅÉæÆôöòûùÿÖÜ¢£¥?ƒáíóúñÑªº¿?¬½¼¡«»????????????????"
              "?????????????????????????????????ß????µ??????????±????÷?°?·??²?\u00A0");
    EXPECT_EQ(Windows1252ToUtf8(Decoded(upperHalf, TextEncoding::MacRoman)),
              "ÄÅÇÉÑÖÜáàâäãåçéèêëíìîïñóòôöõúùûü†°¢£§•¶ß®©™´¨?ÆØ?±??¥µ?????ªº?æø"
              "¿¡¬?ƒ??«»…\u00A0ÀÃÕŒœ–—“”‘’÷?ÿŸ?€‹›??‡·‚„‰ÂÊÁËÈÍÎÏÌÓÔ?ÒÚÛÙ?ˆ˜¯???¸???");
}

TEST(DecodeToWindows1252, CharactersWithoutAWindows1252FormBecomeOneQuestionMark) {
    EXPECT_EQ(Decoded("Łódź 中 😀 \u0080\u0081", TextEncoding::Utf8), "?\xF3\x64? ? ? ?\x81");
    const std::u16string text = u"Łódź 中 😀!";
    EXPECT_EQ(Decoded(Utf16Bytes(text, true), TextEncoding::Utf16Le), "?\xF3\x64? ? ?!");
    EXPECT_EQ(Decoded(Utf16Bytes(text, false), TextEncoding::Utf16Be), "?\xF3\x64? ? ?!");
}

TEST(DecodeToWindows1252, MalformedInputGivesOneQuestionMarkPerBadByteOrUnit) {
    const std::vector<std::pair<std::string, std::string>> utf8 = {
        {"a\x80z", "a?z"},                      // lone continuation byte
        {"a\xE9\x82z", "a??z"},                 // truncated sequence
        {"\xC0\xAF\xE0\x80\xAF", "?????"},      // overlong forms
        {"\xED\xA0\x80", "???"},                // encoded surrogate
        {"\xF4\x90\x80\x80\xF5\xFF", "??????"}, // beyond U+10FFFF, bytes never used
        {"abc\xC3", "abc?"},                    // cut at the end
    };
    for (const auto& [bytes, expected] : utf8) {
        EXPECT_EQ(Decoded(bytes, TextEncoding::Utf8), expected);
        EXPECT_EQ(Utf8ToWindows1252(bytes), expected);
    }
    // Odd byte count, unpaired surrogates (high before 'A', low alone, high at the end).
    EXPECT_EQ(Decoded(std::string("A\0B", 3), TextEncoding::Utf16Le), "A?");
    EXPECT_EQ(Decoded(std::string("\xFF\xFE\x00\xD8\x41\0\x00\xDC\x5A\0\x00\xD8", 12),
                      TextEncoding::Utf16Le, 2),
              "?A?Z?");
    EXPECT_EQ(Decoded(std::string("\xD8", 1), TextEncoding::Utf16Be), "?");
}

TEST(DecodeToWindows1252, AccentsKeepTheirPlaceAmongAsciiRuns) {
    // Accents at every offset around the 8- and 32-byte steps of the ASCII fast paths, with and
    // without a mark (which makes the decoder move every byte).
    const std::string letters = "abcdefghijklmnopqrstuvwxyz0123456789ABCDEFGHIJKLMNOP";
    for (size_t before = 0; before < 40; ++before) {
        const std::string pad = letters.substr(0, before), tail = letters.substr(9, before / 2 + 9);
        const std::string expected = pad + "\xE9" + tail + "\x80" + pad;
        const std::u16string pad16(pad.begin(), pad.end()), tail16(tail.begin(), tail.end());
        const std::u16string text16 = pad16 + u"é" + tail16 + u"€" + pad16;
        const std::string utf8 = pad + "é" + tail + "€" + pad;
        EXPECT_EQ(Decoded(utf8, TextEncoding::Utf8), expected) << before;
        EXPECT_EQ(Decoded("\xEF\xBB\xBF" + utf8, TextEncoding::Utf8, 3), expected) << before;
        EXPECT_EQ(Decoded(Utf16Bytes(text16, true), TextEncoding::Utf16Le), expected) << before;
        EXPECT_EQ(Decoded(Utf16Bytes(text16, false, true), TextEncoding::Utf16Be, 2), expected);
        EXPECT_EQ(Windows1252ToUtf8(expected), utf8) << before;
    }
}

TEST(Windows1252Utf8, EveryByteSurvivesTheRoundTrip) {
    std::string all;
    for (int b = 1; b <= 0xFF; ++b) all.push_back(static_cast<char>(b));
    const std::string utf8 = Windows1252ToUtf8(all);
    EXPECT_TRUE(IsValidUtf8WithMultibyte(utf8));
    EXPECT_EQ(Utf8ToWindows1252(utf8), all);
    for (int b = 0; b <= 0xFF; ++b) {
        EXPECT_EQ(static_cast<unsigned char>(UnicodeToWindows1252(Windows1252ToUnicode(b))), b);
    }
    EXPECT_EQ(Windows1252ToUtf8(kFrench1252), kFrenchUtf8);
    EXPECT_EQ(Utf8ToWindows1252(kFrenchUtf8), kFrench1252);
}

TEST(IsValidUtf8WithMultibyte, NeedsValidBytesAndOneSequenceAtLeast) {
    const std::string ascii(70, 'a');
    EXPECT_TRUE(IsValidUtf8WithMultibyte(ascii + "é" + ascii + "中😀"));
    EXPECT_FALSE(IsValidUtf8WithMultibyte(ascii));
    EXPECT_FALSE(IsValidUtf8WithMultibyte(""));
    EXPECT_FALSE(IsValidUtf8WithMultibyte("é" + ascii + "\xE9"));
    EXPECT_FALSE(IsValidUtf8WithMultibyte(ascii + "\xC0\x80"));
    EXPECT_FALSE(IsValidUtf8WithMultibyte(ascii + "\xF0\x9F\x98"));
}

// The shared public files, each against its MANIFEST row (CHAR and encoding_bom columns).
TEST(DetectGedcomEncoding, SharedFilesMatchTheirManifest) {
    const std::filesystem::path folder = ARBOLIX_SHARED_GEDCOM;
    std::ifstream manifest(folder / "MANIFEST.tsv");
    if (!manifest) GTEST_SKIP() << "no shared GEDCOM files in " << folder;
    std::string line;
    std::getline(manifest, line); // column titles
    int files = 0;
    while (std::getline(manifest, line)) {
        std::vector<std::string> columns;
        std::istringstream fields(line);
        for (std::string field; std::getline(fields, field, '\t');) columns.push_back(field);
        ASSERT_GE(columns.size(), 11u) << line;
        const std::string& name = columns[0];
        const std::string& declared = columns[9];
        const std::string& mark = columns[10];
        std::string bytes = test::ReadFileBytes(folder / name);
        ASSERT_FALSE(bytes.empty()) << name;
        const DetectedEncoding detected = DetectGedcomEncoding(bytes);
        SCOPED_TRACE(name + " detected as " + EncodingName(detected.encoding));
        EXPECT_EQ(detected.declared, declared);
        if (mark.starts_with("utf-16-le") || mark.starts_with("utf-16-be")) {
            EXPECT_EQ(detected.encoding, mark.starts_with("utf-16-le") ? TextEncoding::Utf16Le
                                                                       : TextEncoding::Utf16Be);
            EXPECT_EQ(detected.bomLength, mark.ends_with("BOM)") ? 2u : 0u);
        } else if (mark == "UTF-8 BOM") {
            EXPECT_EQ(detected.encoding, TextEncoding::Utf8);
            EXPECT_EQ(detected.bomLength, 3u);
        } else if (declared == "ANSEL") {
            EXPECT_EQ(detected.encoding, TextEncoding::Ansel);
        } else if (declared == "ANSI" || declared == "ASCII" || declared == "LATIN1") {
            EXPECT_EQ(detected.encoding, IsValidUtf8WithMultibyte(bytes)
                                             ? TextEncoding::Utf8
                                             : TextEncoding::Windows1252);
        } else if (declared == "IBMPC") {
            EXPECT_EQ(detected.encoding, TextEncoding::Cp437);
        } else if (declared == "MACINTOSH") {
            EXPECT_EQ(detected.encoding, TextEncoding::MacRoman);
        } else {
            EXPECT_EQ(detected.encoding, TextEncoding::Utf8); // UTF-8, UNICODE or no CHAR
        }
        DecodeToWindows1252(bytes, detected);
        EXPECT_TRUE(bytes.starts_with("0 HEAD")) << bytes.substr(0, 16);
        ++files;
    }
    EXPECT_GT(files, 100);
}

} // namespace
} // namespace arbolix
