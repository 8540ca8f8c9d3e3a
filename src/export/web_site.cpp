#include "export/web_site.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <filesystem>
#include <set>

#include "base/reporter.h"
#include "chart/text_fitting.h"
#include "data/encoding.h"
#include "export/atomic_file.h"
#include "export/site_pages.h"
#include "tree/recompute.h"

namespace arbolix {

namespace {

constexpr std::array<SitePictureSize, kSitePictureSizeCount> kSizes{{
    {"320x240", 320, 240},
    {"640x480", 640, 480},
    {"800x600", 800, 600},
    {"1024x768", 1024, 768},
    {"1280x1024", 1280, 1024},
    {"1600x1200", 1600, 1200},
}};

// What the charts' computations and drawings say during the walk: the same anomaly comes back
// with every page that shows the same persons, so each text is shown once, and five texts at most.
class ChartMessages final : public Reporter {
public:
    explicit ChartMessages(Reporter& out) : out_(out) {}
    void report(const Message& message) override {
        if (!seen_.insert(message.text).second) return;
        if (shown_ < kShown) {
            ++shown_;
            out_.report(message);
        } else {
            ++hidden_;
        }
    }
    // Progress texts are left out: the walk tells its own.
    void status(std::string_view) override {}
    void tellHidden() {
        if (hidden_ == 0) return;
        out_.report(
            {Format("%d autres messages des arbres n'ont pas été montrés", hidden_),
             "arbolix", MessageIcon::Exclamation});
    }

private:
    static constexpr int kShown = 5;
    Reporter& out_;
    std::set<std::string> seen_;
    int shown_ = 0;
    int hidden_ = 0;
};

enum class Presence { Missing, Present, Unknown };

Presence FileAt(const std::string& path) {
    struct stat status {};
    if (::stat(path.c_str(), &status) == 0) return Presence::Present;
    return errno == ENOENT || errno == ENOTDIR ? Presence::Missing : Presence::Unknown;
}

enum class Claim { Claimed, Taken, Failed };

// The page file created empty, unless it exists: creating and testing are one step.
Claim ClaimPage(const std::string& path) {
    const int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd >= 0) {
        ::close(fd);
        return Claim::Claimed;
    }
    return errno == EEXIST ? Claim::Taken : Claim::Failed;
}

// Writes a whole page under a temporary name and renames it; the messages of the C library calls
// the pages were once written with.
bool WritePage(const std::string& path, const std::string& text, Reporter& reporter,
               MessageIcon closeIcon = MessageIcon::Stop) {
    AtomicFile file;
    if (!file.open(path, FileSync::Later)) {
        reporter.report({"Erreur fopen", "arbolix", MessageIcon::Stop});
        return false;
    }
    if (file.write(text) && file.commit()) return true;
    const bool writing = file.error().step == FileStep::Write;
    reporter.report({writing ? "Erreur fprintf" : "Erreur fclose", "arbolix",
                     writing ? MessageIcon::Stop : closeIcon});
    return false;
}

// The file as read: the chart computations change the store, the names and years come from here.
bool RestoreFile(PersonStore& store, const std::function<int32_t()>& reread, Reporter& reporter) {
    if (store.hasSnapshot()) {
        if (store.restoreSnapshot() == 0) return true;
        reporter.report({"Erreur fread", "arbolix", MessageIcon::Stop});
        return false;
    }
    return reread && reread() > 0;
}

// The persons of the file by xref: name and years; xref 0 where nobody is.
std::vector<SiteEntry> PersonsOf(const PersonStore& store) {
    std::vector<SiteEntry> persons(static_cast<size_t>(std::max(store.highestXref, 0)) + 1);
    for (int32_t x = 1; x <= store.highestXref; ++x) {
        const Individual& person = store[x];
        if (person.xref != x) continue;
        SiteEntry& entry = persons[static_cast<size_t>(x)];
        entry.xref = x;
        entry.birthYear = person.birthYear;
        entry.deathYear = person.deathYear;
        entry.name = std::string(person.surname) + " " + person.givenName;
    }
    return persons;
}

class SiteWalk {
public:
    SiteWalk(SiteChart& chart, const SiteOptions& options, SitePictures& pictures,
             Reporter& reporter, const SiteProgressFunction& progress)
        : chart_(chart), options_(options), pictures_(pictures), reporter_(reporter),
          progress_(progress), chartMessages_(reporter), folder_(SiteFolderOf(options)),
          size_(SitePictureSizeAt(options.sizeIndex)) {}

    SiteResult run();

private:
    enum class Page { Made, Skipped, Failed };
    struct Frame {
        std::vector<int32_t> next; // persons to make from this page, in order
        size_t at = 0;
    };

    bool visit(int32_t xref);
    Page make(int32_t xref, std::vector<int32_t>& next);
    std::vector<SiteArea> areasOf(const ChartTree& tree, const DrawingArea& area) const;
    bool claimNext(const ChartTree& tree, const DrawingArea& area, std::vector<int32_t>& next);
    void dropFailedPictures();
    bool isPerson(int32_t xref) const {
        return xref > 0 && static_cast<size_t>(xref) < persons_.size() &&
               persons_[static_cast<size_t>(xref)].xref == xref;
    }
    std::string inFolder(const std::string& name) const {
        return (std::filesystem::path(folder_) / name).string();
    }

    SiteChart& chart_;
    const SiteOptions& options_;
    SitePictures& pictures_;
    Reporter& reporter_;
    const SiteProgressFunction& progress_;
    ChartMessages chartMessages_;
    std::string folder_;
    SitePictureSize size_;
    std::vector<SiteEntry> persons_;
    std::vector<SiteEntry> made_;
    std::vector<Frame> stack_;
    SiteResult result_;
    int32_t done_ = 0;
    int32_t reached_ = 0;
};

template <class Node> bool Overlaps(const Node& node, const DrawingArea& area) {
    return node.boxRight > 0 && node.boxBottom > 0 &&
           static_cast<double>(node.boxLeft) < area.width &&
           static_cast<double>(node.boxTop) < area.height;
}

SiteResult SiteWalk::run() {
    if (!CheckSiteFolder(folder_, reporter_) ||
        !RestoreFile(chart_.store, chart_.reread, reporter_)) {
        result_.failed = true;
        return result_;
    }
    persons_ = PersonsOf(chart_.store);
    if (!isPerson(chart_.rootXref)) {
        result_.failed = true;
        return result_;
    }
    reached_ = 1;
    if (visit(chart_.rootXref)) {
        while (!stack_.empty() && !result_.failed && !result_.cancelled) {
            Frame& frame = stack_.back();
            if (frame.at == frame.next.size()) {
                stack_.pop_back();
                continue;
            }
            visit(frame.next[frame.at++]); // may grow the stack: `frame` is not used after
        }
    }
    dropFailedPictures();
    chartMessages_.tellHidden();
    result_.pages = static_cast<int32_t>(made_.size());
    if (!WritePage(SiteMainPageOf(options_), MainPageText(options_.title, SortedForMainPage(made_)),
                   reporter_, MessageIcon::Exclamation))
        result_.failed = true;
    SyncFileSystemOf(folder_);
    return result_;
}

// Makes one page and puts the persons it leads to on the stack. False when the walk stops.
bool SiteWalk::visit(int32_t xref) {
    if (progress_ && !progress_({done_, reached_,
                                 Windows1252ToUtf8(persons_[static_cast<size_t>(xref)].name)})) {
        result_.cancelled = true;
        return false;
    }
    std::vector<int32_t> next;
    const Page page = make(xref, next);
    ++done_;
    if (page == Page::Failed) {
        result_.failed = true;
        return false;
    }
    if (page == Page::Made) {
        reached_ += static_cast<int32_t>(next.size());
        stack_.push_back({std::move(next), 0});
    }
    return true;
}

SiteWalk::Page SiteWalk::make(int32_t xref, std::vector<int32_t>& next) {
    const std::string picture = SitePictureName(xref, SitePictureExtension(options_.pictureType));
    const std::string picturePath = inFolder(picture);
    switch (FileAt(picturePath)) {
    case Presence::Present:
        return Page::Skipped; // never overwritten
    case Presence::Unknown:
        reporter_.report({"Erreur _stat", "arbolix", MessageIcon::Stop});
        return Page::Failed;
    case Presence::Missing:
        break;
    }
    ChartTree tree;
    tree.chartMode = chart_.chartMode;
    ChartView view = chart_.view;
    if (Recompute(tree, chart_.store, chart_.settings, xref, view.zoom, chartMessages_,
                  chart_.reread) < 0)
        return Page::Failed;
    view.scrollX = static_cast<int32_t>(std::min<int64_t>(view.scrollX, 2 * view.zoom - 2));
    view.scrollY = std::min<int64_t>(view.scrollY, 2 * view.zoom - 2);
    const ColourMode mode = static_cast<ColourMode>(options_.colourMode);
    if (!pictures_.make({tree, chart_.store, chart_.settings, view, size_.width, size_.height, mode,
                         picturePath, xref, chartMessages_}))
        return Page::Failed;
    // Drawing has left every box's rectangle in the tree (and the extent it drew with).
    const DrawingArea area = FitDrawingSize(size_.width, size_.height,
                                            ChartMetrics::Of(tree, chart_.settings, view.zoom));
    const std::string page =
        PersonPageText(picture, size_.width, size_.height, areasOf(tree, area));
    if (!WritePage(inFolder(SitePageName(xref)), page, reporter_)) return Page::Failed;
    made_.push_back(persons_[static_cast<size_t>(xref)]);
    return claimNext(tree, area, next) ? Page::Made : Page::Failed;
}

std::vector<SiteArea> SiteWalk::areasOf(const ChartTree& tree, const DrawingArea& area) const {
    std::vector<SiteArea> areas;
    const auto add = [&](const auto& node) {
        if (node.surname[0] == '$' || !isPerson(node.xref) || !Overlaps(node, area)) return;
        areas.push_back({node.boxLeft, node.boxTop, node.boxRight, node.boxBottom, node.xref});
    };
    for (int32_t n = 1; n <= tree.descendantCount; ++n)
        add(tree.descendants[static_cast<size_t>(n)]);
    for (int32_t n = 2; n <= tree.ancestorCount; ++n) add(tree.ancestors[static_cast<size_t>(n)]);
    return areas;
}

// Claims the persons of the page's other boxes; those whose box overlaps the drawing go to
// `next`. False after a reported failure.
bool SiteWalk::claimNext(const ChartTree& tree, const DrawingArea& area,
                         std::vector<int32_t>& next) {
    bool claimed = true;
    const auto claim = [&](const auto& node) {
        if (!claimed || node.surname[0] == '$' || !isPerson(node.xref)) return;
        switch (ClaimPage(inFolder(SitePageName(node.xref)))) {
        case Claim::Claimed:
            if (Overlaps(node, area)) next.push_back(node.xref);
            return;
        case Claim::Taken:
            return;
        case Claim::Failed:
            reporter_.report({"Erreur fopen", "arbolix", MessageIcon::Stop});
            claimed = false;
            return;
        }
    };
    for (int32_t n = 2; n <= tree.descendantCount; ++n)
        claim(tree.descendants[static_cast<size_t>(n)]);
    for (int32_t n = 2; n <= tree.ancestorCount; ++n) claim(tree.ancestors[static_cast<size_t>(n)]);
    return claimed;
}

// A picture that could not be written takes its person off the main page, and its page goes back
// to the empty page of a person claimed but not made.
void SiteWalk::dropFailedPictures() {
    const std::vector<int32_t> failed = pictures_.finish();
    if (failed.empty()) return;
    result_.failed = true;
    for (const int32_t xref : failed) {
        std::erase_if(made_, [&](const SiteEntry& entry) { return entry.xref == xref; });
        WritePage(inFolder(SitePageName(xref)), "", reporter_);
    }
}

} // namespace

std::string_view SitePictureExtension(int32_t type) {
    switch (type) {
    case kSiteJpg:
        return "jpg";
    case kSitePng:
        return "png";
    default:
        return "bmp";
    }
}

const SitePictureSize& SitePictureSizeAt(int32_t index) {
    return kSizes[static_cast<size_t>(std::clamp(index, 0, kSitePictureSizeCount - 1))];
}

int32_t FindSitePictureSize(std::string_view label) {
    for (int32_t i = 0; i < kSitePictureSizeCount; ++i)
        if (kSizes[static_cast<size_t>(i)].label == label) return i;
    return -1;
}

SiteOptions SiteOptionsOf(const ChartSettings& settings) {
    const SiteOptions defaults;
    const auto within = [](int32_t value, int32_t last, int32_t fallback) {
        return value >= 0 && value <= last ? value : fallback;
    };
    SiteOptions options;
    options.mainPage = settings.fichier_site;
    options.folder = settings.dir_site;
    options.pictureType = within(settings.fichier_site_type, kSitePng, defaults.pictureType);
    options.colourMode = within(settings.fichier_site_ncouleur, kColour24Bits, defaults.colourMode);
    options.sizeIndex = within(settings.site_taille, kSitePictureSizeCount - 1, defaults.sizeIndex);
    return options;
}

void PutSiteOptions(const SiteOptions& options, ChartSettings& settings) {
    settings.fichier_site = options.mainPage;
    settings.dir_site = options.folder;
    settings.fichier_site_type = options.pictureType;
    settings.fichier_site_ncouleur = options.colourMode;
    settings.site_taille = options.sizeIndex;
}

std::string SiteFolderOf(const SiteOptions& options) {
    if (!options.folder.empty()) return options.folder;
    const std::string folder = std::filesystem::path(options.mainPage).parent_path().string();
    return folder.empty() ? "." : folder;
}

std::string SiteMainPageOf(const SiteOptions& options) {
    const std::filesystem::path page(options.mainPage);
    if (page.is_absolute() || options.folder.empty()) return options.mainPage;
    return (std::filesystem::path(options.folder) / page).string();
}

bool CheckSiteFolder(const std::string& folder, Reporter& reporter) {
    std::error_code error;
    if (!std::filesystem::is_directory(folder, error)) {
        reporter.report({"Dossier introuvable : " + folder, "arbolix", MessageIcon::Stop});
        return false;
    }
    // Asking the permissions would not do: the owner of every file may write anywhere, and a
    // read-only file system says nothing through them. A file is made and dropped.
    AtomicFile probe;
    if (probe.open((std::filesystem::path(folder) / "index.htm").string(), FileSync::Later)) {
        probe.abandon();
        return true;
    }
    reporter.report(
        {"Impossible d'écrire dans le dossier " + folder, "arbolix", MessageIcon::Stop});
    return false;
}

SiteResult GenerateWebSite(SiteChart& chart, const SiteOptions& options, SitePictures& pictures,
                           Reporter& reporter, const SiteProgressFunction& progress) {
    return SiteWalk(chart, options, pictures, reporter, progress).run();
}

} // namespace arbolix
