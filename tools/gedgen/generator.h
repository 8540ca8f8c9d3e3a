#pragma once
// Deterministic generator of synthetic GEDCOM 5.5.1 files, for tests and benchmarks.
//
// The same options always give the same bytes: the generator draws from its own splitmix64
// stream and uses no floating point, no standard distribution and no unordered container.
// Everything is plain C++20 (no Qt).

#include <cstdint>
#include <iosfwd>
#include <string>

namespace arbolix::gedgen {

enum class Shape {
    // A French population over several generations: founders, couples formed inside the
    // population or with spouses who marry in, 0 to 8 children per couple, widowers who marry
    // again, a few marriages between first cousins.
    Population,
    // The descendants of one founder, @I1@: every person descends from @I1@ except the spouses who
    // marry in (they have no parents in the file). At most 8 children per family and at most
    // two families per person.
    Founder,
    // The full ancestry of @I1@ over `generations` generations, with a few marriages between first
    // cousins in the deep generations (pedigree collapse). `persons` is ignored.
    Pedigree,
};

enum class Charset {
    Utf8, // "1 CHAR UTF-8", UTF-8 bytes (no byte order mark)
    Ansi, // "1 CHAR ANSI", Windows-1252 bytes (é = 0xE9)
};

// Deepest pedigree accepted; Options::generations is clamped to [1, kMaxGenerations].
inline constexpr int kMaxGenerations = 24;

struct Options {
    // Number of INDI records for Population and Founder: exactly this many (0 or less gives a file
    // with no person). Ignored by Pedigree.
    int64_t persons = 1000;
    uint64_t seed = 1;
    Shape shape = Shape::Population;
    Charset charset = Charset::Utf8;
    // Pedigree only: number of generations, the root @I1@ being generation 1, so the chart has
    // 2^generations - 1 slots (Sosa numbers 1 .. 2^generations - 1). Every slot is filled; the file
    // holds one INDI per distinct person, that is the slot count minus the slots that repeat an
    // ancestor already reached along another line (about 0.1 %). 20 gives about a million persons.
    int generations = 20;
    // Lines end in "\r\n" instead of "\n".
    bool crlf = false;
};

// The whole file in memory.
std::string GenerateGedcom(const Options&);

// The same bytes, written to `out` in chunks of about 1 MiB. Memory stays proportional to a few
// bytes per person (Population, Founder) or per pedigree slot, whatever the size of the text.
void WriteGedcom(const Options&, std::ostream& out);

} // namespace arbolix::gedgen
