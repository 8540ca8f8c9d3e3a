#include "export/html_text.h"

#include "data/encoding.h"

namespace arbolix {

namespace {

// The replacement of one byte, or nullptr when the byte is kept.
const char* Entity(unsigned char byte) {
    switch (byte) {
    case '&':
        return "&amp;";
    case '<':
        return "&lt;";
    case '>':
        return "&gt;";
    case '"':
        return "&quot;";
    case '\'':
        return "&#39;";
    default:
        return nullptr;
    }
}

bool AllowedInText(unsigned char byte) {
    if (byte < 0x20) return byte == '\t' || byte == '\n' || byte == '\r';
    switch (byte) {
    case 0x7F:
    case 0x81:
    case 0x8D:
    case 0x8F:
    case 0x90:
    case 0x9D:
        return false;
    default:
        return true;
    }
}

template <typename HighByte> void Escape(std::string& out, std::string_view text, HighByte high) {
    out.reserve(out.size() + text.size());
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (const char* entity = Entity(byte)) {
            out += entity;
        } else if (!AllowedInText(byte)) {
            out += '?';
        } else if (byte >= 0x80) {
            high(out, byte);
        } else {
            out += c;
        }
    }
}

} // namespace

void AppendEscapedHtml(std::string& out, std::string_view text) {
    Escape(out, text, [](std::string& to, unsigned char byte) { to += static_cast<char>(byte); });
}

std::string EscapeHtml(std::string_view text) {
    std::string out;
    AppendEscapedHtml(out, text);
    return out;
}

std::string EscapeHtmlAscii(std::string_view text) {
    std::string out;
    Escape(out, text, [](std::string& to, unsigned char byte) {
        to += "&#";
        to += std::to_string(static_cast<unsigned long>(Windows1252ToUnicode(byte)));
        to += ';';
    });
    return out;
}

} // namespace arbolix
