#include <gtest/gtest.h>

#include <string>

#include "export/html_text.h"

namespace arbolix {
namespace {

TEST(HtmlText, Windows1252BytesStayForTheDeclaredCharacterSet) {
    // "Éloïse Lefèvre œ € ’" in Windows-1252 goes into the page unchanged.
    const std::string name = "\xC9lo\xEFse Lef\xE8vre \x9C \x80 \x92";
    EXPECT_EQ(EscapeHtml(name), name);
    EXPECT_EQ(EscapeHtmlAscii(name), "&#201;lo&#239;se Lef&#232;vre &#339; &#8364; &#8217;");
    EXPECT_EQ(EscapeHtmlAscii("<\xE9>"), "&lt;&#233;&gt;");
}

TEST(HtmlText, BytesHtmlForbidsBecomeQuestionMarks) {
    const std::string text("a\0b\x01\x1F\x7F\x81\x8D\x8F\x90\x9D\tc\r\n", 15);
    EXPECT_EQ(EscapeHtml(text), "a?b????????\tc\r\n");
    EXPECT_EQ(EscapeHtmlAscii(text), "a?b????????\tc\r\n");
}

} // namespace
} // namespace arbolix
