// arbolix-cli site as a user runs it: the files, the progress, the refusals and their exit codes.

#include <gtest/gtest.h>

#include <filesystem>

#include "export/export_test_support.h"
#include "support/qt_support.h"

namespace arbolix {
namespace {

TEST(SiteCommandLine, SampleSiteAndRefusals) {
    test::TempDir dir;
    std::filesystem::create_directory(dir.file("site"));
    const std::string main = dir.file("site/index.htm").string();
    const auto site = [&](std::vector<std::string> args, const std::string& page) {
        args.insert(args.begin(), {"--set", "site_taille=0", "site", test::SampleFamilyFile().string(),
                                   "--root", "@I14@", "--mode", "both", "-o", page});
        return test::RunCli(dir, args);
    };
    for (const auto& wrong : {std::vector<std::string>{"--size", "640x400"},
                              {"--type", "gif"},
                              {"--colors", "16"},
                              {"--titre", "x"}})
        EXPECT_EQ(site(wrong, main).exitCode, 2) << wrong[0];
    const auto missing = site({}, dir.file("nulle/part/index.htm").string());
    EXPECT_EQ(missing.exitCode, 1);
    EXPECT_NE(missing.err.find("Dossier introuvable : " + dir.file("nulle/part").string()),
              std::string::npos);
    EXPECT_EQ(test::FolderEntries(dir.file("site")), std::vector<std::string>{});

    const auto made = site({"--type", "jpg", "--colors", "gris", "--title", "Les Delorme"}, main);
    ASSERT_EQ(made.exitCode, 0) << made.err;
    EXPECT_NE(made.err.find("site : 0 / 1 DELORME Pierre\n"), std::string::npos) << made.err;
    EXPECT_NE(made.err.find("site : 91 pages, " + main + "\n"), std::string::npos) << made.err;
    EXPECT_NE(test::ReadFileBytes(main).find("<TITLE>Les Delorme</TITLE>"), std::string::npos);
    EXPECT_EQ(test::ReadFileBytes(dir.file("site/a14.jpg")).substr(0, 2), "\xFF\xD8");
    EXPECT_EQ(test::FolderEntries(dir.file("site")).size(), 91u * 2 + 1);
}

} // namespace
} // namespace arbolix
