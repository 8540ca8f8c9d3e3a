#pragma once
// Text from a GEDCOM file made safe for the HTML pages the program writes.
//
// The pages are written in Windows-1252, the encoding of every text the program keeps in memory:
// the VML page declares charset=windows-1252 and the web-site pages declare iso-8859-1, a label
// that browsers read as Windows-1252 (so "€", "œ" and "’" come out right on both). Names and
// places therefore go into a page byte for byte; only what HTML gives a meaning to is replaced.
// A page that declares no character set at all (the web site's main page) should use the ASCII
// form, which reads the same whatever encoding the browser guesses.

#include <string>
#include <string_view>

namespace arbolix {

// Windows-1252 text for a Windows-1252 page: & < > " ' become &amp; &lt; &gt; &quot; &#39;
// (the last one so that the text is also safe inside attribute values quoted either way), and the
// bytes HTML does not allow in text (control characters other than tab, line feed and carriage
// return, DEL, and the five bytes Windows-1252 leaves undefined) become '?'. Every other byte is
// kept as it is.
std::string EscapeHtml(std::string_view text);
void AppendEscapedHtml(std::string& out, std::string_view text);

// The same, in pure ASCII: every byte above 0x7F becomes the numeric character reference of its
// Unicode character ("é" &#233;, "€" &#8364;).
std::string EscapeHtmlAscii(std::string_view text);

} // namespace arbolix
