#pragma once
// The texts of the web site's pages: the main page with its table of persons, and the page of one
// person with its picture and image map.
//
// The person pages declare charset=iso-8859-1, which browsers read as Windows-1252, the encoding
// of every text the program keeps: their bytes are Windows-1252. The main page declares no
// character set, so it is written in pure ASCII (every other character as a numeric reference),
// which reads the same whatever encoding the browser guesses. Names come from the GEDCOM file and
// the title from the user: both are escaped (& < > " and ').

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace arbolix {

// A person a page was made for.
struct SiteEntry {
    int32_t xref = 0;
    int32_t birthYear = 0; // 0 when the file gives none
    int32_t deathYear = 0;
    std::string name; // "SURNAME Given", Windows-1252
};

// One link of a page's image map: a box in picture pixels (right and bottom one past the edge)
// and the person it leads to.
struct SiteArea {
    int64_t left = 0;
    int64_t top = 0;
    int64_t right = 0;
    int64_t bottom = 0;
    int32_t xref = 0;
};

// "a12.htm", "a12.png": the file names of a person's page and picture inside the site's folder.
std::string SitePageName(int32_t xref);
// `extension` without the dot: "bmp", "jpg", "png".
std::string SitePictureName(int32_t xref, std::string_view extension);

// The entries in the order of the main page's table: by display name, byte by byte, persons of
// the same name in the order they are given.
std::vector<SiteEntry> SortedForMainPage(std::vector<SiteEntry> entries);

// The main page (ASCII): the title (UTF-8) as the page's title and heading, then the table "Nom
// Prénom", "Naissance", "Décès" with one row per entry, in the order given, each name linking to
// the person's page.
std::string MainPageText(std::string_view titleUtf8, const std::vector<SiteEntry>& sortedEntries);

// The page of one person (Windows-1252): the picture `pictureName` of width × height pixels and
// one area per link, in the order given. The text ends without a line end.
std::string PersonPageText(std::string_view pictureName, int32_t width, int32_t height,
                           const std::vector<SiteArea>& areas);

// UTF-8 text for a page in ASCII: & < > " ' become entities, every character above 0x7F its
// numeric reference, control characters other than tab and line ends and each byte of a malformed
// sequence '?'.
std::string EscapeUtf8HtmlAscii(std::string_view text);

} // namespace arbolix
