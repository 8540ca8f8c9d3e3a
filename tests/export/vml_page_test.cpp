#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "export/export_test_support.h"
#include "export/vml_page.h"
#include "support/test_support.h"
#include "tree/tree_test_support.h"

namespace arbolix {
namespace {

// The lines before the chart, for a chart of this root.
std::string Head(const std::string& root) {
    return "<HTML xmlns=\"http://www.w3.org/TR/REC-html40\" xmlns:v = "
           "\"urn:schemas-microsoft-com:vml\">\n<HEAD><TITLE>G\xE9n\xE9"
           "alogie de " +
           root +
           "</TITLE>\n<META content=\"text/html; charset=windows-1252\" http-equiv=Content-Type>\n"
           "<STYLE>v\\:* {\n    BEHAVIOR: url(#default#VML)\n}\n.shape {\n\tBEHAVIOR: "
           "url(#default#VML)\n}\nP.Chart {\nCOLOR: black; FONT-FAMILY: \"courier new\"; POSITION: "
           "absolute; TEXT-ALIGN: right\n}\n</STYLE>\n<BODY bgColor=#FFFFFF lang=FR link=blue "
           "style=\"tab-interval: 35.4pt\" vLink=purple>\n";
}

std::string P(const char* size, int left, int top, const char* text) {
    char line[256];
    std::snprintf(line, sizeof line, "<P class=Chart style=\"FONT-SIZE: %spx; LEFT: %dpx; TOP: %dpx\">%s</P>\n", size,
                  left, top, text);
    return line;
}

// Jean ROY (I1), his son Marc, his parents Paul ROY and Anne LUC, both tables.
std::unique_ptr<test::Chart> SmallChart() {
    test::FamilyText family;
    family.person(1, "Jean /ROY/", 1950).person(2, "Paul /ROY/", 1920).person(3, "Anne /LUC/", 1925);
    family.person(4, "Marc /ROY/", 1980).family(2, 3, {1}).family(1, 0, {4});
    return test::ComputeChart(family.text(), kModeBoth, 1, {}, 1);
}

std::string Page(const test::Chart& chart, const ChartSettings& settings, int32_t w, int32_t h) {
    VmlOutput out;
    WriteVmlPageText(out, chart.tree, *chart.store, settings, w, h);
    return out.text();
}

// By hand. Layout: Jean at depth 70 (both tables), Marc 0, Paul and Anne 140, breadth 0, 0, −7.5,
// +7.5; extentX 140, larg 50, longest surname 3, given name 4. The mapping:
//   px(u) = trunc((u / 190 × 0.98 + 0.01) × W), py(v) = trunc(((v + 12.5) / 25 × 0.98 + 0.01) × H).
// Given names shown: 10 characters. 640x480: by width 640 × 50 / 190 / 10 × 1.747440218925476 =
// 29.43, by height 10 × 480 / 25 = 192 (larger), so H = trunc(480 × 29.43 / 192) = 73; text size
// 10 × 73 / 25 = 29.2, stroke 0.73. px: 0 6.4, 1 9.7, 50 171.5, 60 204.5, 70 237.5, 71 240.8,
// 120 402.5, 130 435.5, 140 468.5, 141 471.8, 190 633.6. py: −12.5 0.73, −7.5 15.04, −5 22.19,
// −2.5 29.35, 0 36.5, 2.5 43.65, 5 50.81, 7.5 57.96, 12.5 72.27. Jean's children link at 70 − 10,
// his parents at 130, halfway between his box's end (120) and theirs (140).
TEST(VmlPage, PlainLinksAndEmptyChart) {
    auto chart = SmallChart();
    ASSERT_EQ(chart->tree.ancestors[2].layoutY, -7.5);
    ChartSettings settings = DefaultChartSettings();
    settings.setprenom = 1;
    EXPECT_EQ(Page(*chart, settings, 640, 480),
              Head("ROY Jean") +
                  "<v:shape style='top: 0; left: 0; width: 640px; height: 73px'\n"
                  "stroke=\"true\" strokecolor=#000000 strokeweight=\"0.7pt\" fill=\"false\"\n"
                  "coordorigin=\"0 0\" coordsize=\"640 73\">\n"
                  "<v:path v=\"nf m1,1l1,1x m237,22l402,22,402,50,237,50x\n"
                  "m237,36l204,36\nm171,36l204,36\nm204,36l204,36\nm6,22l171,22,171,50,6,50x\n"
                  "m237,22l402,22,402,50,237,50x\n"
                  "m435,15l435,36\nl435,57\nm402,36l435,36\nm468,15l435,15\nm468,57l435,57\n"
                  "m468,0l633,0,633,29,468,29x\nm468,43l633,43,633,72,468,72x\n<e \">\n" +
                  P("29.2", 240, 22, "ROY Jean") + P("29.2", 9, 22, "ROY Marc") +
                  P("29.2", 240, 22, "ROY Jean") + P("29.2", 471, 0, "ROY Paul") +
                  P("29.2", 471, 43, "LUC Anne") + "</v:shape>\n</HTML>\n");

    test::Chart empty;
    EXPECT_EQ(Page(empty, DefaultChartSettings(), 640, 480), Head(" ") + "</HTML>\n");
}

// The same chart at 1280x1024 with places: by height 10 × 1024 / 25 × 0.6 = 245.8 against 58.86
// by width, so H = trunc(1024 × 58.86 / 245.8) = 245; 10 × 245 / 25 = 98, years at 32.67, names
// at 98 × 0.6 = 58.8, places at 29.4, stroke 1.47. Braces 4 units wide around 130. px: 0 12.8,
// 1 19.4, 50 342.9, 70 474.9, 71 481.5, 120 805.1, 128 857.9, 132 884.3, 140 937.1, 141 943.7,
// 190 1267.2. py: −12.5 2.45, −7.5 50.47, −5 74.48, −2.5 98.49, 0 122.5, 2.5 146.51, 5 170.52,
// 7.5 194.53, 12.5 242.55. Death year at top + 65.3; place at bottom − 1 − 29.4.
TEST(VmlPage, PageWithBracesPlacesAndYears) {
    auto chart = SmallChart();
    std::strcpy(chart->tree.descendants[1].place, "ROUEN");
    std::strcpy(chart->tree.ancestors[1].place, "ROUEN");
    std::strcpy(chart->tree.ancestors[2].place, "CAEN");
    std::strcpy(chart->tree.ancestors[3].place, "EU"); // too short to be shown
    chart->tree.ancestors[2].deathYear = 1990;
    ChartSettings settings = DefaultChartSettings();
    settings.setprenom = settings.setaccolade = settings.lieu = 1;
    settings.setnaissance = settings.setdece = 1;
    const std::string jean =
        P("58.8", 481, 74, "ROY Jean") + P("32.7", 806, 74, "1950") + P("29.4", 481, 139, "ROUEN");
    EXPECT_EQ(Page(*chart, settings, 1280, 1024),
              Head("ROY Jean") +
                  "<v:shape style='top: 0; left: 0; width: 1280px; height: 245px'\n"
                  "stroke=\"true\" strokecolor=#000000 strokeweight=\"1.5pt\" fill=\"false\"\n"
                  "coordorigin=\"0 0\" coordsize=\"1280 245\">\n"
                  "<v:path v=\"nf m1,1l1,1x m474,74l805,74,805,170,474,170x\n"
                  "m474,122c342,122,474,122,342,122\nm12,74l342,74,342,170,12,170x\n"
                  "m474,74l805,74,805,170,474,170x\n"
                  "m857,122c884,122,857,50,884,50\nm857,122c884,122,857,194,884,194\n"
                  "m805,122l857,122\nm937,50l884,50\nm937,194l884,194\n"
                  "m937,2l1267,2,1267,98,937,98x\nm937,146l1267,146,1267,242,937,242x\n<e \">\n" +
                  jean + P("58.8", 19, 74, "ROY Marc") + P("32.7", 343, 74, "1980") + jean +
                  P("58.8", 943, 2, "ROY Paul") + P("32.7", 1268, 2, "1920") +
                  P("32.7", 1268, 67, "1990") + P("29.4", 943, 67, "CAEN") +
                  P("58.8", 943, 146, "LUC Anne") + P("32.7", 1268, 146, "1925") +
                  "</v:shape>\n</HTML>\n");
}

TEST(VmlPage, TextsFromTheFileAreEscapedAndTheTitleNamesTheRootShown) {
    test::FamilyText family;
    family.person(1, "Jean /<script>&\"x/").person(2, "Paul /ROY/").family(2, 0, {1});
    const auto ancestors = test::ComputeChart(family.text(), kModeAncestors, 1, {}, 1);
    std::strcpy(ancestors->tree.ancestors[1].place, "<b>'");
    ChartSettings settings = DefaultChartSettings();
    settings.lieu = 1;
    const std::string page = Page(*ancestors, settings, 640, 480);
    for (const char* part : {"alogie de &lt;SCRIPT&gt;&amp;&quot;X Jean</TITLE>",
                             "\">&lt;SCRIPT&gt;&amp;&quot;X J.</P>", "\">&lt;b&gt;&#39;</P>"})
        EXPECT_NE(page.find(part), std::string::npos) << part;
    EXPECT_EQ(page.find("<SCRIPT"), std::string::npos);

    // The parent chart marks both roots with "$" in the tables; the title takes the file's name
    // of descendant node 1, Jean's father.
    const auto parent = test::ComputeChart(family.text(), kModeParent, 1, {}, 1);
    ASSERT_EQ(parent->tree.descendants[1].surname[0], '$');
    EXPECT_NE(Page(*parent, settings, 640, 480).find("de ROY Paul</TITLE>"), std::string::npos);
}

TEST(VmlPage, FileWrittenWholeOrNotAtAll) {
    const auto chart = SmallChart();
    const ChartSettings settings = DefaultChartSettings();
    test::TempDir dir;
    const std::string target = dir.file("arbre.htm").string();
    ListReporter reporter;
    const auto write = [&](const std::string& path) {
        return WriteVmlPage(path, chart->tree, *chart->store, settings, 800, 600, reporter);
    };
    ASSERT_EQ(write(target), 0);
    EXPECT_EQ(write(dir.file("absent/arbre.htm").string()), -1);
    {
        test::FileSizeLimit limit(100);
        EXPECT_EQ(write(target), -1);
    }
    EXPECT_FALSE(VmlPageAllowed(2, reporter));
    ASSERT_EQ(reporter.messages.size(), 3u);
    EXPECT_EQ(reporter.messages[0].text,
              "Erreur fopen\n" + dir.file("absent/arbre.htm").string() + " : dossier introuvable");
    EXPECT_EQ(reporter.messages[1].text,
              "Erreur fprintf\n" + target + " : fichier trop grand pour le disque");
    EXPECT_EQ(reporter.messages[2].text,
              "La création de fichier au format VML ne fonctionne pas en mode zoom");
    // Only the first page, whole.
    EXPECT_EQ(test::FolderEntries(dir.path()), std::vector<std::string>{"arbre.htm"});
    EXPECT_EQ(test::ReadFileBytes(target), Page(*chart, settings, 800, 600));
}

} // namespace
} // namespace arbolix
