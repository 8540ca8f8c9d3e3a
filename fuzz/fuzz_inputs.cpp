#include "fuzz_inputs.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <memory>
#include <utility>

#include "base/reporter.h"
#include "base/settings.h"
#include "chart/chart_renderer.h"
#include "chart/recording_canvas.h"
#include "data/encoding.h"
#include "data/gedcom_lines.h"
#include "data/gedcom_reader.h"
#include "data/person_store.h"
#include "tree/recompute.h"
#include "tree/tree_compute.h"
#include "tree/tree_layout.h"

namespace arbolix::fuzz {

namespace {

// ---------------------------------------------------------------------------------------------
// Small tools

bool IsUtf8(std::string_view text) {
    return std::all_of(text.begin(), text.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; }) ||
           IsValidUtf8WithMultibyte(text);
}

template <size_t N> bool Terminated(const char (&field)[N]) {
    return std::memchr(field, '\0', N) != nullptr;
}

template <size_t N> bool SameFormat(const char (&a)[N], const char (&b)[N]) {
    return Terminated(a) && Terminated(b) && std::strcmp(a, b) == 0;
}

bool HasLowerCaseLetter(const char* text) {
    for (; *text != '\0'; ++text)
        if (*text >= 'a' && *text <= 'z') return true;
    return false;
}

// Every message must be readable: a text in UTF-8. The messages themselves are expected (broken
// files are reported), so they are only counted.
class CheckingReporter final : public Reporter {
public:
    explicit CheckingReporter(Faults& faults) : faults_(faults) {}
    void report(const Message& message) override {
        if (message.text.empty() || !IsUtf8(message.text) || !IsUtf8(message.caption))
            faults_.push_back("a message is empty or not UTF-8: " + message.text);
        ++count;
    }
    void status(std::string_view text) override {
        if (!IsUtf8(text)) faults_.push_back("a status text is not UTF-8");
    }
    int64_t count = 0;

private:
    Faults& faults_;
};

// The bytes as a file with a path, kept in memory (no disk, nothing left behind).
class MemoryFile {
public:
    explicit MemoryFile(std::string_view bytes) : fd_(memfd_create("fuzz-input.ged", MFD_CLOEXEC)) {
        size_t written = 0;
        while (fd_ >= 0 && written < bytes.size()) {
            const ssize_t n = write(fd_, bytes.data() + written, bytes.size() - written);
            if (n <= 0) {
                close(fd_);
                fd_ = -1;
            } else {
                written += static_cast<size_t>(n);
            }
        }
    }
    ~MemoryFile() {
        if (fd_ >= 0) close(fd_);
    }
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;
    bool ok() const { return fd_ >= 0; }
    std::string path() const { return "/proc/self/fd/" + std::to_string(fd_); }

private:
    int fd_;
};

// ---------------------------------------------------------------------------------------------
// The store

// What the reader promises about every person it read.
void CheckStore(const PersonStore& store, int32_t result, const char* how, Faults& faults) {
    const int32_t highest = store.highestXref;
    if (result >= 0 && result != highest)
        faults.push_back(Format("%s: returned %d with highestXref %d", how, result, highest));
    if (highest < 0 || highest > store.topIndex() || store.topIndex() >= store.recordCount())
        return faults.push_back(Format("%s: highestXref %d, topIndex %d, %d records", how, highest,
                                       store.topIndex(), store.recordCount()));
    const auto inside = [&](int32_t link) { return link >= 0 && link <= highest; };
    for (int32_t i = 1; i <= highest; ++i) {
        const Individual& x = store[i];
        bool sound = (x.xref == 0 || x.xref == i) && inside(x.father) && inside(x.mother) &&
                     x.spouseCount >= 0 && x.spouseCount <= 4 && Terminated(x.givenName) &&
                     Terminated(x.surname) && Terminated(x.place);
        for (int32_t k = 0; sound && k < x.spouseCount; ++k)
            sound = x.spouses[k] >= 1 && inside(x.spouses[k]);
        if (sound) sound = !HasLowerCaseLetter(x.surname) && !HasLowerCaseLetter(x.place);
        if (!sound) return faults.push_back(Format("%s: record %d is broken", how, i));
    }
}

// The fields a reading fills, and the working fields as a reading leaves them.
bool SameReading(const Individual& a, const Individual& b) {
    if (a.level != b.level || a.childCount != b.childCount || a.birthYear != b.birthYear ||
        a.deathYear != b.deathYear || a.xref != b.xref || a.country != b.country ||
        a.father != b.father || a.mother != b.mother || a.spouseCount != b.spouseCount ||
        a.sosa != b.sosa)
        return false;
    for (int32_t k = 0; k < std::clamp(a.spouseCount, 0, 4); ++k)
        if (a.spouses[k] != b.spouses[k]) return false;
    return SameFormat(a.givenName, b.givenName) && SameFormat(a.surname, b.surname) &&
           SameFormat(a.place, b.place);
}

std::vector<Individual> Persons(const PersonStore& store) {
    return std::vector<Individual>(store.data(), store.data() + store.highestXref + 1);
}

void ExpectSamePersons(const PersonStore& store, const std::vector<Individual>& expected,
                       const char* how, Faults& faults) {
    if (static_cast<size_t>(store.highestXref) + 1 != expected.size())
        return faults.push_back(Format("%s: highestXref %d instead of %zu", how, store.highestXref,
                                       expected.size() - 1));
    for (int32_t i = 1; i <= store.highestXref; ++i)
        if (!SameReading(store[i], expected[static_cast<size_t>(i)]))
            return faults.push_back(Format("%s: record %d differs", how, i));
}

void CheckEncodingDecisions(std::string_view bytes, Faults& faults) {
    const DetectedEncoding whole = DetectGedcomEncoding(bytes);
    MemorySource source(bytes);
    // Block by block, the header decides and the walk over the lines settles the rest.
    DetectedEncoding blocks;
    if (!ForEachGedcomLine(source, blocks, [] {}, [](std::string_view) { return true; }))
        return faults.push_back("the encoding of memory could not be read");
    if (whole.encoding != blocks.encoding || whole.bomLength != blocks.bomLength ||
        whole.declared != blocks.declared)
        faults.push_back(
            Format("encoding %s (%zu, \"%s\") on the whole text, %s (%zu, \"%s\") block by block",
                   EncodingName(whole.encoding), whole.bomLength, whole.declared.c_str(),
                   EncodingName(blocks.encoding), blocks.bomLength, blocks.declared.c_str()));
    if (Utf8ToWindows1252(Windows1252ToUtf8(bytes)) != bytes)
        faults.push_back("Windows-1252 bytes do not survive the round trip through UTF-8");
}

// ---------------------------------------------------------------------------------------------
// The charts

// A reproducible stream of bits from one seed (splitmix64).
class Bits {
public:
    explicit Bits(uint64_t seed) : state_(seed) {}
    uint64_t next() {
        uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // A number below `count`.
    int32_t below(int32_t count) {
        return static_cast<int32_t>(next() % static_cast<uint64_t>(count));
    }
    template <class T, size_t N> T pick(const T (&values)[N]) {
        return values[below(static_cast<int32_t>(N))];
    }

private:
    uint64_t state_;
};

bool Tracing() {
    return std::getenv("ARBOLIX_FUZZ_TRACE") != nullptr;
}

uint64_t Fnv1a(std::string_view bytes) {
    uint64_t hash = 0xCBF29CE484222325ull;
    for (const char c : bytes) hash = (hash ^ static_cast<unsigned char>(c)) * 0x100000001B3ull;
    return hash;
}

struct ChartCase {
    int32_t mode = kModeDescendants;
    int32_t root = 0;
    ChartSettings settings;
    ChartView view; // the zoom asked for before the layout; scrolls drawn after it
    uint64_t scrollSeed = 0;
    DeviceInfo device;
    std::string rootKind;
};

// The root of a chart: the person with the most ancestors, the one with the most descendants
// (where persons reached along many lines make the charts grow), or any person read.
int32_t PickRoot(const PersonStore& counted, const std::vector<int32_t>& persons, Bits& bits,
                 std::string& kind) {
    const int32_t way = bits.below(4);
    if (way >= 2) {
        kind = "any";
        return persons[static_cast<size_t>(bits.below(static_cast<int32_t>(persons.size())))];
    }
    kind = way == 0 ? "most ancestors" : "most descendants";
    const auto count = [&](int32_t i) {
        return way == 0 ? counted[i].sosa : int64_t{counted[i].level};
    };
    return *std::max_element(persons.begin(), persons.end(),
                             [&](int32_t a, int32_t b) { return count(a) < count(b); });
}

void VarySettings(ChartSettings& s, Bits& bits) {
    static constexpr int32_t kGenerations[] = {16, 1, 2, 3, 5, 16, 30, 62};
    s.m_gene = bits.pick(kGenerations);
    s.m_gened = bits.pick(kGenerations);
    if (bits.below(16) == 0) s.m_casevide = {bits.below(3), 1 + bits.below(2), bits.below(3)};
    s.setnom = bits.below(8) != 0;
    for (int32_t* flag : {&s.setprenom, &s.setnaissance, &s.setdece, &s.lieu, &s.epoux, &s.drapeau,
                          &s.inverse_nom, &s.police_fixe, &s.brique})
        *flag = bits.below(2);
    const int32_t link = bits.below(4); // plain, braces, pipes, plain
    s.setaccolade = link == 1;
    s.tuyau = link == 2;
    static constexpr int32_t kIntervals[] = {5, 0, 1, 16384};
    static constexpr double kLengths[] = {50, 10, 250, 20};
    static constexpr int32_t kPens[] = {1, 0, 7, 128};
    s.interval = bits.pick(kIntervals);
    // The "brique" decoration draws `interval` frames per box: not with the widest spacing.
    if (s.interval > 100) s.brique = 0;
    s.larg = bits.pick(kLengths);
    s.largeur_pen = bits.pick(kPens);
    s.m_implexe.m_type = bits.below(5);
    for (FillSpec* fill : {&s.texture_fond, &s.texture_rectangle}) {
        // Fills depend on the settings alone: seldom, so that the charts get the time.
        fill->kind = bits.below(16) == 0 ? kFillGradient + bits.below(3) : kFillSolid;
        fill->gradientType = bits.below(6);
        fill->variant = bits.below(4);
        fill->textureId = bits.below(4) == 0 ? 162 : 167 + bits.below(29);
        fill->patternIndex = bits.below(40);
        fill->colour2 = static_cast<Colour>(bits.next() & 0xFFFFFF);
    }
}

void VaryView(ChartCase& chart, Bits& bits) {
    static constexpr int64_t kZooms[] = {1, 1, 2, 64, int64_t{1} << 20};
    static constexpr int32_t kDepths[] = {32, 24, 16, 8};
    static constexpr std::pair<int64_t, int64_t> kSizes[] = {
        {1024, 768}, {200, 150}, {33, 20}, {4000, 3000}};
    chart.view.zoom = bits.pick(kZooms);
    chart.scrollSeed = bits.next();
    // A tiled fill is one drawing call per 8 × 8 or 16 × 16 tile: on the small pictures only.
    const auto isTiled = [](const FillSpec& fill) {
        return fill.kind == kFillTexture || fill.kind == kFillPattern;
    };
    const bool tiled =
        isTiled(chart.settings.texture_fond) || isTiled(chart.settings.texture_rectangle);
    const auto [width, height] = tiled ? kSizes[1 + bits.below(2)] : bits.pick(kSizes);
    const int32_t dpi = bits.below(4) == 0 ? 600 : 96;
    chart.device = DeviceInfo{bits.pick(kDepths), dpi, dpi, width, height};
}

// The twelve charts of an input, from the store just read (it is counted and then restored).
std::vector<ChartCase> ChartCases(std::string_view bytes, PersonStore& store) {
    std::vector<int32_t> persons;
    for (int32_t i = 1; i <= store.highestXref; ++i)
        if (store[i].xref == i) persons.push_back(i);
    if (persons.empty()) return {};
    CountAncestorsAndDescendants(store);
    std::vector<ChartCase> cases;
    const uint64_t seed = Fnv1a(bytes);
    for (const int32_t mode : {kModeDescendants, kModeAncestors, kModeBoth, kModeParent}) {
        for (int32_t cousin = 0; cousin <= 2; ++cousin) {
            Bits bits(seed + cases.size());
            ChartCase chart;
            chart.mode = mode;
            chart.root = PickRoot(store, persons, bits, chart.rootKind);
            chart.settings = DefaultChartSettings();
            chart.settings.setcousin = cousin;
            VarySettings(chart.settings, bits);
            VaryView(chart, bits);
            cases.push_back(std::move(chart));
        }
    }
    store.restoreSnapshot();
    return cases;
}

std::string Describe(const ChartCase& c) {
    const ChartSettings& s = c.settings;
    return Format("mode 0x%x setcousin %d root %d (%s) m_gene %d m_gened %d empty %d/%d/%d "
                  "interval %d larg %g "
                  "pen %d links %s epoux %d lieu %d drapeau %d fixe %d brique %d fills %d/%d zoom "
                  "%lld device "
                  "%dbpp %ddpi %lldx%lld",
                  c.mode, s.setcousin, c.root, c.rootKind.c_str(), s.m_gene, s.m_gened,
                  s.m_casevide.m_ngd, s.m_casevide.m_ndg, s.m_casevide.m_nag, s.interval, s.larg,
                  s.largeur_pen,
                  s.setaccolade ? "braces"
                  : s.tuyau     ? "pipes"
                                : "plain",
                  s.epoux, s.lieu, s.drapeau, s.police_fixe, s.brique, s.texture_fond.kind,
                  s.texture_rectangle.kind, static_cast<long long>(c.view.zoom),
                  c.device.bitsPerPixel, c.device.pixelsPerInchX,
                  static_cast<long long>(c.device.width), static_cast<long long>(c.device.height));
}

// What the renderer and the layout rely on whatever the computation went through: counts inside
// the tables and every link to a node of the same table.
bool TablesHold(const ChartTree& tree, Faults& faults) {
    const int32_t nd = tree.descendantCount;
    const int32_t na = tree.ancestorCount;
    if (nd < 0 || na < 0 || static_cast<size_t>(nd) >= tree.descendants.size() ||
        static_cast<size_t>(na) >= tree.ancestors.size()) {
        faults.push_back(Format("counts %d and %d outside their tables", nd, na));
        return false;
    }
    const auto node = [](int32_t link, int32_t count) { return link >= 0 && link <= count; };
    for (int32_t n = 1; n <= nd; ++n) {
        const DescendantNode& d = tree.descendants[static_cast<size_t>(n)];
        bool sound = node(d.parent1, nd) && node(d.parent2, nd) && d.generation >= 0 &&
                     d.spouseCount >= 0 && d.spouseCount <= 4 && Terminated(d.givenName) &&
                     Terminated(d.surname) && Terminated(d.place);
        for (int k = 0; sound && k < 32; ++k) sound = node(d.children[k], nd);
        if (!sound) {
            faults.push_back(Format("descendant node %d of %d is broken", n, nd));
            return false;
        }
    }
    for (int32_t n = 1; n <= na; ++n) {
        const AncestorNode& a = tree.ancestors[static_cast<size_t>(n)];
        if (!node(std::abs(a.father), na) || !node(std::abs(a.mother), na) || !node(a.child, na) ||
            a.sosa < 1 || !Terminated(a.givenName) || !Terminated(a.surname) ||
            !Terminated(a.place)) {
            faults.push_back(Format("ancestor node %d of %d is broken", n, na));
            return false;
        }
    }
    return true;
}

// What a computation that succeeded leaves: the descendant table by generation, every box under a
// parent one generation up that lists it; the ancestor table by ancestor number, each parent
// numbered twice its child's number (plus one for the mother).
void CheckComputedTables(const ChartTree& tree, Faults& faults) {
    const auto D = [&](int32_t n) -> const DescendantNode& {
        return tree.descendants[static_cast<size_t>(n)];
    };
    const auto A = [&](int32_t n) -> const AncestorNode& {
        return tree.ancestors[static_cast<size_t>(n)];
    };
    for (int32_t n = 1; n <= tree.descendantCount; ++n) {
        const DescendantNode& node = D(n);
        bool sound = true;
        for (int k = 0; k < 32 && node.children[k] != 0; ++k)
            sound &= D(node.children[k]).parent1 == n;
        if (n == 1) {
            sound &= node.generation == 0 && node.parent1 == 0;
        } else {
            sound &= node.generation >= D(n - 1).generation && node.parent1 >= 1;
            for (const int32_t parent : {node.parent1, node.parent2})
                if (parent != 0) sound &= D(parent).generation == node.generation - 1;
            const DescendantNode& parent = D(node.parent1);
            bool listed = parent.children[31] != 0; // a full list may not hold it
            for (int k = 0; k < 32 && parent.children[k] != 0; ++k)
                listed |= parent.children[k] == n;
            sound &= listed;
        }
        if (!sound) return faults.push_back(Format("descendant node %d does not hold together", n));
    }
    for (int32_t n = 1; n <= tree.ancestorCount; ++n) {
        const AncestorNode& node = A(n);
        bool sound = n == 1 ? node.sosa == 1 && node.child == 0
                            : node.sosa > A(n - 1).sosa && node.child >= 1 &&
                                  A(node.child).sosa == node.sosa / 2;
        if (node.father > 0) sound &= A(node.father).sosa == 2 * node.sosa;
        if (node.mother > 0) sound &= A(node.mother).sosa == 2 * node.sosa + 1;
        if (!sound) return faults.push_back(Format("ancestor node %d does not hold together", n));
    }
}

bool Near(double a, double b) {
    return std::abs(a - b) <= 1e-6 + 1e-9 * std::max(std::abs(a), std::abs(b));
}

std::vector<double> Positions(const ChartTree& tree) {
    std::vector<double> ys;
    for (int32_t n = 1; n <= tree.descendantCount; ++n)
        ys.push_back(tree.descendants[static_cast<size_t>(n)].layoutY);
    for (int32_t n = 1; n <= tree.ancestorCount; ++n)
        ys.push_back(tree.ancestors[static_cast<size_t>(n)].layoutY);
    return ys;
}

// Parents centred on what hangs from them, boxes of one column at least the spacing apart.
void CheckLayout(const ChartTree& tree, const ChartSettings& settings, Faults& faults) {
    const auto D = [&](int32_t n) -> const DescendantNode& {
        return tree.descendants[static_cast<size_t>(n)];
    };
    const auto A = [&](int32_t n) -> const AncestorNode& {
        return tree.ancestors[static_cast<size_t>(n)];
    };
    std::map<std::pair<bool, int64_t>, std::vector<std::pair<double, double>>>
        columns;          // (top, bottom)
    bool crowded = false; // a 33rd child, missing from its parent's full list, is not spaced
    for (int32_t n = 1; n <= tree.descendantCount; ++n) {
        crowded |= D(n).children[31] != 0;
        const double extent = std::clamp(D(n).spouseCount, 0, 4) * (settings.epoux ? 5 : 0);
        columns[{false, D(n).generation}].push_back({D(n).layoutY, D(n).layoutY + extent});
        int32_t children = 0;
        double sum = 0;
        while (children < 32 && D(n).children[children] != 0)
            sum += D(D(n).children[children++]).layoutY;
        if (children > 0 && !Near(D(n).layoutY, sum / children))
            return faults.push_back(Format("descendant node %d is not centred on its children", n));
    }
    for (int32_t n = 1; n <= tree.ancestorCount; ++n) {
        const AncestorNode& node = A(n);
        columns[{true, node.layoutX}].push_back({node.layoutY, node.layoutY});
        double expected = node.layoutY;
        if (node.father > 0 && node.mother > 0)
            expected = (A(node.father).layoutY + A(node.mother).layoutY) / 2;
        else if (node.father > 0 || node.mother > 0)
            expected = A(std::max(node.father, node.mother)).layoutY;
        if (!Near(node.layoutY, expected))
            return faults.push_back(Format("ancestor node %d is not centred on its parents", n));
    }
    for (auto& [column, boxes] : columns) {
        if (crowded && !column.first) continue;
        std::sort(boxes.begin(), boxes.end());
        for (size_t k = 1; k < boxes.size(); ++k)
            if (boxes[k].first - boxes[k - 1].second <
                settings.interval + 10 - 1e-6 * (1 + std::abs(boxes[k].first)))
                return faults.push_back(
                    Format("two %s boxes of column %lld are closer than the spacing",
                           column.first ? "ancestor" : "descendant",
                           static_cast<long long>(column.second)));
    }
}

// On charts small enough for the plain computation, the same positions, to the last bit, when laid
// out again and from the plain computation.
void CheckLayoutRepeats(ChartTree& tree, const ChartSettings& settings, int32_t plainLimit,
                        Faults& faults) {
    if (tree.descendantCount + tree.ancestorCount > plainLimit) return;
    const std::vector<double> first = Positions(tree);
    int64_t zoom = 1;
    LayoutTree(tree, settings, zoom);
    if (Positions(tree) != first) return faults.push_back("the layout differs when done again");
    zoom = 1;
    LayoutTreeDirect(tree, settings, zoom);
    if (Positions(tree) != first) faults.push_back("the contour layout differs from the plain one");
    zoom = 1;
    LayoutTree(tree, settings, zoom);
}

void Draw(ChartTree& tree, const PersonStore& store, ChartCase& chart, int64_t zoom,
          Reporter& reporter) {
    Bits bits(chart.scrollSeed);
    const int64_t last = 2 * zoom - 2; // scroll positions 0 .. 2 × zoom − 2
    const ChartView view{zoom,
                         static_cast<int32_t>(std::min<int64_t>(
                             bits.next() % static_cast<uint64_t>(last + 1), INT32_MAX)),
                         static_cast<int64_t>(bits.next() % static_cast<uint64_t>(last + 1))};
    RecordingCanvas canvas(chart.device);
    const Rect origin{0, 0, chart.device.width - 1, chart.device.height - 1};
    DrawChart(canvas, tree, store, chart.settings, view, chart.device.width, chart.device.height,
              origin, reporter);
    if (Tracing())
        std::fprintf(stderr, "  %d + %d boxes, %zu drawing calls\n", tree.descendantCount,
                     tree.ancestorCount, canvas.lines().size());
}

// One chart: computed (through the root choice for the first, recomputed from the snapshot for the
// others), laid out, checked and drawn.
void RunChart(PersonStore& store, ChartCase& chart, bool first, std::string_view bytes,
              Faults& faults) {
    CheckingReporter reporter(faults);
    ChartTree tree;
    int64_t zoom = chart.view.zoom;
    int result = 0;
    if (first) {
        FixedRootChooser chooser(chart.mode, chart.root);
        result = BuildChartTables(tree, store, chart.settings, &chooser, reporter);
        if (!TablesHold(tree, faults)) return;
        LayoutTree(tree, chart.settings, zoom);
    } else {
        // The roots are persons read, so their index is their xref.
        tree.chartMode = chart.mode;
        const auto reread = [&] {
            return ReadGedcomBytes(store, bytes, chart.settings.m_gedcom, reporter);
        };
        result = Recompute(tree, store, chart.settings, chart.root, zoom, reporter, reread);
        if (!TablesHold(tree, faults)) return;
    }
    if (tree.descendantCount == 0 && tree.ancestorCount == 0) return;
    if (zoom < 1 || zoom > chart.view.zoom)
        faults.push_back(Format("zoom %lld after the layout", static_cast<long long>(zoom)));
    for (const double y : Positions(tree))
        if (!std::isfinite(y)) return faults.push_back("a box has no finite position");
    if (result == 0) {
        const size_t before = faults.size();
        CheckComputedTables(tree, faults);
        constexpr int32_t kPlainLimit = 3000; // the plain layout is quadratic
        if (faults.size() == before) {
            const Faults layout = LayoutFaults(tree, chart.settings, kPlainLimit);
            faults.insert(faults.end(), layout.begin(), layout.end());
        }
    }
    // A chart of thousands of boxes draws nothing a smaller one does not, at great cost.
    constexpr int32_t kDrawLimit = 3000;
    if (tree.descendantCount + tree.ancestorCount <= kDrawLimit)
        Draw(tree, store, chart, std::max<int64_t>(zoom, 1), reporter);
}

} // namespace

// ---------------------------------------------------------------------------------------------

Faults ReadInput(std::string_view bytes) {
    Faults faults;
    CheckEncodingDecisions(bytes, faults);
    CheckingReporter reporter(faults);
    auto store = std::make_unique<PersonStore>();
    const int32_t fromMemory = ReadGedcomBytes(*store, bytes, {}, reporter);
    CheckStore(*store, fromMemory, "from memory", faults);
    if (fromMemory < 0) return faults;
    const std::vector<Individual> read = Persons(*store);

    // The same bytes from a file, into the same store: every reading starts from scratch.
    MemoryFile file(bytes);
    if (!file.ok()) return faults;
    const int32_t fromFile = ReadGedcom(*store, file.path(), {}, reporter);
    if (fromFile != fromMemory)
        faults.push_back(Format("%d from a file, %d from memory", fromFile, fromMemory));
    ExpectSamePersons(*store, read, "from a file", faults);

    // The snapshot brings back the reading whatever was done to the records since.
    if (!store->hasSnapshot()) return faults;
    for (int32_t i = 0; i <= store->highestXref; ++i)
        std::memset(&(*store)[i], 0x5A, sizeof(Individual));
    if (store->restoreSnapshot() != 0) faults.push_back("the snapshot could not be restored");
    ExpectSamePersons(*store, read, "from the snapshot", faults);
    return faults;
}

Faults ChartInput(std::string_view bytes) {
    Faults faults;
    CheckingReporter reporter(faults);
    auto store = std::make_unique<PersonStore>();
    const int32_t highest = ReadGedcomBytes(*store, bytes, {}, reporter);
    CheckStore(*store, highest, "from memory", faults);
    if (highest <= 0 || !faults.empty()) return faults;
    std::vector<ChartCase> cases = ChartCases(bytes, *store);
    const bool tracing = Tracing();
    for (size_t k = 0; k < cases.size(); ++k) {
        if (tracing) std::fprintf(stderr, "chart %zu: %s\n", k, Describe(cases[k]).c_str());
        const size_t before = faults.size();
        const auto start = std::chrono::steady_clock::now();
        RunChart(*store, cases[k], k == 0, bytes, faults);
        if (tracing)
            std::fprintf(
                stderr, "  %.1f ms\n",
                std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                    .count());
        for (size_t f = before; f < faults.size(); ++f)
            faults[f] = Describe(cases[k]) + ": " + faults[f];
    }
    return faults;
}

Faults TableFaults(const ChartTree& tree) {
    Faults faults;
    if (TablesHold(tree, faults)) CheckComputedTables(tree, faults);
    return faults;
}

Faults LayoutFaults(ChartTree& tree, const ChartSettings& settings, int32_t plainLimit) {
    Faults faults;
    CheckLayout(tree, settings, faults);
    if (faults.empty()) CheckLayoutRepeats(tree, settings, plainLimit, faults);
    return faults;
}

std::vector<std::string> DescribeChartCases(std::string_view bytes) {
    Faults ignored;
    CheckingReporter reporter(ignored);
    auto store = std::make_unique<PersonStore>();
    if (ReadGedcomBytes(*store, bytes, {}, reporter) <= 0) return {};
    std::vector<std::string> lines;
    for (const ChartCase& chart : ChartCases(bytes, *store)) lines.push_back(Describe(chart));
    return lines;
}

void AbortOnFaults(const Faults& faults) {
    for (const std::string& fault : faults) std::fprintf(stderr, "FAULT: %s\n", fault.c_str());
    if (!faults.empty()) std::abort();
}

} // namespace arbolix::fuzz
