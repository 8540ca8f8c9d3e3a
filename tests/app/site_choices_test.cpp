// The web site dialog's rules between picture size, colours and the screen's width.

#include <gtest/gtest.h>

#include "app/site_choices.h"

namespace arbolix {
namespace {

enum class Rule { Opening, SizeChosen, ColourChosen };

struct Case {
    Rule rule;
    int32_t width;
    SiteChoices before;
    SiteChoices after;
};

TEST(SiteChoices, ColoursNeedAPictureTheScreenTakes) {
    constexpr int32_t kBw = 0, kGrey = 1, k256 = 2, k24 = 3;
    const Case cases[] = {
        // Opening: black and white stays as it is; colours below 321 pixels become black and
        // white, up to 640 keep the smallest size, wider ones lower the size to fit.
        {Rule::Opening, 100, {kBw, 5}, {kBw, 5}},
        {Rule::Opening, 320, {k24, 3}, {kBw, 3}},
        {Rule::Opening, 321, {k24, 5}, {k24, 0}},
        {Rule::Opening, 640, {kGrey, 1}, {kGrey, 0}},
        {Rule::Opening, 641, {k24, 2}, {k24, 1}},
        {Rule::Opening, 800, {k24, 0}, {k24, 0}},
        {Rule::Opening, 801, {k24, 5}, {k24, 2}},
        {Rule::Opening, 1024, {k24, 2}, {k24, 2}},
        {Rule::Opening, 1025, {k256, 4}, {k256, 3}},
        {Rule::Opening, 1280, {k24, 1}, {k24, 1}},
        {Rule::Opening, 1281, {k24, 5}, {k24, 4}},
        {Rule::Opening, 2560, {k24, 5}, {k24, 4}},
        // A size chosen: black and white up to its threshold, colours kept one pixel wider.
        {Rule::SizeChosen, 320, {k24, 0}, {kBw, 0}},
        {Rule::SizeChosen, 321, {k24, 0}, {k24, 0}},
        {Rule::SizeChosen, 1280, {k24, 4}, {kBw, 4}},
        {Rule::SizeChosen, 1281, {k24, 5}, {k24, 5}},
        // A colour chosen: never up to 640 pixels, never with 1600x1200.
        {Rule::ColourChosen, 640, {k24, 0}, {kBw, 0}},
        {Rule::ColourChosen, 641, {k24, 1}, {k24, 1}},
        {Rule::ColourChosen, 1280, {kGrey, 4}, {kBw, 4}},
        {Rule::ColourChosen, 1281, {kGrey, 4}, {kGrey, 4}},
        {Rule::ColourChosen, 4000, {k24, 5}, {kBw, 5}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << static_cast<int>(c.rule) << " W=" << c.width << " colours "
                     << c.before.colourMode << " size " << c.before.sizeIndex);
        const SiteChoices after = c.rule == Rule::Opening ? SiteChoicesOnOpening(c.before, c.width)
                                  : c.rule == Rule::SizeChosen
                                      ? SiteSizeChosen(c.before, c.width)
                                      : SiteColourChosen(c.before, c.width);
        EXPECT_EQ(after.colourMode, c.after.colourMode);
        EXPECT_EQ(after.sizeIndex, c.after.sizeIndex);
    }
}

} // namespace
} // namespace arbolix
