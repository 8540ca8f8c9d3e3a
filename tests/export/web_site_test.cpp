// The web site walk without Qt: the pictures are drawn on the recording canvas (their boxes are
// those of any drawing) and written as a line of text.

#include <gtest/gtest.h>

#include <pthread.h>

#include <algorithm>
#include <filesystem>
#include <regex>
#include <set>

#include "base/reporter.h"
#include "chart/chart_renderer.h"
#include "chart/recording_canvas.h"
#include "data/gedcom_reader.h"
#include "export/export_test_support.h"
#include "export/site_pages.h"
#include "export/web_site.h"
#include "gedgen/generator.h"
#include "tree/tree_test_support.h"

namespace arbolix {
namespace {

class RecordedPictures final : public SitePictures {
public:
    bool make(const SitePictureRequest& r) override {
        RecordingCanvas canvas({32, 96, 96, r.width, r.height});
        ListReporter quiet;
        DrawChart(canvas, r.tree, r.store, r.settings, r.view, r.width, r.height,
                  Rect{0, 0, r.width, r.height}, quiet);
        made.push_back(r.xref);
        return test::WriteFileBytes(r.path, "picture " + std::to_string(r.xref));
    }
    std::vector<int32_t> finish() override { return failed; }
    std::vector<int32_t> made;
    std::vector<int32_t> failed; // as if their writing failed behind the walk
};

// Louis MARTIN and Élise ÉTIENNE (Windows-1252), parents of Paul MARTIN.
constexpr std::string_view kFamily =
    "0 HEAD\n1 CHAR ANSI\n"
    "0 @I1@ INDI\n1 NAME Louis /MARTIN/\n1 BIRT\n2 DATE 1850\n"
    "1 DEAT\n2 DATE 1920\n1 FAMS @F1@\n"
    "0 @I2@ INDI\n1 NAME \xC9lise /\xC9TIENNE/\n1 BIRT\n2 DATE 1855\n"
    "1 FAMS @F1@\n"
    "0 @I3@ INDI\n1 NAME Paul /MARTIN/\n1 FAMC @F1@\n"
    "0 @F1@ FAM\n1 HUSB @I1@\n1 WIFE @I2@\n1 CHIL @I3@\n0 TRLR\n";

// Person n is the only child of person n - 1.
std::string Line(int32_t generations) {
    test::FamilyText line;
    line.persons(generations, "L");
    for (int32_t i = 1; i < generations; ++i) line.family(i, 0, {i + 1});
    return line.text();
}

// Every href and src of every page of the folder leads to a file that is not empty. Returns how
// many links there are.
size_t ExpectEveryLinkResolves(const std::filesystem::path& folder) {
    size_t links = 0;
    const std::regex link("(?:href|src|HREF)=\"([^\"]+)\"");
    for (const std::string& name : test::FolderEntries(folder)) {
        if (!name.ends_with(".htm")) continue;
        const std::string text = test::ReadFileBytes(folder / name);
        for (std::sregex_iterator it(text.begin(), text.end(), link), end; it != end; ++it, ++links)
            EXPECT_FALSE(test::ReadFileBytes(folder / (*it)[1].str()).empty())
                << name << " -> " << (*it)[1];
    }
    return links;
}

class WebSite : public ::testing::Test {
protected:
    void SetUp() override {
        options_.mainPage = dir_.file("index.htm").string();
        options_.pictureType = kSitePng;
        options_.sizeIndex = 0; // 320x240
    }
    void open(std::string_view gedcom, int32_t mode, int32_t root) {
        ASSERT_GT(ReadGedcomBytes(store_, gedcom, settings_.m_gedcom, reporter_), 0);
        test::FixedChooser chooser(mode, root);
        ASSERT_EQ(BuildChartTables(tree_, store_, settings_, &chooser, reporter_), 0);
    }
    SiteResult generate(const SiteProgressFunction& progress = {}) {
        SiteChart chart{store_, settings_, tree_.chartMode, tree_.rootXref, ChartView{}, {}};
        return GenerateWebSite(chart, options_, pictures_, reporter_, progress);
    }
    // generate() on a thread with a stack of that many bytes, into result_.
    void generateOnStackOf(size_t bytes) {
        pthread_attr_t attributes;
        pthread_attr_init(&attributes);
        pthread_attr_setstacksize(&attributes, bytes);
        pthread_t thread;
        const auto run = [](void* self) -> void* {
            auto* test = static_cast<WebSite*>(self);
            test->result_ = test->generate();
            return nullptr;
        };
        ASSERT_EQ(pthread_create(&thread, &attributes, run, this), 0);
        pthread_join(thread, nullptr);
        pthread_attr_destroy(&attributes);
    }
    std::string file(const std::string& name) const { return test::ReadFileBytes(dir_.file(name)); }
    std::string page(int32_t xref) const { return file(SitePageName(xref)); }
    // The persons linked from the main page, in its order.
    std::vector<std::string> mainPageRows() const {
        std::vector<std::string> rows;
        const std::string text = file("index.htm");
        const std::regex row("<A HREF=\"(a[0-9]+\\.htm)\">([^<]*)</A>\n</TD>\n<TD>\n<P>(-?[0-9]+)\n"
                             "</TD>\n<TD>\n<P>(-?[0-9]+)\n");
        for (std::sregex_iterator it(text.begin(), text.end(), row), end; it != end; ++it)
            rows.push_back((*it)[1].str() + " " + (*it)[2].str() + " " + (*it)[3].str() + " " +
                           (*it)[4].str());
        return rows;
    }

    test::TempDir dir_;
    PersonStore store_;
    ChartTree tree_;
    ChartSettings settings_ = DefaultChartSettings();
    SiteOptions options_;
    RecordedPictures pictures_;
    ListReporter reporter_;
    SiteResult result_;
};

std::string PersonPage(std::string_view picture, std::string_view areas) {
    return "<html>\n<head>\n<title>G\xE9n\xE9"
           "alogie</title>\n<meta http-equiv=\"Content-Type\" content=\"text/html; "
           "charset=iso-8859-1\">\n</head>\n\n<body bgcolor=\"#FFFFFF\">\n<img src=\"" +
           std::string(picture) +
           "\" width=\"320\" height=\"240\" border=\"0\" usemap=\"#a1\" >\n<map name=\"a1\">\n" +
           std::string(areas) + "</map>\n</body>\n</html>";
}

TEST_F(WebSite, SmallFamilyPagesAreWrittenAsExpected) {
    open(kFamily, kModeBoth, 3);
    options_.title = "Famille & <amis> \xC3\xA9t\xC3\xA9"; // UTF-8 "été"
    const SiteResult result = generate();
    EXPECT_EQ(result.pages, 3);
    EXPECT_FALSE(result.failed || result.cancelled);
    EXPECT_EQ(pictures_.made, (std::vector<int32_t>{3, 1, 2}));
    // Paul in the middle of his drawing (320 x 95 pixels), his parents in the next column; the
    // boxes from the mapping ((u + 9) / 138 × 320, (v + 12.5) / 25 × 95.24, 38 pixels high).
    EXPECT_EQ(page(3),
              PersonPage("a3.png",
                         "<area shape=\"rect\" coords=\"20,28,137,66\" href=\"a3.htm\">\n"
                         "<area shape=\"rect\" coords=\"183,0,300,38\" href=\"a1.htm\">\n"
                         "<area shape=\"rect\" coords=\"183,57,300,95\" href=\"a2.htm\">\n"));
    // Louis's chart (and Élise's alike): himself on the right, Paul on the left (the descendants
    // run leftwards).
    EXPECT_EQ(page(1),
              PersonPage("a1.png",
                         "<area shape=\"rect\" coords=\"183,0,300,38\" href=\"a1.htm\">\n"
                         "<area shape=\"rect\" coords=\"20,0,137,38\" href=\"a3.htm\">\n"));
    // The main page: the title escaped to ASCII, one row a person sorted by name bytes.
    EXPECT_NE(file("index.htm").find("<TITLE>Famille &amp; &lt;amis&gt; &#233;t&#233;</TITLE>"),
              std::string::npos);
    EXPECT_EQ(mainPageRows(), (std::vector<std::string>{"a1.htm MARTIN Louis 1850 1920",
                                                        "a3.htm MARTIN Paul 0 0",
                                                        "a2.htm &#201;TIENNE &#201;lise 1855 0"}));
    // Everything in the folder of the main page, nothing left half written.
    EXPECT_EQ(test::FolderEntries(dir_.path()),
              (std::vector<std::string>{"a1.htm", "a1.png", "a2.htm", "a2.png", "a3.htm", "a3.png",
                                        "index.htm"}));
}

TEST_F(WebSite, EveryPersonHasOnePageHoweverOftenReached) {
    // Cousins married: with duplicated lines the same persons come back in many boxes.
    gedgen::Options generated;
    generated.persons = 400;
    generated.seed = 3;
    settings_.setcousin = 2;
    open(gedgen::GenerateGedcom(generated), kModeBoth, 40);
    const SiteResult result = generate();
    ASSERT_FALSE(result.failed);
    const std::set<int32_t> made(pictures_.made.begin(), pictures_.made.end());
    EXPECT_EQ(made.size(), pictures_.made.size());
    EXPECT_EQ(static_cast<size_t>(result.pages), made.size());
    EXPECT_EQ(mainPageRows().size(), made.size());
    EXPECT_GT(made.size(), 300u);
    // Every link of every page leads to a page made, with its picture.
    EXPECT_GT(ExpectEveryLinkResolves(dir_.path()), 10 * made.size());
}

TEST_F(WebSite, AnExistingPictureIsLeftAlone) {
    open(kFamily, kModeBoth, 3);
    ASSERT_TRUE(test::WriteFileBytes(dir_.file("a2.png"), "old"));
    EXPECT_EQ(generate().pages, 2);
    EXPECT_EQ(file("a2.png"), "old");
    EXPECT_EQ(page(2), ""); // claimed by Paul's page, never made
    EXPECT_EQ(mainPageRows(), (std::vector<std::string>{"a1.htm MARTIN Louis 1850 1920",
                                                        "a3.htm MARTIN Paul 0 0"}));
}

TEST_F(WebSite, HostileNamesAreEscaped) {
    std::string gedcom(kFamily);
    gedcom.replace(gedcom.find("Paul /MARTIN/"), 13, "<i>\"X\"&Y /<SCRIPT>&amp;/");
    open(gedcom, kModeBoth, 3);
    options_.title = "</TITLE><script>";
    generate();
    const std::string main = file("index.htm");
    EXPECT_NE(main.find(">&lt;SCRIPT&gt;&amp;AMP; &lt;i&gt;&quot;X&quot;&amp;Y</A>"),
              std::string::npos)
        << main;
    EXPECT_NE(main.find("<TITLE>&lt;/TITLE&gt;&lt;script&gt;</TITLE>"), std::string::npos);
    EXPECT_EQ(main.find("<SCRIPT"), std::string::npos);
    EXPECT_EQ(main.find("<script"), std::string::npos);
}

// The page of each xref is named after that person, whatever the chart puts first in its tables;
// boxes that stand for nobody of the file (empty boxes) are neither linked nor claimed.
TEST_F(WebSite, PagesAreNamedAfterTheirPersonInEveryMode) {
    for (const int32_t mode : {kModeAncestors, kModeParent, kModeDescendants}) {
        SCOPED_TRACE(mode);
        test::TempDir dir;
        options_.mainPage = dir.file("index.htm").string();
        settings_.m_casevide.m_ngd = mode == kModeDescendants ? 2 : 0;
        tree_ = ChartTree();
        open(kFamily, mode, mode == kModeDescendants ? 1 : 3);
        const SiteResult result = generate();
        EXPECT_FALSE(result.failed);
        const std::string main = test::ReadFileBytes(dir.file("index.htm"));
        EXPECT_NE(main.find("\"a1.htm\">MARTIN Louis<"), std::string::npos) << main;
        EXPECT_NE(main.find("\"a3.htm\">MARTIN Paul<"), std::string::npos) << main;
        for (const std::string& name : test::FolderEntries(dir.path()))
            EXPECT_TRUE(name == "index.htm" ||
                        std::regex_match(name, std::regex("a[123]\\.(htm|png)")))
                << name;
    }
}

// A line of 1000 generations, one generation a chart: the walk goes 1000 pages deep on a thread
// whose stack a call per page would overflow.
TEST_F(WebSite, ADeepLineNeedsNoDeepStack) {
    settings_.m_gened = 2;
    open(Line(1000), kModeDescendants, 1);
    generateOnStackOf(64 * 1024);
    EXPECT_EQ(result_.pages, 1000);
    EXPECT_EQ(pictures_.made.back(), 1000);
    // Every chart with 127 generations below its root raises an anomaly (the line is taken for a
    // loop): the first of them when the chart was opened, then five shown, then the rest told.
    ASSERT_EQ(reporter_.messages.size(), 7u);
    EXPECT_EQ(reporter_.messages.back().text,
              std::to_string(1000 - 127 - 5) +
                  " autres messages des arbres n'ont pas été montrés");
}

TEST_F(WebSite, CancellingStopsCleanlyWithTheMainPageOfWhatWasMade) {
    gedgen::Options generated;
    generated.persons = 200;
    open(gedgen::GenerateGedcom(generated), kModeBoth, 20);
    std::vector<SiteProgress> steps;
    const SiteResult result = generate([&](const SiteProgress& step) {
        steps.push_back(step);
        return step.done < 5;
    });
    EXPECT_TRUE(result.cancelled);
    EXPECT_EQ(result.pages, 5);
    EXPECT_EQ(mainPageRows().size(), 5u);
    for (const int32_t xref : pictures_.made)
        EXPECT_NE(page(xref).find("</html>"), std::string::npos);
}

// The folder: that of the main page when none is set, checked before anything is computed.
TEST_F(WebSite, TheFolderMustBeThereAndWritable) {
    open(kFamily, kModeBoth, 3);
    const std::string missing = dir_.file("missing").string();
    for (const auto& [folder, message] :
         {std::pair{missing, "Dossier introuvable : " + missing},
          std::pair{std::string("/proc"),
                    std::string("Impossible d'écrire dans le dossier /proc")}}) {
        options_.mainPage = folder + "/index.htm";
        EXPECT_TRUE(generate().failed);
        EXPECT_EQ(reporter_.messages.back().text, message);
    }
    EXPECT_TRUE(pictures_.made.empty());
}

// A disk that fills up: no page is left half written, and the main page already there stays.
TEST_F(WebSite, FilesAreWrittenWholeOrNotAtAll) {
    open(kFamily, kModeBoth, 3);
    ASSERT_TRUE(test::WriteFileBytes(dir_.file("index.htm"), "old"));
    {
        test::FileSizeLimit limit(100);
        ASSERT_TRUE(limit.active());
        EXPECT_TRUE(generate().failed);
    }
    EXPECT_EQ(test::FolderEntries(dir_.path()), (std::vector<std::string>{"a3.png", "index.htm"}));
    EXPECT_EQ(file("index.htm"), "old");
    EXPECT_EQ(reporter_.messages.back().text, "Erreur fprintf");
}

// A picture whose writing failed after its page was made (writers work behind the walk): the
// person leaves the main page and the page is empty again.
TEST_F(WebSite, APictureThatFailedTakesItsPersonOffTheMainPage) {
    open(kFamily, kModeBoth, 3);
    pictures_.failed = {1};
    EXPECT_TRUE(generate().failed);
    EXPECT_EQ(page(1), "");
    EXPECT_EQ(mainPageRows().size(), 2u);
    EXPECT_EQ(file("index.htm").find("a1.htm"), std::string::npos);
}

} // namespace
} // namespace arbolix
