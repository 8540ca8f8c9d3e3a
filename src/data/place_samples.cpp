#include "data/place_samples.h"

#include <algorithm>

#include "data/gedcom_lines.h"
#include "data/gedcom_reader.h"
#include "data/person_store.h"

namespace arbolix {
namespace {

bool IsWhite(char c) {
    return c == ' ' || (c >= '\t' && c <= '\r');
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && IsWhite(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsWhite(text.back())) text.remove_suffix(1);
    return text;
}

// The next whitespace-separated word of `line` from `pos`, which moves past it.
std::string_view NextWord(std::string_view line, size_t& pos) {
    while (pos < line.size() && IsWhite(line[pos])) ++pos;
    const size_t start = pos;
    while (pos < line.size() && !IsWhite(line[pos])) ++pos;
    return line.substr(start, pos - start);
}

bool IsLevelTwo(std::string_view word) {
    if (word.empty() ||
        !std::all_of(word.begin(), word.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return false;
    const size_t first = word.find_first_not_of('0');
    return first != std::string_view::npos && word.substr(first) == "2";
}

// The value of a "2 PLAC value" line, blanks before it skipped; empty for any other line.
std::string_view PlaceValue(std::string_view line) {
    size_t pos = 0;
    if (!IsLevelTwo(NextWord(line, pos)) || NextWord(line, pos) != "PLAC") return {};
    while (pos < line.size() && IsWhite(line[pos])) ++pos;
    return line.substr(pos);
}

} // namespace

std::vector<std::string> ReadPlaceSamples(const std::string& path, int limit) {
    std::vector<std::string> samples;
    FileSource source;
    DetectedEncoding encoding;
    std::string reason;
    if (limit <= 0 || !source.open(path, reason)) return samples;
    const auto restart = [&] { samples.clear(); };
    ForEachGedcomLine(source, encoding, restart, [&](std::string_view line) {
        const std::string_view value = PlaceValue(line);
        if (Trimmed(value).empty()) return true;
        std::string sample(value);
        if (encoding.encoding == TextEncoding::Ansel)
            sample.resize(AnselToAnsi(sample.data(), sample.size()));
        samples.push_back(std::move(sample));
        return static_cast<int>(samples.size()) < limit;
    });
    return samples;
}

std::array<std::string, kPlaceFieldCount> PlaceFields(std::string_view value) {
    std::array<std::string, kPlaceFieldCount> fields;
    for (std::string& field : fields) {
        const size_t comma = value.find(',');
        field = Trimmed(value.substr(0, comma));
        if (comma == std::string_view::npos) break;
        value.remove_prefix(comma + 1);
    }
    return fields;
}

PlaceReading ReadPlaceWithFormat(std::string_view value, const PlaceFormat& format) {
    Individual person = BlankIndividual();
    ParsePlace(value, person, format);
    PlaceReading reading;
    reading.town = person.place;
    reading.flag = person.country;
    const std::array<std::string, kPlaceFieldCount> fields = PlaceFields(value);
    for (int field = 0; field < kPlaceFieldCount; ++field)
        if (format.role(field) == kRoleCountry)
            reading.country = fields[static_cast<size_t>(field)];
    return reading;
}

} // namespace arbolix
