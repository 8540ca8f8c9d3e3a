#include "tree/recompute.h"

#include "base/reporter.h"
#include "tree/tree_compute.h"
#include "tree/tree_layout.h"

namespace arbolix {

int Recompute(ChartTree& tree, PersonStore& store, const ChartSettings& settings, int32_t rootXref,
              int64_t& zoom, Reporter& reporter, const std::function<int32_t()>& reread,
              RootChooser* chooser) {
    const auto nothingToDraw = [&] {
        tree.descendantCount = 0;
        tree.ancestorCount = 0;
        return -1;
    };
    if (store.hasSnapshot()) {
        if (store.restoreSnapshot() < 0) {
            reporter.report({"Erreur fread", "arbolix", MessageIcon::Stop});
            return nothingToDraw();
        }
    } else if (!reread || reread() <= 0) {
        return nothingToDraw();
    }
    const bool choose = rootXref == 0 && chooser != nullptr;
    if (!choose && (rootXref <= 0 || rootXref > store.highestXref || store[rootXref].xref != rootXref))
        return nothingToDraw();
    // After a restore every record sits at its own number again.
    tree.descendantRoot = choose ? 0 : rootXref;
    if (!choose) tree.rootXref = rootXref;
    const int computed = BuildChartTables(tree, store, settings, chooser, reporter);
    LayoutTree(tree, settings, zoom);
    return computed;
}

} // namespace arbolix
