#pragma once
// The chart window's model: the persons of the open file, the computed chart, the settings, the
// view's zoom and scroll, the recent files. Every command of the window acts here; the window
// only asks and shows.

#include <memory>
#include <string>

#include "app/file_stamp.h"
#include "app/recent_files.h"
#include "app/view_state.h"
#include "base/settings.h"
#include "data/person_store.h"
#include "tree/tree_tables.h"

namespace arbolix {

class Profile;
class Reporter;
class RootChooser;

class ChartDocument {
public:
    // Loads the settings from the profile; every change is written back to it at once.
    ChartDocument(Profile& profile, Reporter& reporter);
    ~ChartDocument();
    ChartDocument(const ChartDocument&) = delete;
    ChartDocument& operator=(const ChartDocument&) = delete;

    enum class Opened {
        Chart,      // a new chart is shown
        Unchanged,  // the file could not be read, held nobody, or the choice was cancelled:
                    // the previous chart stays
    };
    // Reads the file, asks `chooser` for the root person and the kind of chart, computes and lays
    // out the chart; then the file goes first in the recent files and its folder into "open".
    Opened open(const std::string& path, RootChooser& chooser);
    // The recent file `index` (0 = most recent) opened again and moved first. Nothing for an
    // entry that names no file.
    Opened reopen(int index, RootChooser& chooser);

    // Ctrl+click on a box: the chart is computed again around that person; the root shown before
    // is remembered for back().
    bool reroot(const BoxHit& hit);
    // Back to the root remembered by the last reroot. False when there is none.
    bool back();
    // The same file with a root and a kind of chart chosen again; the chart stays when the choice
    // is cancelled.
    bool chooseAgain(RootChooser& chooser);
    // Computes the chart again around `rootXref` from the file as read (after a setting that
    // changes the tree).
    bool recompute(int32_t rootXref);
    // The same around the person chosen for the chart shown.
    bool rebuild() { return recompute(tree_.rootXref); }
    // Places the boxes again (after the spacing or the box proportions changed).
    void relayout();

    // "Généalogie - " and the path of the chart shown ("Généalogie - " alone without a chart).
    std::string title() const;
    bool hasChart() const { return tree_.descendantCount != 0 || tree_.ancestorCount != 0; }
    const std::string& path() const { return path_; }
    // The file of the chart as it was when read (nullopt without a chart).
    const std::optional<FileStamp>& fileStamp() const { return stamp_; }

    ChartSettings& settings() { return settings_; }
    const ChartSettings& settings() const { return settings_; }
    Profile& profile() { return profile_; }
    Reporter& reporter() { return reporter_; }
    const PersonStore& store() const { return *store_; }
    ChartTree& tree() { return tree_; }
    const ChartTree& tree() const { return tree_; }
    // For the walks that compute the charts of many roots (the web site): the store every
    // computation starts again from (tree/recompute.h), and the file read again into it when no
    // snapshot of it is kept.
    PersonStore& workingStore() { return *store_; }
    int32_t rereadFile();
    ViewState& view() { return view_; }
    const ViewState& view() const { return view_; }
    RecentFiles& recentFiles() { return recent_; }
    const RecentFiles& recentFiles() const { return recent_; }

private:
    Opened load(const std::string& path, RootChooser& chooser);
    bool recomputeWith(int32_t rootXref, RootChooser* chooser);

    Profile& profile_;
    Reporter& reporter_;
    ChartSettings settings_;
    std::unique_ptr<PersonStore> store_;
    ChartTree tree_;
    ViewState view_;
    RecentFiles recent_;
    std::string path_;
    std::optional<FileStamp> stamp_;
};

} // namespace arbolix
