#include "export/site_pages.h"

#include <algorithm>

#include "export/html_text.h"

namespace arbolix {

namespace {

// The code point of the UTF-8 sequence at `text[i]`, advancing `i` past it; -1, advancing one
// byte, for a malformed sequence, an overlong form, a surrogate or a value above U+10FFFF.
int32_t NextCodePoint(std::string_view text, size_t& i) {
    const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
    const unsigned char lead = byte(i);
    if (lead < 0x80) return text[i++];
    int length = 0;
    int32_t value = 0;
    int32_t lowest = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, value = lead & 0x1F, lowest = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, value = lead & 0x0F, lowest = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, value = lead & 0x07, lowest = 0x10000;
    } else {
        ++i;
        return -1;
    }
    if (i + static_cast<size_t>(length) > text.size()) {
        ++i;
        return -1;
    }
    for (int k = 1; k < length; ++k) {
        const unsigned char next = byte(i + static_cast<size_t>(k));
        if ((next & 0xC0) != 0x80) {
            ++i;
            return -1;
        }
        value = (value << 6) | (next & 0x3F);
    }
    if (value < lowest || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        ++i;
        return -1;
    }
    i += static_cast<size_t>(length);
    return value;
}

void AppendNumber(std::string& out, int64_t value) {
    out += std::to_string(value);
}

} // namespace

std::string SitePictureName(int32_t xref, std::string_view extension) {
    // Appended piece by piece: "a" + std::to_string() draws a false -Wrestrict from GCC 12.
    std::string name(1, 'a');
    name += std::to_string(xref);
    name += '.';
    name += extension;
    return name;
}

std::string SitePageName(int32_t xref) {
    return SitePictureName(xref, "htm");
}

std::vector<SiteEntry> SortedForMainPage(std::vector<SiteEntry> entries) {
    // std::string compares its bytes as unsigned characters: "É" (0xC9) comes after "Z".
    std::stable_sort(entries.begin(), entries.end(),
                     [](const SiteEntry& a, const SiteEntry& b) { return a.name < b.name; });
    return entries;
}

std::string EscapeUtf8HtmlAscii(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        const int32_t code = NextCodePoint(text, i);
        if (code < 0 || (code < 0x20 && code != '\t' && code != '\n' && code != '\r') ||
            (code >= 0x7F && code <= 0x9F)) {
            out += '?';
        } else if (code < 0x80) {
            out += EscapeHtml(std::string(1, static_cast<char>(code)));
        } else {
            out += "&#";
            AppendNumber(out, code);
            out += ';';
        }
    }
    return out;
}

std::string MainPageText(std::string_view titleUtf8, const std::vector<SiteEntry>& sortedEntries) {
    const std::string title = EscapeUtf8HtmlAscii(titleUtf8);
    std::string page;
    page.reserve(512 + sortedEntries.size() * 96);
    page += "<HTML>\n<HEAD>\n<TITLE>" + title + "</TITLE>\n";
    page += "<X-SAS-WINDOW TOP=25 BOTTOM=715 LEFT=4 RIGHT=534>\n</HEAD>\n<BODY>\n";
    page += "<H2><CENTER>" + title + "</CENTER></H2>\n";
    page += "<P><CENTER><B><FONT SIZE=\"+2\"><HR></FONT></B></CENTER></P>\n";
    page += "<P><TABLE BORDER=1>\n";
    page += "<TR>\n<TD>\n<P>Nom Pr&#233;nom\n</TD>\n<TD>\n<P>Naissance</TD>\n<TD>\n"
            "<P>D&#233;c&#232;s</TD></TR>\n";
    for (const SiteEntry& entry : sortedEntries) {
        page += "<TR>\n<TD>\n<P><A HREF=\"" + SitePageName(entry.xref) + "\">";
        page += EscapeHtmlAscii(entry.name);
        page += "</A>\n</TD>\n<TD>\n<P>";
        AppendNumber(page, entry.birthYear);
        page += "\n</TD>\n<TD>\n<P>";
        AppendNumber(page, entry.deathYear);
        page += "\n</TD> </TR>\n";
    }
    page += "</TABLE></P>\n</BODY>\n</HTML>\n";
    return page;
}

std::string PersonPageText(std::string_view pictureName, int32_t width, int32_t height,
                           const std::vector<SiteArea>& areas) {
    std::string page;
    page.reserve(320 + areas.size() * 64);
    page += "<html>\n<head>\n<title>G\xE9n\xE9"
            "alogie</title>\n";
    page += "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=iso-8859-1\">\n";
    page += "</head>\n\n<body bgcolor=\"#FFFFFF\">\n";
    page += "<img src=\"" + EscapeHtml(pictureName) + "\" width=\"" + std::to_string(width) +
            "\" height=\"" + std::to_string(height) + "\" border=\"0\" usemap=\"#a1\" >\n";
    page += "<map name=\"a1\">\n";
    for (const SiteArea& area : areas) {
        page += "<area shape=\"rect\" coords=\"";
        AppendNumber(page, area.left);
        page += ',';
        AppendNumber(page, area.top);
        page += ',';
        AppendNumber(page, area.right);
        page += ',';
        AppendNumber(page, area.bottom);
        page += "\" href=\"" + SitePageName(area.xref) + "\">\n";
    }
    page += "</map>\n</body>\n</html>";
    return page;
}

} // namespace arbolix
