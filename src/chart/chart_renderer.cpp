#include "chart/chart_renderer.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <optional>
#include <string>
#include <type_traits>
#include <vector>

#include "base/reporter.h"
#include "chart/link_shapes.h"
#include "chart/text_fitting.h"
#include "fills/fill_bitmap.h"

namespace arbolix {

// ---------------------------------------------------------------------------------------------
// Mapping

namespace {

int64_t Truncate(double value) {
    constexpr double kLimit = 4.0e18;
    if (!(value > -kLimit)) return -static_cast<int64_t>(kLimit);
    if (!(value < kLimit)) return static_cast<int64_t>(kLimit);
    return static_cast<int64_t>(value);
}

} // namespace

ChartMapping::ChartMapping(const ChartMetrics& chart, const DrawingArea& area, const ChartView& view,
                           const Rect& origin)
    : unitsX_(chart.extentX + chart.larg + 18), unitsY_(chart.yMax - chart.yMin + 10), yMin_(chart.yMin),
      zoom_(static_cast<double>(view.zoom)), halfScrollX_(view.scrollX * 0.5),
      halfScrollY_(static_cast<double>(view.scrollY) * 0.5), width_(area.width), height_(area.height),
      left_(static_cast<double>(origin.left)), top_(static_cast<double>(origin.top)) {}

// px(u) = ((u + 9) / (extentX + larg + 18) × Z − scrollX × 0.5) × W + L
int64_t ChartMapping::px(double u) const { return Truncate(((u + 9) / unitsX_ * zoom_ - halfScrollX_) * width_ + left_); }

// py(v) = ((v − yMin + 5) / (yMax − yMin + 10) × Z − scrollY × 0.5) × H + T0
int64_t ChartMapping::py(double v) const {
    return Truncate(((v - yMin_ + 5) / unitsY_ * zoom_ - halfScrollY_) * height_ + top_);
}

namespace {

// ---------------------------------------------------------------------------------------------
// Fills

Brush BrushOf(const LogBrush& brush) {
    return {brush.lbStyle == 1 ? BrushStyle::Null : BrushStyle::Solid, brush.lbColor};
}

// A fill built for the pass: a packed DIB, stretched or tiled.
struct PassFill {
    FillBitmap bitmap;
    bool usable() const { return !bitmap.dib.empty() && bitmap.width > 0 && bitmap.height > 0; }
};

void BuildPassFill(PassFill& fill, FillSpec& style, int32_t bitsPerPixel, int32_t width, int32_t height,
                   Reporter& reporter) {
    BuildFill(fill.bitmap, FillMode::PackedDib, bitsPerPixel, width, height, style.kind, style.brush.lbColor,
              style.colour2, style.gradientType, style.variant, style.fileName, style.textureId, style.patternIndex,
              reporter);
}

// Draws the fill's whole picture into the rectangle, first row on top.
void StretchFill(Canvas& canvas, const PassFill& fill, int64_t left, int64_t top, int64_t width, int64_t height,
                 Reporter& reporter) {
    if (!fill.usable() || width <= 0 || height <= 0) return;
    if (!canvas.stretchDib(left, top + height - 1, width, -height, 0, 0, fill.bitmap.width, fill.bitmap.height,
                           fill.bitmap.dib.data(), fill.bitmap.dib.size()))
        reporter.report({"Erreur ::StretchDIBits", "arbolix", MessageIcon::Exclamation});
}

// Tiles the fill over an area from its top-left corner, each tile its pixel size scaled by the
// device's resolution over 96. With `cut`, tiles passing the area's right or bottom edge are cut
// there; otherwise they overhang it. Tiles that cannot be seen are not drawn.
void TileFill(Canvas& canvas, const PassFill& fill, const Rect& area, bool cut, const Rect& visible,
              const DeviceInfo& device, Reporter& reporter) {
    if (!fill.usable()) return;
    const int64_t tileW = int64_t{fill.bitmap.width} * device.pixelsPerInchX / 96;
    const int64_t tileH = int64_t{fill.bitmap.height} * device.pixelsPerInchY / 96;
    if (tileW <= 0 || tileH <= 0) return;
    // Start at the first tile that reaches the visible area.
    const auto firstFrom = [](int64_t start, int64_t size, int64_t from) {
        return from > start ? start + (from - start) / size * size : start;
    };
    const int64_t xStart = firstFrom(area.left, tileW, visible.left);
    const int64_t yStart = firstFrom(area.top, tileH, visible.top);
    const int64_t xEnd = std::min(area.right, visible.right + 1);
    const int64_t yEnd = std::min(area.bottom, visible.bottom + 1);
    for (int64_t y = yStart; y < yEnd; y += tileH) {
        int64_t h = tileH;
        int32_t sourceH = fill.bitmap.height;
        if (cut && y + h > area.bottom) {
            h = area.bottom - y;
            sourceH = static_cast<int32_t>(int64_t{fill.bitmap.height} * h / tileH);
        }
        for (int64_t x = xStart; x < xEnd; x += tileW) {
            int64_t w = tileW;
            int32_t sourceW = fill.bitmap.width;
            if (cut && x + w > area.right) {
                w = area.right - x;
                sourceW = static_cast<int32_t>(int64_t{fill.bitmap.width} * w / tileW);
            }
            if (w <= 0 || h <= 0 || sourceW <= 0 || sourceH <= 0) continue;
            if (!canvas.stretchDib(x, y + h - 1, w, -h, 0, 0, sourceW, sourceH, fill.bitmap.dib.data(),
                                   fill.bitmap.dib.size())) {
                reporter.report({"Erreur ::StretchDIBits", "arbolix", MessageIcon::Exclamation});
                return;
            }
        }
    }
}

void DrawBackground(Canvas& canvas, ChartSettings& settings, const Rect& origin,
                    const Rect& visible, const DeviceInfo& device, Reporter& reporter) {
    FillSpec& style = settings.texture_fond;
    switch (style.kind) {
    case kFillSolid:
        canvas.setBackgroundMode(BackgroundMode::Opaque);
        canvas.setBackgroundColour(style.brush.lbColor);
        canvas.fillRect({origin.left, origin.top, origin.right + 1, origin.bottom + 1}, BrushOf(style.brush));
        return;
    case kFillGradient:
    case kFillPicture: {
        PassFill fill;
        const int32_t size = style.kind == kFillGradient ? 256 : 0;
        BuildPassFill(fill, style, device.bitsPerPixel, size, size, reporter);
        StretchFill(canvas, fill, origin.left, origin.top, origin.right - origin.left, origin.bottom - origin.top,
                    reporter);
        return;
    }
    case kFillTexture:
    case kFillPattern: {
        PassFill fill;
        const int32_t size = style.kind == kFillTexture ? 16 : 8;
        BuildPassFill(fill, style, device.bitsPerPixel, size, size, reporter);
        TileFill(canvas, fill, {origin.left, origin.top, origin.right, origin.bottom}, false,
                 visible, device, reporter);
        return;
    }
    default: return;
    }
}

// ---------------------------------------------------------------------------------------------
// Fonts shared by every box in fixed-font mode

struct SharedFont {
    LogFont font;
    int32_t height = 0; // 0: none
};

struct SharedFonts {
    SharedFont name;
    SharedFont place;
    SharedFont spouse;
};

// Fits one font to the first text, then widens the search: each text wider than the box gets a
// font fitted to it, which serves the next ones.
template <class EachText>
SharedFont FitSharedFont(Canvas& canvas, const LogFont& style, int64_t avail, int32_t height, const std::string& first,
                         EachText&& eachText) {
    SharedFont shared;
    shared.height = FitFont(canvas, style, avail, first, height, shared.font);
    if (shared.height <= 0) return {};
    eachText([&](std::string_view text) {
        if (shared.height <= 0 || text.empty()) return;
        const LogFont previous = canvas.selectFont(shared.font);
        const Extent extent = canvas.textExtent(text);
        canvas.selectFont(previous);
        if (extent.cx > avail) shared.height = FitFont(canvas, style, avail, text, height, shared.font);
    });
    return shared.height > 0 ? shared : SharedFont{};
}

SharedFonts MakeSharedFonts(Canvas& canvas, const ChartTree& tree, const PersonStore& store,
                            const ChartSettings& settings, int64_t avail, int32_t textH) {
    SharedFonts fonts;
    const auto label = [&](const char* surname, const char* given) { return ComposeLabel(surname, given, settings); };
    // The name font starts from the longest-looking name.
    const auto score = [&](const char* surname, const char* given) {
        return std::strlen(surname) + (settings.setprenom == 0 ? std::strlen(given) : 1);
    };
    std::string first;
    size_t best = 0;
    bool any = false;
    const auto consider = [&](const char* surname, const char* given) {
        const size_t s = score(surname, given);
        if (!any || s > best) first = label(surname, given), best = s, any = true;
    };
    if (tree.descendantCount >= 1) consider(tree.descendants[1].surname, tree.descendants[1].givenName);
    else if (tree.ancestorCount >= 1) consider(tree.ancestors[1].surname, tree.ancestors[1].givenName);
    for (int32_t n = 2; n <= tree.descendantCount; ++n)
        consider(tree.descendants[static_cast<size_t>(n)].surname, tree.descendants[static_cast<size_t>(n)].givenName);
    for (int32_t n = 2; n <= tree.ancestorCount; ++n)
        consider(tree.ancestors[static_cast<size_t>(n)].surname, tree.ancestors[static_cast<size_t>(n)].givenName);
    fonts.name = FitSharedFont(canvas, settings.lf_nom, avail, textH, first, [&](auto&& visit) {
        for (int32_t n = 1; n <= tree.descendantCount; ++n)
            visit(label(tree.descendants[static_cast<size_t>(n)].surname, tree.descendants[static_cast<size_t>(n)].givenName));
        for (int32_t n = 2; n <= tree.ancestorCount; ++n)
            visit(label(tree.ancestors[static_cast<size_t>(n)].surname, tree.ancestors[static_cast<size_t>(n)].givenName));
    });
    if (fonts.name.height <= 0) return {};
    if (settings.lieu == 1 && textH > 1) {
        const std::string firstPlace = tree.descendantCount >= 1 ? tree.descendants[1].place
                                       : tree.ancestorCount >= 1 ? tree.ancestors[1].place
                                                                 : "";
        fonts.place = FitSharedFont(canvas, settings.lf_lieu, avail, 2 * textH / 3, firstPlace, [&](auto&& visit) {
            for (int32_t n = 1; n <= tree.descendantCount; ++n) visit(tree.descendants[static_cast<size_t>(n)].place);
            for (int32_t n = 1; n <= tree.ancestorCount; ++n) visit(tree.ancestors[static_cast<size_t>(n)].place);
        });
    }
    if (settings.epoux == 1 && textH > 1) {
        const auto eachSpouse = [&](auto&& visit) {
            for (int32_t n = 1; n <= tree.descendantCount; ++n) {
                const DescendantNode& node = tree.descendants[static_cast<size_t>(n)];
                for (int32_t j = 0; j < std::clamp(node.spouseCount, 0, 4); ++j) {
                    const int32_t spouse = node.spouses[j];
                    if (spouse > 0 && spouse < store.recordCount()) visit(label(store[spouse].surname, store[spouse].givenName));
                }
            }
        };
        std::string firstSpouse;
        eachSpouse([&](const std::string& text) {
            if (firstSpouse.empty()) firstSpouse = text;
        });
        if (!firstSpouse.empty())
            fonts.spouse = FitSharedFont(canvas, settings.lf_epoux, avail, ((settings.lieu + 2) * textH) / 4,
                                         firstSpouse, eachSpouse);
    }
    return fonts;
}

// ---------------------------------------------------------------------------------------------
// Boxes

// The rows a node's drawing covers: its box and the centres its links run to.
struct RowSpan {
    int64_t low = std::numeric_limits<int64_t>::max();
    int64_t high = std::numeric_limits<int64_t>::min();
    void cover(int64_t top, int64_t bottom) {
        low = std::min(low, top);
        high = std::max(high, bottom);
    }
};

// The visible area widened by how far a box's drawing may stand out of its rectangle: its years
// (at most "2999" fitted into 9 units, so twice that for any year), a glyph's overhang (less than
// a row), the "brique" decoration and the pen. A box beyond it cannot show.
Rect InkReach(const ChartPass& pass, const ChartSettings& settings, const Rect& visible) {
    const int64_t row = std::max<int64_t>(pass.rowH, 0);
    const int64_t years = std::max<int64_t>(pass.map.px(18) - pass.map.px(0), 0);
    const int64_t common =
        row + 2 * int64_t{std::max(settings.interval, 0)} + std::max(settings.largeur_pen, 1) + 8;
    return {visible.left - years - common, visible.top - common, visible.right + years + common,
            visible.bottom + common};
}

class BoxPainter {
public:
    BoxPainter(ChartPass& pass, const PersonStore& store, ChartSettings& settings,
               const Rect& origin, const Rect& visible, const DeviceInfo& device,
               Reporter& reporter)
        : pass_(pass), store_(store), settings_(settings), origin_(origin), visible_(visible),
          device_(device), reporter_(reporter) {}

    void prepare(int64_t avail, const LogFont& dateFont, bool dateFontReady, const SharedFonts* shared) {
        const int64_t margin = std::max<int64_t>(pass_.rowH, 0) + std::max(settings_.largeur_pen, 1) + 2;
        reachTop_ = visible_.top - margin;
        reachBottom_ = visible_.bottom + margin;
        inkReach_ = InkReach(pass_, settings_, visible_);
        avail_ = avail;
        dateFont_ = dateFont;
        dateFontReady_ = dateFontReady;
        shared_ = shared;
        FillSpec& style = settings_.texture_rectangle;
        switch (style.kind) {
        case kFillGradient: BuildPassFill(fill_, style, device_.bitsPerPixel, 256, 256, reporter_); break;
        case kFillTexture:
        case kFillPicture: BuildPassFill(fill_, style, device_.bitsPerPixel, 0, 0, reporter_); break;
        case kFillPattern: BuildPassFill(fill_, style, device_.bitsPerPixel, 8, 8, reporter_); break;
        default: break;
        }
    }

    BoxGeometry geometry(const DescendantNode& node, int32_t n) const;
    BoxGeometry geometry(const AncestorNode& node, int32_t n) const;
    // Whether anything drawn within these rows may show.
    bool reaches(const RowSpan& rows) const { return rows.high >= reachTop_ && rows.low <= reachBottom_; }
    // The box with its contents, then its links.
    template <class Node>
    void draw(const Node& node, int32_t n, const BoxGeometry& box, bool descendant);

private:
    BoxGeometry frameGeometry(double x, double layoutY, int32_t n) const;
    void fillAndOutline(const BoxGeometry& box, bool descendant);
    void flag(int32_t country, double x, const BoxGeometry& box);
    void texts(const char* surname, const char* givenName, const char* place, const BoxGeometry& box,
               const DescendantNode* descendant);
    void years(int32_t birth, int32_t death, const BoxGeometry& box, bool descendant);
    void brique(const BoxGeometry& box);
    bool visible(const BoxGeometry& box) const {
        return box.left <= origin_.right && box.top <= origin_.bottom &&
               box.right >= origin_.left && box.extBottom >= origin_.top &&
               box.left <= inkReach_.right && box.top <= inkReach_.bottom &&
               box.right >= inkReach_.left && box.extBottom >= inkReach_.top;
    }

    ChartPass& pass_;
    const PersonStore& store_;
    ChartSettings& settings_;
    const Rect& origin_;
    const Rect& visible_;
    const DeviceInfo& device_;
    Reporter& reporter_;
    PassFill fill_;
    int64_t avail_ = 0;
    LogFont dateFont_{};
    bool dateFontReady_ = false;
    const SharedFonts* shared_ = nullptr;
    // The rows in which a line may show: the visible area's, widened by a row (pipes and their
    // junctions stand out at most 3/8 of a row from the centres they join) and the pen.
    int64_t reachTop_ = 0;
    int64_t reachBottom_ = 0;
    // The boxes whose contents may show: those within this widening of the visible area.
    Rect inkReach_;
};

BoxGeometry BoxPainter::frameGeometry(double x, double layoutY, int32_t n) const {
    const double larg = settings_.larg;
    BoxGeometry box;
    if (pass_.parentChart && n == 1) {
        box.left = box.textX = box.right = pass_.map.px(x + larg);
    } else {
        box.left = pass_.map.px(x);
        box.textX = pass_.map.px(x + 1);
        box.right = pass_.map.px(x + larg);
    }
    box.top = pass_.map.py(layoutY - 5);
    box.bottom = box.top + pass_.rowH;
    box.extBottom = box.bottom;
    return box;
}

BoxGeometry BoxPainter::geometry(const DescendantNode& node, int32_t n) const {
    BoxGeometry box = frameGeometry(pass_.x(node), node.layoutY, n);
    if (settings_.epoux == 1 && pass_.textH >= 1)
        box.extBottom = box.top + (int64_t{std::clamp(node.spouseCount, 0, 4)} + 2) * pass_.rowH / 2;
    return box;
}

BoxGeometry BoxPainter::geometry(const AncestorNode& node, int32_t n) const {
    return frameGeometry(pass_.x(node), node.layoutY, n); // no spouse lines on the ancestor side
}

template <class Node>
void BoxPainter::draw(const Node& node, int32_t n, const BoxGeometry& box, bool descendant) {
    Canvas& canvas = pass_.canvas;
    const auto links = [&] {
        if constexpr (std::is_same_v<Node, DescendantNode>) {
            DrawDescendantLinks(pass_, n, box);
        } else {
            DrawAncestorLinks(pass_, n, box);
        }
    };
    // Connector boxes: a line across the box instead of a frame.
    const char marker = node.surname[0];
    if (marker == '&' || marker == '$') {
        const bool shown = visible(box);
        if (marker == '&' || shown) {
            const int64_t y = pass_.map.py(node.layoutY);
            canvas.moveTo(box.left, y);
            canvas.lineTo(box.right, y);
        }
        if (marker == '$' && shown) brique(box);
        links();
        return;
    }
    if (visible(box)) {
        fillAndOutline(box, descendant);
        flag(node.country, pass_.x(node), box);
        const DescendantNode* spouses = nullptr;
        if constexpr (std::is_same_v<Node, DescendantNode>) spouses = &node;
        texts(node.surname, node.givenName, node.place, box, spouses);
        years(node.birthYear, node.deathYear, box, descendant);
        brique(box);
    }
    links();
}

void BoxPainter::fillAndOutline(const BoxGeometry& box, bool descendant) {
    Canvas& canvas = pass_.canvas;
    const FillSpec& style = settings_.texture_rectangle;
    if (style.kind == kFillSolid) {
        const Brush previous = canvas.selectBrush(BrushOf(style.brush));
        canvas.setBackgroundMode(BackgroundMode::Opaque);
        canvas.setBackgroundColour(style.colour2);
        canvas.rectangle(box.left, box.top, box.right + 1, box.extBottom);
        if (descendant && settings_.epoux == 1) canvas.rectangle(box.left, box.top, box.right + 1, box.bottom);
        canvas.setBackgroundMode(BackgroundMode::Transparent);
        canvas.selectBrush(previous);
        return;
    }
    if (style.kind == kFillGradient || style.kind == kFillPicture) {
        StretchFill(canvas, fill_, box.left, box.top, box.right - box.left + 1, box.extBottom - box.top, reporter_);
    } else if (style.kind == kFillTexture || style.kind == kFillPattern) {
        TileFill(canvas, fill_, {box.left, box.top, box.right + 1, box.extBottom}, true, visible_,
                 device_, reporter_);
    }
    DrawFrame(canvas, {box.left, box.top, box.right + 1, box.bottom});
    if (box.extBottom != box.bottom) DrawFrame(canvas, {box.left, box.top, box.right + 1, box.extBottom});
}

// The flag takes the last 15 units of the box, behind a separator.
void BoxPainter::flag(int32_t country, double x, const BoxGeometry& box) {
    if (settings_.drapeau == 0 || country == 0) return;
    Canvas& canvas = pass_.canvas;
    const int64_t penHalf = std::max<int64_t>(settings_.largeur_pen / 2, 1);
    const int64_t xf = pass_.map.px(x + settings_.larg - 15);
    canvas.moveTo(xf, box.bottom - penHalf);
    canvas.lineTo(xf, box.top + penHalf - 1);
    canvas.drawFlag(country, xf + penHalf, box.top + penHalf, box.right - 2 * penHalf - xf + 1,
                    box.bottom - 2 * penHalf - box.top);
}

void BoxPainter::texts(const char* surname, const char* givenName, const char* place, const BoxGeometry& box,
                       const DescendantNode* descendant) {
    const int32_t textH = pass_.textH;
    if (textH < 1 || settings_.setnom == 0) return;
    Canvas& canvas = pass_.canvas;
    const bool fixed = shared_ != nullptr;
    // The font of one text: the shared one in fixed-font mode, else fitted to the text.
    const auto fontFor = [&](const SharedFont* sharedFont, const LogFont& style, std::string_view text, int32_t height,
                             LogFont& font) -> int32_t {
        if (fixed) {
            if (sharedFont == nullptr || sharedFont->height <= 0) return 0;
            font = sharedFont->font;
            return sharedFont->height;
        }
        return FitFont(canvas, style, avail_, text, height, font);
    };
    const auto write = [&](const LogFont& font, Colour colour, TextAlign align, int64_t x, int64_t y, std::string_view text) {
        const LogFont previous = canvas.selectFont(font);
        canvas.setTextColour(colour);
        canvas.setTextAlign(align);
        canvas.textOut(x, y, text);
        canvas.setTextAlign(kTaLeft | kTaTop);
        canvas.selectFont(previous);
    };

    const std::string label = ComposeLabel(surname, givenName, settings_);
    LogFont font;
    if (fontFor(fixed ? &shared_->name : nullptr, settings_.lf_nom, label, textH, font) <= 0) return;
    write(font, settings_.rgbColors_nom, kTaLeft | kTaTop, box.textX, box.top, label);
    if (textH <= 1) return;

    if (settings_.lieu == 1 && std::strlen(place) > 2) {
        if (fontFor(fixed ? &shared_->place : nullptr, settings_.lf_lieu, place, 2 * textH / 3, font) > 2)
            write(font, settings_.rgbColors_lieu, kTaBottom, box.textX, box.bottom - 1, place);
    }
    if (descendant == nullptr || settings_.epoux != 1) return;
    const int32_t spouses = std::clamp(descendant->spouseCount, 0, 4);
    for (int32_t j = 0; j < spouses; ++j) {
        const int32_t spouse = descendant->spouses[j];
        if (spouse <= 0 || spouse >= store_.recordCount()) continue;
        const std::string name = ComposeLabel(store_[spouse].surname, store_[spouse].givenName, settings_);
        if (fontFor(fixed ? &shared_->spouse : nullptr, settings_.lf_epoux, name, ((settings_.lieu + 2) * textH) / 4,
                    font) <= 2)
            continue;
        const int64_t y = box.extBottom - ((box.extBottom - box.bottom) * j) / spouses;
        write(font, settings_.rgbColors_epoux, kTaBottom, box.textX, y, name);
    }
}

// Years stand outside the box, on the side facing the root.
void BoxPainter::years(int32_t birth, int32_t death, const BoxGeometry& box, bool descendant) {
    const int32_t textH = pass_.textH;
    if (textH <= 2 || !dateFontReady_) return;
    Canvas& canvas = pass_.canvas;
    const bool showBirth = settings_.setnaissance == 1 && birth > 0;
    const bool showDeath = settings_.setdece == 1 && death > 0;
    if (!showBirth && !showDeath) return;
    canvas.setTextColour(settings_.rgbColors_date);
    const LogFont previous = canvas.selectFont(dateFont_);
    const int64_t x = descendant ? box.right + 1 : box.left - 1;
    canvas.setTextAlign(kTaBaseline | (descendant ? kTaLeft : kTaRight));
    if (showBirth) canvas.textOut(x, box.top + textH / (3 - (settings_.lieu == 1 ? 1 : 0)), std::to_string(birth));
    if (showDeath) canvas.textOut(x, box.bottom - 1, std::to_string(death));
    canvas.setTextAlign(kTaLeft | kTaTop);
    canvas.selectFont(previous);
}

// The box drawn as a block: offset copies of its top and right edges, `interval` of them.
void BoxPainter::brique(const BoxGeometry& box) {
    if (settings_.brique != 1) return;
    Canvas& canvas = pass_.canvas;
    const int64_t depth = 2 * int64_t{settings_.interval} + 1;
    for (int64_t k = 2; k < depth; k += 2) {
        canvas.moveTo(box.left + k, box.top - k);
        canvas.lineTo(box.right + k - 1, box.top - k);
        canvas.lineTo(box.right + k - 1, box.top - k + pass_.rowH);
    }
}

// The centres a node's links run to: a descendant's parent (its link to the node is drawn by the
// parent, whose list of children is made from the children's first parents) and second parent,
// an ancestor's father and mother.
void CoverLinks(const ChartPass& pass, std::vector<RowSpan>& rows, const DescendantNode& node, int32_t n) {
    const int32_t count = pass.tree.descendantCount;
    if (node.parent1 >= 1 && node.parent1 <= count) {
        const int64_t y = pass.cy(node);
        rows[static_cast<size_t>(node.parent1)].cover(y, y);
    }
    if (node.parent2 >= 1 && node.parent2 <= count) {
        const int64_t y = pass.cy(pass.tree.descendants[static_cast<size_t>(node.parent2)]);
        rows[static_cast<size_t>(n)].cover(y, y);
    }
}

void CoverLinks(const ChartPass& pass, std::vector<RowSpan>& rows, const AncestorNode& node, int32_t n) {
    for (const int32_t link : {node.father, node.mother}) {
        const int32_t parent = link < 0 ? -link : link;
        if (parent < 1 || parent > pass.tree.ancestorCount) continue;
        const int64_t y = pass.cy(pass.tree.ancestors[static_cast<size_t>(parent)]);
        rows[static_cast<size_t>(n)].cover(y, y);
    }
}

// Every node of a table gets its box rectangle, in table order; then the nodes whose box or links
// reach the visible rows are drawn, in the same order. Only those touch the canvas, so that a
// window on a large chart costs little more than one walk over the table.
template <class Node>
void DrawTable(BoxPainter& painter, const ChartPass& pass, std::vector<Node>& table, int32_t count,
               bool descendant) {
    std::vector<RowSpan> rows(static_cast<size_t>(count) + 1);
    for (int32_t n = 1; n <= count; ++n) {
        Node& node = table[static_cast<size_t>(n)];
        const BoxGeometry box = painter.geometry(node, n);
        node.boxLeft = box.left;
        node.boxRight = box.right + 1;
        node.boxTop = box.top;
        node.boxBottom = box.bottom;
        rows[static_cast<size_t>(n)].cover(box.top, std::max(box.bottom, box.extBottom));
        CoverLinks(pass, rows, node, n);
    }
    for (int32_t n = 1; n <= count; ++n) {
        if (!painter.reaches(rows[static_cast<size_t>(n)])) continue;
        const Node& node = table[static_cast<size_t>(n)];
        painter.draw(node, n, painter.geometry(node, n), descendant);
    }
}

Pen ImplexePen(const ChartSettings& settings) {
    switch (settings.m_implexe.m_type) {
    case 1: return {PenStyle::Dot, 1, settings.m_implexe.couleur};
    case 2: return {PenStyle::Dash, 1, settings.m_implexe.couleur};
    case 3: return {PenStyle::DashDot, 1, settings.m_implexe.couleur};
    case 4: return {PenStyle::DashDotDot, 1, settings.m_implexe.couleur};
    default: return {PenStyle::Solid, settings.largeur_pen, settings.m_implexe.couleur};
    }
}

} // namespace

void DrawChart(Canvas& canvas, ChartTree& tree, const PersonStore& store, ChartSettings& settings,
               const ChartView& view, int64_t drawingWidth, int64_t drawingHeight, const Rect& origin,
               Reporter& reporter) {
    DrawChart(canvas, tree, store, settings, view, drawingWidth, drawingHeight, origin, origin,
              reporter);
}

void DrawChart(Canvas& canvas, ChartTree& tree, const PersonStore& store, ChartSettings& settings,
               const ChartView& view, int64_t drawingWidth, int64_t drawingHeight,
               const Rect& origin, const Rect& visible, Reporter& reporter) {
    if (tree.descendantCount == 0 && tree.ancestorCount == 0) return;
    if (tree.descendantCount != 0 && tree.ancestorCount == 0) tree.extentX = tree.descendantExtentX;
    const ChartMetrics chart = ChartMetrics::Of(tree, settings, view.zoom);
    const DrawingArea area = FitDrawingSize(drawingWidth, drawingHeight, chart);
    const DeviceInfo device = canvas.deviceInfo();
    ChartPass pass{canvas, tree, settings, ChartMapping(chart, area, view, origin), 0, 0, {}, {}, {}, false};
    pass.rowH = pass.map.py(10) - pass.map.py(0);
    pass.parentChart = tree.chartMode == kModeParent;

    DrawBackground(canvas, settings, origin, visible, device, reporter);
    canvas.setBackgroundMode(BackgroundMode::Transparent);
    LogFont dateFont{};
    bool dateFontReady = false;
    pass.textH = MakeDateFont(canvas, settings, chart, area, dateFont, dateFontReady);
    pass.linkBrush = {BrushStyle::Solid, settings.color_pen};
    pass.mainPen = {PenStyle::Solid, settings.largeur_pen, settings.color_pen};
    pass.implexePen = ImplexePen(settings);
    const Pen previousPen = canvas.selectPen(pass.mainPen);

    const int64_t avail = AvailableTextWidth(chart, area, settings.drapeau != 0);
    std::optional<SharedFonts> shared;
    if (settings.police_fixe == 1 && pass.textH >= 1 && settings.setnom != 0)
        shared = MakeSharedFonts(canvas, tree, store, settings, avail, pass.textH);

    BoxPainter painter(pass, store, settings, origin, visible, device, reporter);
    painter.prepare(avail, dateFont, dateFontReady, shared ? &*shared : nullptr);
    DrawTable(painter, pass, tree.descendants, tree.descendantCount, true);
    DrawTable(painter, pass, tree.ancestors, tree.ancestorCount, false);
    canvas.selectPen(previousPen);
}

} // namespace arbolix
