// arbolix-cli vml as a user runs it: the page file, the refusals and their exit codes.

#include <gtest/gtest.h>

#include <filesystem>

#include "support/qt_support.h"

namespace arbolix {
namespace {

TEST(VmlCommand, SamplePageAndRefusals) {
    test::TempDir dir;
    const std::string page = dir.file("arbre.htm").string();
    const auto vml = [&](std::vector<std::string> args) {
        args.insert(args.begin(), {"vml", test::SampleFamilyFile().string(), "--root", "@I1@",
                                   "--mode", "asc", "-o", page});
        return test::RunCli(dir, args);
    };
    const auto zoomed = vml({"--size", "1024x768", "--zoom", "2"});
    EXPECT_EQ(zoomed.exitCode, 2);
    EXPECT_NE(zoomed.err.find("ne fonctionne pas en mode zoom"), std::string::npos);
    for (const char* size : {"1000x700", "1024", "1024x768x2"})
        EXPECT_EQ(vml({"--size", size}).exitCode, 2) << size;
    EXPECT_FALSE(std::filesystem::exists(page));

    const auto written = vml({"--size", "1024x768"});
    ASSERT_EQ(written.exitCode, 0) << written.err;
    const std::string text = test::ReadFileBytes(page);
    EXPECT_TRUE(text.starts_with("<HTML xmlns=\"http://www.w3.org/TR/REC-html40\" xmlns:v"));
    EXPECT_TRUE(text.ends_with("</v:shape>\n</HTML>\n"));
}

} // namespace
} // namespace arbolix
