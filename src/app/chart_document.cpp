#include "app/chart_document.h"

#include <utility>

#include "base/profile.h"
#include "base/reporter.h"
#include "data/gedcom_reader.h"
#include "tree/recompute.h"
#include "tree/tree_compute.h"
#include "tree/tree_layout.h"

namespace arbolix {

ChartDocument::ChartDocument(Profile& profile, Reporter& reporter)
    : profile_(profile), reporter_(reporter), settings_(DefaultChartSettings()),
      store_(std::make_unique<PersonStore>()), recent_(profile) {
    LoadChartSettings(profile_, settings_);
}

ChartDocument::~ChartDocument() = default;

ChartDocument::Opened ChartDocument::open(const std::string& path, RootChooser& chooser) {
    if (load(path, chooser) == Opened::Unchanged) return Opened::Unchanged;
    recent_.add(path);
    WritePathKey(profile_, "open", FolderOf(path));
    return Opened::Chart;
}

ChartDocument::Opened ChartDocument::reopen(int index, RootChooser& chooser) {
    if (index < 0 || index >= RecentFiles::kCount || !recent_.isFile(index)) return Opened::Unchanged;
    if (load(recent_.entry(index), chooser) == Opened::Unchanged) return Opened::Unchanged;
    recent_.moveToFront(index);
    return Opened::Chart;
}

ChartDocument::Opened ChartDocument::load(const std::string& path, RootChooser& chooser) {
    // The file is read beside the chart shown, which stays when anything goes wrong.
    auto store = std::make_unique<PersonStore>();
    const std::optional<FileStamp> stamp = StampOfFile(path);
    if (ReadGedcomPersons(*store, path, settings_.m_gedcom, reporter_) <= 0) return Opened::Unchanged;
    ChartTree tree;
    BuildChartTables(tree, *store, settings_, &chooser, reporter_);
    if (tree.descendantCount == 0 && tree.ancestorCount == 0) return Opened::Unchanged;
    int64_t zoom = view_.zoom;
    LayoutTree(tree, settings_, zoom);
    view_.zoom = ZoomAfterLayout(view_, tree, settings_, zoom);
    view_.clampScroll();
    store_ = std::move(store);
    tree_ = std::move(tree);
    path_ = path;
    stamp_ = stamp;
    view_.previousRootXref = 0;
    return Opened::Chart;
}

bool ChartDocument::reroot(const BoxHit& hit) {
    view_.previousRootXref = hit.descendant ? tree_.descendants[1].xref : tree_.ancestors[1].xref;
    return recompute(hit.xref);
}

bool ChartDocument::back() {
    return view_.previousRootXref != 0 && recompute(view_.previousRootXref);
}

bool ChartDocument::chooseAgain(RootChooser& chooser) {
    return hasChart() && recomputeWith(0, &chooser);
}

bool ChartDocument::recompute(int32_t rootXref) {
    return hasChart() && recomputeWith(rootXref, nullptr);
}

bool ChartDocument::recomputeWith(int32_t rootXref, RootChooser* chooser) {
    ChartTree tree;
    tree.chartMode = tree_.chartMode;
    const auto reread = [this] { return rereadFile(); };
    int64_t zoom = view_.zoom;
    Recompute(tree, *store_, settings_, rootXref, zoom, reporter_, reread, chooser);
    if (tree.descendantCount == 0 && tree.ancestorCount == 0) return false;
    tree_ = std::move(tree);
    view_.zoom = ZoomAfterLayout(view_, tree_, settings_, zoom);
    view_.clampScroll();
    return true;
}

int32_t ChartDocument::rereadFile() {
    stamp_ = StampOfFile(path_);
    return ReadGedcom(*store_, path_, settings_.m_gedcom, reporter_);
}

void ChartDocument::relayout() {
    if (!hasChart()) return;
    int64_t zoom = view_.zoom;
    LayoutTree(tree_, settings_, zoom);
    view_.zoom = ZoomAfterLayout(view_, tree_, settings_, zoom);
    view_.clampScroll();
}

std::string ChartDocument::title() const {
    return hasChart() ? "Généalogie - " + path_ : "Généalogie - ";
}

} // namespace arbolix
