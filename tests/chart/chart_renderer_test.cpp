// The chart drawn on the recording canvas. The charts are made by hand so that the mapping is
// simple: extentX 32, larg 50, yMin −45, yMax 45 and a 1000 × 1000 drawing give
// px(u) = (u + 9) × 10 and py(v) = (v + 50) × 10, rows of 100 pixels.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "base/reporter.h"
#include "chart/chart_renderer.h"
#include "chart/recording_canvas.h"
#include "chart/text_fitting.h"

namespace arbolix {
namespace {

using Lines = std::vector<std::string>;

template <class Node>
void Name(Node& node, const char* surname, const char* given, const char* place = "?") {
    std::strcpy(node.surname, surname);
    std::strcpy(node.givenName, given);
    std::strcpy(node.place, place);
}

struct HandChart {
    ChartTree tree{.chartMode = kModeDescendants, .longestSurname = 6, .longestGivenName = 4, .descendantExtentX = 32,
                   .extentX = 32, .yMin = -45, .yMax = 45};
    PersonStore store;
    ChartSettings settings = DefaultChartSettings();
    RecordingCanvas canvas{DeviceInfo{32, 96, 96, 1000, 1000}};
    ListReporter reporter;

    template <class Node> Node& node(std::vector<Node>& table, int32_t& count, int32_t n, int32_t layoutX, double layoutY) {
        count = std::max(count, n);
        Node& node = table[static_cast<size_t>(n)] = Node{};
        node.layoutX = layoutX;
        node.layoutY = layoutY;
        Name(node, "DUPONT", "Jean");
        return node;
    }
    DescendantNode& descendant(int32_t n, int32_t generation, int32_t layoutX, double layoutY, int32_t parent1 = 0) {
        DescendantNode& added = node(tree.descendants, tree.descendantCount, n, layoutX, layoutY);
        added.generation = generation;
        if ((added.parent1 = parent1) != 0) {
            int32_t* children = tree.descendants[static_cast<size_t>(parent1)].children;
            *std::find(children, children + 32, 0) = n;
        }
        return added;
    }
    AncestorNode& ancestor(int32_t n, int64_t sosa, int32_t layoutX, double layoutY) {
        AncestorNode& added = node(tree.ancestors, tree.ancestorCount, n, layoutX, layoutY);
        added.sosa = sosa;
        return added;
    }
    // The root (1) with two children (2 above, 3 below), one generation to its left.
    void rootWithTwoChildren() {
        descendant(1, 0, 0, 0);
        descendant(2, 1, 32, -20, 1);
        descendant(3, 1, 32, 20, 1);
    }
    void draw(int64_t size = 1000, const ChartView& view = {}) {
        canvas.clear();
        DrawChart(canvas, tree, store, settings, view, size, size, Rect{0, 0, size - 1, size - 1}, reporter);
    }
    bool has(const std::string& line) const {
        return std::find(canvas.lines().begin(), canvas.lines().end(), line) != canvas.lines().end();
    }
    // Which of these lines were not drawn.
    Lines missing(const Lines& expected) const {
        Lines absent;
        for (const std::string& line : expected)
            if (!has(line)) absent.push_back(line);
        return absent;
    }
    // The `count` lines drawn after `marker` (none when it was not drawn).
    Lines after(const std::string& marker, size_t count) const {
        const auto& lines = canvas.lines();
        auto it = std::find(lines.begin(), lines.end(), marker);
        Lines found;
        if (it == lines.end()) return found;
        for (++it; it != lines.end() && found.size() < count; ++it) found.push_back(*it);
        return found;
    }
};

TEST(DrawChart, BoxesTextsAndYears) {
    HandChart c;
    c.draw();
    EXPECT_TRUE(c.canvas.lines().empty()); // empty tables draw nothing
    c.rootWithTwoChildren();
    c.tree.descendants[1].birthYear = 1850;
    c.tree.descendants[1].deathYear = 1920;
    c.settings.setnaissance = c.settings.setdece = 1;
    c.draw();
    // The root, mirrored to the right: x = 32 − 0 → left px(32) = 410, right px(82) = 910,
    // top py(−5) = 450, a row of 100. Texts of 98 pixels (98 % of a row); "DUPONT J." gets
    // glyphs 480 / 9 = 53 wide. Years beyond the box's right side: the date font fits "2999" in
    // 9 units (90 pixels).
    EXPECT_EQ(c.missing({"Rectangle 410 450 911 550", "Rectangle 90 250 591 350", "Rectangle 90 650 591 750",
                         "Font h=98 w=53 \"Times New Roman\" 400", "TextOut 420 450 TA_TOP|TA_LEFT \"DUPONT J.\"",
                         "Font h=48 w=22 \"Times New Roman\" 400", "TextOut 911 482 TA_BASELINE|TA_LEFT \"1850\"",
                         "TextOut 911 549 TA_BASELINE|TA_LEFT \"1920\""}),
              Lines{});
}

TEST(DrawChart, DescendantLinksSecondParentBracesAndTheImplexePen) {
    HandChart c;
    c.rootWithTwoChildren();
    c.descendant(4, 2, 64, 0, 2).parent2 = 3;
    c.draw();
    // The bus 10 units left of the root, xb = px(22) = 310; the children's right edges px(50).
    EXPECT_EQ(c.after("MoveTo 410 500", 9), (Lines{"LineTo 310 500", "MoveTo 590 300", "LineTo 310 300", "LineTo 310 500",
                                                   "MoveTo 590 700", "LineTo 310 700", "LineTo 310 500", "MoveTo 310 300",
                                                   "LineTo 310 700"}));
    // Node 4 (x = −32) joins its second parent 3: from its right edge px(18) = 270 to 3's left px(0).
    EXPECT_FALSE(std::ranges::search(c.canvas.lines(), Lines{"MoveTo 270 500", "LineTo 90 700"}).empty());

    c.settings.setaccolade = 1;
    c.settings.m_implexe.m_type = 2;
    c.settings.m_implexe.couleur = 0x0000FF;
    c.draw();
    EXPECT_EQ(c.missing({"PolyBezier 410 500 590 500 410 300 590 300", "PolyBezier 410 500 590 500 410 700 590 700"}),
              Lines{});
    // The second parent's curve in the implexe pen, then the main pen again.
    EXPECT_EQ(c.after("Pen dash 1 0x0000FF", 2), (Lines{"PolyBezier 270 500 90 500 270 700 90 700", "Pen solid 1 0x000000"}));
}

TEST(DrawChart, DescendantPipes) {
    HandChart c;
    c.rootWithTwoChildren();
    c.settings.tuyau = 1;
    c.draw();
    // t = min(500 / 30, 100 / 8) = 12, h = 6, xb = 310. Two children: the walls reach the bus,
    // the entry bracket, the tab of each child.
    const Lines bus{
        "MoveTo 386 494", "LineTo 322 494", "MoveTo 386 506", "LineTo 322 506",                     // walls
        "MoveTo 316 488", "LineTo 322 488", "LineTo 322 512", "LineTo 316 512",                     // entry
        "MoveTo 304 312", "LineTo 298 312", "LineTo 298 288", "LineTo 316 288", "LineTo 316 488",   // first
        "MoveTo 304 312", "LineTo 304 688", "LineTo 298 688", "LineTo 298 712", "LineTo 304 712",   // next
        "LineTo 316 712", "LineTo 316 512"};
    EXPECT_EQ(c.after("FrameRect 386 488 411 512 0x000000", bus.size()), bus);
}

// The ancestor table: node 1 at x 0, its father and mother at x 32. The link leaves node 1's right
// side (px(50) = 590) for the middle of the gap, px((0 + 50 + 32) / 2) = px(41) = 500.
struct AncestorChart : HandChart {
    AncestorChart(double yFather, double yMother, double yChild, bool pipes = false) {
        tree.descendantCount = tree.descendantExtentX = 0;
        tree.chartMode = kModeAncestors;
        ancestor(1, 1, 0, yChild);
        ancestor(2, 2, 32, yFather).child = 1;
        ancestor(3, 3, 32, yMother).child = 1;
        tree.ancestors[1].father = 2;
        tree.ancestors[1].mother = 3;
        settings.tuyau = pipes;
    }
};

TEST(DrawChart, PlainAndBraceAncestorLinks) {
    AncestorChart c(-20, 20, 0);
    c.draw();
    // The link leaves the box one pen half (at least 1) and one pixel beyond its right edge: 592.
    EXPECT_EQ(c.after("MoveTo 500 300", 8), (Lines{"LineTo 500 500", "LineTo 500 700", "MoveTo 592 500", "LineTo 500 500",
                                                   "MoveTo 410 300", "LineTo 500 300", "MoveTo 410 700", "LineTo 500 700"}));
    // Braces: two curves from px(39) = 480 to px(43) = 520.
    c.settings.setaccolade = 1;
    c.draw();
    EXPECT_EQ(c.missing({"PolyBezier 480 500 520 500 480 300 520 300", "PolyBezier 480 500 520 500 480 700 520 700"}),
              Lines{});
    EXPECT_EQ(c.after("MoveTo 592 500", 1), Lines{"LineTo 480 500"});
}

TEST(DrawChart, AncestorPipeJunctionAtEachHeight) {
    // t = 12: the junction outline around X = 500, by the child's height against its parents'.
    const std::pair<double, const char*> cases[] = {
        {0, "Polyline 464 512 488 512 488 536 512 536 512 464 488 464 488 488 464 488 464 512"},    // between
        {-20, "Polyline 464 312 488 312 488 336 512 336 512 312 536 312 536 288 464 288 464 312"},  // at father
        {40, "Polyline 488 736 512 736 512 712 536 712 536 688 512 688 512 664 488 664 488 736"},   // below both
    };
    for (const auto& [yChild, junction] : cases) {
        AncestorChart c(-20, 20, yChild, true);
        c.draw();
        EXPECT_EQ(c.canvas.countStartingWith("Polyline"), 1u) << yChild;
        EXPECT_TRUE(c.has(junction)) << yChild;
    }
    // Braces bend the pipes with quarter arcs.
    AncestorChart c(-20, 20, 0, true);
    c.settings.setaccolade = 1;
    c.draw();
    EXPECT_EQ(c.canvas.countStartingWith("Arc "), 4u);

    // A box below both parents (a second link to ancestors higher up) rises into the junction
    // at the mother's height instead of stopping short of the bus.
    AncestorChart below(-20, 20, 40, true);
    below.draw();
    EXPECT_EQ(below.after("MoveTo 614 894", 2), (Lines{"LineTo 494 894", "LineTo 494 736"}));
    EXPECT_EQ(below.after("MoveTo 614 906", 2), (Lines{"LineTo 506 906", "LineTo 506 736"}));
    below.settings.setaccolade = 1;
    below.draw();
    EXPECT_TRUE(below.has("Arc 494 894 734 578 614 894 494 736"));
}

TEST(DrawChart, SpouseLinesBriqueAndCulling) {
    HandChart c;
    c.rootWithTwoChildren();
    c.settings.epoux = c.settings.brique = 1;
    c.settings.interval = 2;
    DescendantNode& root = c.tree.descendants[1];
    root.spouseCount = 3;
    for (int32_t j = 0; j < 3; ++j) {
        root.spouses[j] = j + 1;
        Name(c.store[j + 1], "MARTIN", "Anne");
    }
    c.tree.descendants[3].layoutY = 80; // below the drawing: not drawn, still linked
    c.draw();
    // Three spouse lines of half a row: the outer box is 100 + 150 tall, the inner one a row.
    // Spouse 0 on the bottom of the spouse area, each next one half a row higher. The culled
    // child keeps its rectangle but nothing of it is drawn but its link.
    EXPECT_EQ(c.missing({"Rectangle 410 450 911 700", "Rectangle 410 450 911 550",
                         "TextOut 420 700 TA_BOTTOM|TA_LEFT \"MARTIN A.\"", "TextOut 420 650 TA_BOTTOM|TA_LEFT \"MARTIN A.\"",
                         "TextOut 420 600 TA_BOTTOM|TA_LEFT \"MARTIN A.\"", "MoveTo 414 446", "MoveTo 590 1300"}),
              Lines{});
    // "brique": two offset copies of the top and right edges (interval 2).
    EXPECT_EQ(c.after("MoveTo 412 448", 2), (Lines{"LineTo 911 448", "LineTo 911 548"}));
    EXPECT_FALSE(c.has("MoveTo 416 444"));
    EXPECT_EQ(c.tree.descendants[3].boxTop, 1250);
    EXPECT_EQ(c.canvas.countStartingWith("Rectangle 90 1250"), 0u);
}

TEST(DrawChart, ConnectorsAndFlags) {
    HandChart c;
    c.rootWithTwoChildren();
    std::strcpy(c.tree.descendants[2].surname, "$");
    std::strcpy(c.tree.descendants[3].surname, "&");
    c.tree.descendants[3].layoutY = 56; // just below the drawing: "&" is drawn anyway, "$" would not be
    c.settings.drapeau = 1;
    c.tree.descendants[1].country = 207;
    c.draw();
    EXPECT_EQ(c.after("MoveTo 90 300", 1), Lines{"LineTo 590 300"});
    EXPECT_EQ(c.after("MoveTo 90 1060", 1), Lines{"LineTo 590 1060"});
    EXPECT_EQ(c.canvas.countStartingWith("Rectangle"), 1u);
    // The flag takes the last 15 units: separator at px(67) = 760, picture inside the pen. Names
    // fitted to 480 − 150 = 330 pixels once flags are shown: 330 / 9 = 36.
    EXPECT_EQ(c.missing({"MoveTo 760 549", "Flag 207 761 451 149 98", "Font h=98 w=36 \"Times New Roman\" 400"}),
              Lines{});
}

// Links are left out only where they cannot show: a bus or a parent link crossing the drawing is
// drawn though every box it joins lies outside; a family wholly below it draws nothing, its boxes
// still get their rectangles.
TEST(DrawChart, LinksAcrossTheDrawingAreDrawnTheOthersLeftOut) {
    HandChart c;
    c.descendant(1, 0, 0, -200);     // py −1500
    c.descendant(2, 1, 32, -180, 1); // py −1300
    c.descendant(3, 1, 32, 200, 1);  // py 2500
    c.descendant(4, 2, 64, 220, 3);  // py 2700
    c.draw();
    EXPECT_EQ(c.after("MoveTo 310 -1300", 1), Lines{"LineTo 310 2500"}); // the root's bus, xb = px(22)
    EXPECT_EQ(c.after("MoveTo 590 2500", 2), (Lines{"LineTo 310 2500", "LineTo 310 -1500"}));
    EXPECT_FALSE(c.has("MoveTo 90 2500")); // child 3 to its own child, 1200 pixels below
    EXPECT_EQ(c.canvas.countStartingWith("Rectangle"), 0u);
    EXPECT_EQ(c.tree.descendants[4].boxTop, 2650);

    AncestorChart a(-200, 200, -150); // father at −1500, mother at 2500, the child at −1000
    a.draw();
    EXPECT_EQ(a.after("MoveTo 500 -1500", 2), (Lines{"LineTo 500 -1000", "LineTo 500 2500"}));
}

// At the deepest zoom a window allows (2^30) the mapping stays exact. The drawing is 8 × 65536
// pixels and the chart 128 units long (extentX 60 + larg 50 + 18) and 2^20 units broad, so that
// every step of the mapping is a power of two: px(u) = (u + 9) × 2^26 − 4 × scrollX and
// py(v) = (v + 10) × 2^26 − 2^15 × scrollY, computed here in 64 bits.
TEST(DrawChart, BoxRectanglesAreExactAtTheDeepestZoom) {
    HandChart c;
    c.tree.extentX = c.tree.descendantExtentX = 60;
    c.tree.yMin = -5;
    c.tree.yMax = (1 << 20) - 15;
    c.descendant(1, 0, 0, 0);
    c.descendant(2, 1, 60, c.tree.yMax, 1);
    c.descendant(3, 1, 60, c.tree.yMin, 1);
    constexpr int64_t kZoom = int64_t{1} << 30;
    const auto drawAt = [&](int32_t scrollX, int64_t scrollY) {
        c.canvas.clear();
        DrawChart(c.canvas, c.tree, c.store, c.settings, ChartView{kZoom, scrollX, scrollY}, 8, 65536,
                  Rect{0, 0, 7, 65535}, c.reporter);
        const auto px = [&](int64_t u) { return (u + 9) * (int64_t{1} << 26) - 4 * int64_t{scrollX}; };
        const auto py = [&](int64_t v) { return (v + 10) * (int64_t{1} << 26) - scrollY * (int64_t{1} << 15); };
        for (int32_t n = 1; n <= 3; ++n) {
            const DescendantNode& node = c.tree.descendants[static_cast<size_t>(n)];
            const int64_t x = 60 - node.layoutX;
            const auto v = static_cast<int64_t>(node.layoutY);
            EXPECT_EQ((std::vector<int64_t>{node.boxLeft, node.boxRight, node.boxTop, node.boxBottom}),
                      (std::vector<int64_t>{px(x), px(x + 50) + 1, py(v - 5), py(v - 5) + 10 * (int64_t{1} << 26)}))
                << n << " at " << scrollX << ", " << scrollY;
        }
    };
    // The last positions: the lowest box ends on the drawing's bottom edge, the root lies 2^46
    // pixels above.
    drawAt(INT32_MAX - 1, 2 * kZoom - 2);
    EXPECT_EQ(c.tree.descendants[2].boxBottom, 65536);
    EXPECT_LT(c.tree.descendants[1].boxTop, -(int64_t{1} << 45));
    // On the root's top-left corner: its box, 3.4 × 10^9 pixels long, is drawn from there.
    drawAt(69 << 24, 5 << 11);
    EXPECT_TRUE(c.has("Rectangle 0 0 3355443201 671088640"));
}

// A pattern in the boxes is tiled 8 × 8 (times the device's resolution over 96) from the box's
// corner and cut at its right and bottom edges; a gradient background is stretched over the
// visible area; a picture that cannot be read is reported once and then forgotten.
TEST(DrawChart, FillsStretchedAndTiled) {
    HandChart c;
    c.descendant(1, 0, 0, 0);
    c.settings.texture_rectangle.kind = kFillPattern;
    c.settings.texture_fond.kind = kFillGradient;
    c.draw();
    // The box spans x 410..910 and y 450..549: 63 columns and 13 rows of tiles, the last ones
    // cut to 5 × 4 pixels of the pattern.
    EXPECT_EQ(c.canvas.countStartingWith("StretchDIBits"), 1u + 63 * 13);
    EXPECT_EQ(c.missing({"StretchDIBits 0 998 999 -999 0 0 256 256 256x256x24", "StretchDIBits 410 457 8 -8 0 0 8 8 8x8x24",
                         "StretchDIBits 906 549 5 -4 0 0 5 4 8x8x24"}),
              Lines{});
    c.canvas = RecordingCanvas{DeviceInfo{32, 192, 192, 1000, 1000}};
    c.draw();
    EXPECT_EQ(c.canvas.countStartingWith("StretchDIBits"), 1u + 32 * 7);
    EXPECT_TRUE(c.has("StretchDIBits 906 549 5 -4 0 0 2 2 8x8x24"));

    c.settings.texture_rectangle.kind = kFillPicture;
    std::strcpy(c.settings.texture_rectangle.fileName, "/nonexistent/photo.bmp");
    c.draw();
    EXPECT_EQ(c.reporter.messages.size(), 1u);
    EXPECT_EQ(c.settings.texture_rectangle.fileName[0], '\0');
    c.draw();
    EXPECT_EQ(c.reporter.messages.size(), 1u);
}

TEST(TextFitting, LabelsDateFontAndFits) {
    ChartSettings s = DefaultChartSettings();
    // Given names in full or as an initial, before or after the surname.
    const char* labels[] = {"DUPONT J.", "DUPONT Jean", "Jean DUPONT", "J. DUPONT"};
    for (int k = 0; k < 4; ++k) {
        s.setprenom = k == 1 || k == 2;
        s.inverse_nom = k >= 2;
        EXPECT_EQ(ComposeLabel("DUPONT", "Jean", s), labels[k]);
    }
    s.inverse_nom = s.setprenom = 0;
    EXPECT_EQ(ComposeLabel("DUPONT", "", s), "DUPONT .");

    RecordingCanvas canvas;
    const ChartMetrics chart{.extentX = 32, .yMin = -45, .yMax = 45, .longestSurname = 6, .longestGivenName = 4};
    const DrawingArea area{1000, 1000};
    LogFont date;
    bool ready = false;
    EXPECT_EQ(MakeDateFont(canvas, s, chart, area, date, ready), 98);
    EXPECT_TRUE(ready);
    s.lieu = 1;
    EXPECT_EQ(MakeDateFont(canvas, s, chart, area, date, ready), 65); // two thirds of the row
    s.setnom = 0;
    EXPECT_EQ(MakeDateFont(canvas, s, chart, area, date, ready), 0);
    EXPECT_FALSE(ready);
    s.setnom = 1;
    EXPECT_EQ(MakeDateFont(canvas, s, chart, {1000, 15}, date, ready), 0); // rows under 2 pixels

    // Never wider than high; 0 when too low.
    LogFont font;
    const std::tuple<int32_t, const char*, int32_t, int32_t, int32_t> fits[] = {
        {100, "ABCD", 20, 20, 20}, {100, "ABCDEFGHIJKLMNOPQRSTUVWXYZ", 20, 20, 3}, {100, "ABCD", 2, 0, -1}};
    for (const auto& [width, text, height, fitted, glyph] : fits) {
        EXPECT_EQ(FitFont(canvas, s.lf_nom, width, text, height, font), fitted) << text << width;
        if (glyph >= 0) { EXPECT_EQ(font.lfWidth, glyph) << text << width; }
    }
}

} // namespace
} // namespace arbolix
