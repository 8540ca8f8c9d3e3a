#pragma once
// The web site of a chart: for every person reachable from it, a picture of the chart computed
// around that person and a page showing the picture with an image map whose areas lead to the
// pages of the persons drawn in it; then a main page listing every person made, by name, with
// the years (export/site_pages.h gives the texts).
//
// The walk starts from the chart's chosen person and goes depth first. Making the page of x:
//  1. when x's picture exists already, nothing is made (a picture is never overwritten);
//  2. the chart is computed around x (Recompute, in the chart's mode), drawn and its picture
//     written; the page of x is written with one area per box that is not a "$" connector and
//     overlaps the drawing (descendant nodes from 1, then ancestor nodes from 2);
//  3. x is recorded for the main page, with the name and years the file gives;
//  4. the persons of the other boxes (descendants first, then ancestors) whose page file does not
//     exist yet are claimed: their page file is created empty, so that no other page claims
//     them; those whose box overlaps the drawing are made next, in that order, each with its own
//     claims before the following one.
// So every person gets one page however often reached. The walk keeps its own list of pages to
// make: a line of any depth needs no deeper call stack. Boxes that stand for nobody of the file
// (empty boxes added for filling in by hand, placeholders) are neither linked nor claimed.
//
// The pages go into the folder of the main page (`dir_site` when it is set); the folder must
// exist and be writable. Every file is written under a temporary name and renamed (completely or
// not at all); the whole site is flushed to disk once at the end. Failures are reported (caption
// "arbolix") and stop the walk; the main page is written in every case with the persons made.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "base/settings.h"
#include "chart/chart_pass.h"
#include "data/person_store.h"
#include "export/picture_writer.h"
#include "tree/tree_tables.h"

namespace arbolix {

class Reporter;

// Picture formats of the site, numbered as stored in `fichier_site_type`.
enum SitePictureType : int32_t { kSiteBmp = 0, kSiteJpg = 1, kSitePng = 2 };
// "bmp", "jpg", "png".
std::string_view SitePictureExtension(int32_t type);

// The picture sizes of the site, numbered as stored in `site_taille`.
struct SitePictureSize {
    std::string_view label; // "640x480"
    int32_t width;
    int32_t height;
};
constexpr int32_t kSitePictureSizeCount = 6;
const SitePictureSize& SitePictureSizeAt(int32_t index); // 0 .. 5
// The index of a label, -1 when there is none such.
int32_t FindSitePictureSize(std::string_view label);

// What the site's dialog (or the command line) chose.
struct SiteOptions {
    std::string title;    // UTF-8; not kept between runs
    std::string mainPage; // `fichier_site`, UTF-8
    std::string folder;   // `dir_site`, UTF-8; "" for the folder of the main page
    int32_t pictureType = kSiteBmp;
    int32_t colourMode = kColour24Bits;
    int32_t sizeIndex = 1;
};
// The five site settings (loaded with LoadSettingGroup "site"); a stored number outside its
// choices gives that setting's default.
SiteOptions SiteOptionsOf(const ChartSettings& settings);
void PutSiteOptions(const SiteOptions& options, ChartSettings& settings);

// Where the pages go: `folder`, or the folder of the main page, or "." when it names none.
std::string SiteFolderOf(const SiteOptions& options);
// The main page: a relative `mainPage` is taken inside `folder` when that is set.
std::string SiteMainPageOf(const SiteOptions& options);

// One picture to make: the chart as computed for the page, which drawing it writes every box's
// rectangle into.
struct SitePictureRequest {
    ChartTree& tree;
    const PersonStore& store;
    ChartSettings& settings;
    ChartView view;
    int32_t width = 0;
    int32_t height = 0;
    ColourMode mode = kColour24Bits;
    std::string path;
    int32_t xref = 0;  // the person of the page
    Reporter& drawing; // what drawing says (the same for every page, so told once)
};

// Draws and writes the pictures (the Qt adapter in the program, a stand-in in the tests).
class SitePictures {
public:
    virtual ~SitePictures() = default;
    // Draws the chart now (the boxes' rectangles are in the tree on return) and writes the picture
    // now or later. False after reporting the failure of this or an earlier picture.
    virtual bool make(const SitePictureRequest& request) = 0;
    // Waits for every picture still being written and gives the persons whose picture failed
    // (reported).
    virtual std::vector<int32_t> finish() = 0;
};

// Where the walk stands, before each page.
struct SiteProgress {
    int32_t done = 0;    // pages visited
    int32_t reached = 0; // pages visited or waiting to be
    std::string name;    // the person of the next page, UTF-8
};
// Returns false to stop the walk (the pages made stay, the main page is written).
using SiteProgressFunction = std::function<bool(const SiteProgress&)>;

// The chart the site starts from and what computing charts again needs (tree/recompute.h).
struct SiteChart {
    PersonStore& store; // computed again for each page; left as the last page's computation
    ChartSettings& settings;
    int32_t chartMode = kModeDescendants;
    int32_t rootXref = 0; // the chosen person
    ChartView view;       // zoom and scroll of every picture
    std::function<int32_t()> reread;
};

struct SiteResult {
    int32_t pages = 0;      // persons listed on the main page
    bool cancelled = false; // stopped by the progress function
    bool failed = false;    // stopped by a reported failure, or nothing could be written
};

// Checked before anything is computed: "Dossier introuvable : <folder>" or "Impossible d'écrire
// dans le dossier <folder>" (stop icon). False then.
bool CheckSiteFolder(const std::string& folder, Reporter& reporter);

// The whole site. Messages of the charts' computations and drawings (anomalies, limits, fills)
// are shown once each, at most five of them; the number of the others is told at the end.
SiteResult GenerateWebSite(SiteChart& chart, const SiteOptions& options, SitePictures& pictures,
                           Reporter& reporter, const SiteProgressFunction& progress = {});

} // namespace arbolix
