#include <gtest/gtest.h>

#include <vector>

#include "data/encoding.h"
#include "data/gedcom_lines.h"
#include "support/test_support.h"

namespace arbolix {
namespace {

std::string Decoded(std::string bytes, TextEncoding encoding, size_t bomLength = 0) {
    DecodeToWindows1252(bytes, {encoding, bomLength, "", {}});
    return bytes;
}

std::string Header(std::string_view charValue, std::string_view body = "") {
    return "0 HEAD\n1 SOUR ARBOLIX\n1 CHAR " + std::string(charValue) + "\n0 @I1@ INDI\n1 NAME " +
           std::string(body) + "\n0 TRLR\n";
}

// The decision in its order: a byte-order mark, the zero bytes of UTF-16 without one, the
// header's CHAR line, and the content of files said to be ANSI, UTF-8, of an unknown kind or
// nothing at all.
TEST(DetectGedcomEncoding, DecidesByMarkZerosCharLineAndContent) {
    using E = TextEncoding;
    const std::string head16 = "0 HEAD\r\n1 CHAR ANSEL\r\n0 TRLR\r\n";
    const std::string longAscii(100, 'x'); // pushes the decisive byte past the 32-byte steps
    const struct {
        std::string bytes;
        TextEncoding encoding;
        std::string declared;
    } cases[] = {
        // Marks and zero bytes come before the declared value.
        {"\xEF\xBB\xBF" + Header("ANSEL"), E::Utf8, "ANSEL"},
        {"\xFE\xFF" + test::Utf16Bytes(head16, false), E::Utf16Be, "ANSEL"},
        {test::Utf16Bytes(head16, true), E::Utf16Le, "ANSEL"},
        // No CHAR line in the header (GEDCOM 7), or no header at all: UTF-8 when every byte is.
        {"0 HEAD\n1 GEDC\n2 VERS 7.0\n0 @I1@ INDI\n1 CHAR ANSEL\n0 TRLR\n", E::Utf8, ""},
        {"", E::Utf8, ""},
        // ANSI, UTF-8, unknown values and no value at all: UTF-8 when every byte is; one byte
        // that is not, before or after valid sequences, settles it the other way.
        {Header("ANSI", longAscii + "Andr\xC3\xA9"), E::Utf8, "ANSI"},
        {Header("ANSI", "\xC3\xA9" + longAscii + "\xE9"), E::Windows1252, "ANSI"},
        {Header("GENEWEB", "\xE2\x80\x99"), E::Utf8, "GENEWEB"},
        {Header("GENEWEB", "\xE2\x65"), E::Ansel, "GENEWEB"},
        {Header("ANSEL", "Andr\xC3\xA9"), E::Ansel, "ANSEL"},
        {Header("UTF-8", "Andr\xE9 L\xE9on"), E::Windows1252, "UTF-8"},
        {"0 HEAD\n0 @I1@ INDI\n1 NAME L\xC3\xA9on /" + longAscii + "M\xFCller/\n", E::Windows1252,
         ""},
        {Header("UNICODE", "Jean"), E::Utf8, "UNICODE"},
        // Values in any case, between blanks. Bytes that are not UTF-8 show what a value stands
        // for: UTF-8 and ANSI fall back to Windows-1252, values not recognised to ANSEL.
        {Header(" \tutf8  ", "J\xE9r\xF4me"), E::Windows1252, "utf8"},
        {Header(" \t  ", "J\xE9r\xF4me"), E::Ansel, ""},
        {Header("MSDOS", "J\xE9r\xF4me"), E::Cp437, "MSDOS"},
        {Header("Mac", "J\xE9r\xF4me"), E::MacRoman, "Mac"},
    };
    for (const auto& c : cases) {
        const DetectedEncoding detected = DetectGedcomEncoding(c.bytes);
        EXPECT_EQ(detected.encoding, c.encoding) << c.bytes;
        EXPECT_EQ(detected.declared, c.declared) << c.bytes;
    }
    EXPECT_EQ(DetectGedcomEncoding(cases[0].bytes).bomLength, 3u);
    EXPECT_EQ(DetectGedcomEncoding(cases[1].bytes).bomLength, 2u);
}

// Blank lines and blanks aside; neither a CHAR line of level 2 nor one after the first counts.
TEST(DetectGedcomEncoding, FindsTheCharLineOfTheHeader) {
    const DetectedEncoding detected = DetectGedcomEncoding(
        "0 HEAD\r\r\t1 SOUR X\r  2 CHAR ANSI\r   1   CHAR   IBMPC\r1 CHAR ANSEL\r0 TRLR\r");
    EXPECT_EQ(detected.encoding, TextEncoding::Cp437);
    EXPECT_EQ(detected.declared, "IBMPC");
    // Not CHAR lines: another tag that starts alike, a level number glued to its tag.
    EXPECT_EQ(DetectGedcomEncoding("0 HEAD\n1 CHARSET ANSEL\n1CHAR ANSEL\n0 TRLR\n").declared, "");
}

// Characters without a Windows-1252 form and malformed input give one '?' each.
TEST(DecodeToWindows1252, MissingCharactersAndBadBytesOrUnitsBecomeOneQuestionMarkEach) {
    EXPECT_EQ(Decoded("Łódź 中 😀 \u0080\u0081", TextEncoding::Utf8), "?\xF3\x64? ? ? ?\x81");
    const std::vector<std::pair<std::string, std::string>> utf8 = {
        {"a\x80z", "a?z"},      // lone continuation byte
        {"a\xE9\x82z", "a??z"}, // truncated sequence
        {"abc\xC3", "abc?"},    // cut at the end
    };
    for (const auto& [bytes, expected] : utf8) {
        EXPECT_EQ(Decoded(bytes, TextEncoding::Utf8), expected);
        EXPECT_EQ(Utf8ToWindows1252(bytes), expected);
    }
    // An odd byte count.
    EXPECT_EQ(Decoded(std::string("A\0B", 3), TextEncoding::Utf16Le), "A?");
}

TEST(DecodeToWindows1252, AccentsKeepTheirPlaceAmongAsciiRuns) {
    // ANSEL is converted later by the reader: the bytes stay, only a mark goes.
    EXPECT_EQ(Decoded("\xEF\xBB\xBF\x41ndr\xE2\x65", TextEncoding::Ansel, 3), "Andr\xE2\x65");
    // Accents at every offset around the 8- and 32-byte steps of the ASCII fast paths, with and
    // without a mark (which makes the decoder move every byte).
    const std::string letters = "abcdefghijklmnopqrstuvwxyz0123456789ABCDEFGHIJKLMNOP";
    for (size_t before = 0; before < 40; ++before) {
        const std::string pad = letters.substr(0, before), tail = letters.substr(9, before / 2 + 9);
        const std::string expected = pad + "\xE9" + tail + "\x80" + pad;
        const std::string utf8 = pad + "é" + tail + "€" + pad;
        EXPECT_EQ(Decoded(utf8, TextEncoding::Utf8), expected) << before;
        EXPECT_EQ(Decoded("\xEF\xBB\xBF" + utf8, TextEncoding::Utf8, 3), expected) << before;
        EXPECT_EQ(Decoded(test::Utf16Bytes(utf8, true), TextEncoding::Utf16Le), expected) << before;
        EXPECT_EQ(Decoded("\xFE\xFF" + test::Utf16Bytes(utf8, false), TextEncoding::Utf16Be, 2),
                  expected);
        EXPECT_EQ(Windows1252ToUtf8(expected), utf8) << before;
    }
}

// A file without CHAR taken for UTF-8 until a Windows-1252 byte shows it is not: the walk starts
// again in Windows-1252 and nothing turns into "?", even the valid UTF-8 pair seen first.
TEST(ForEachGedcomLine, StartsAgainInTheOtherEncodingWhenTheBytesAreNotUtf8) {
    std::string bytes = "0 HEAD\n0 @I1@ INDI\n1 NAME A\xC3\xA9 /X/\n";
    for (int i = 0; i < 5000; ++i) bytes += "1 NOTE ligne " + std::to_string(i) + "\n";
    bytes += "1 NAME H\xE9l\xE8ne /M\xFCller/\n0 TRLR\n";
    MemorySource source(bytes);
    DetectedEncoding encoding;
    std::vector<std::string> names;
    int restarts = 0;
    const bool read = ForEachGedcomLine(
        source, encoding,
        [&] {
            ++restarts;
            names.clear();
        },
        [&](std::string_view line) {
            if (line.starts_with("1 NAME ")) names.emplace_back(line.substr(7));
            return true;
        });
    EXPECT_TRUE(read);
    EXPECT_EQ(restarts, 1);
    EXPECT_EQ(encoding.encoding, TextEncoding::Windows1252);
    EXPECT_EQ(names, (std::vector<std::string>{"A\xC3\xA9 /X/", "H\xE9l\xE8ne /M\xFCller/"}));
}

} // namespace
} // namespace arbolix
