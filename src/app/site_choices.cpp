#include "app/site_choices.h"

#include <algorithm>

namespace arbolix {

namespace {

constexpr int32_t kBlackAndWhite = 0;

// The narrowest screen each size keeps its colours on is one pixel wider than this.
constexpr int32_t kWidestRefusing[] = {320, 640, 800, 1024, 1280, 1280};

} // namespace

SiteChoices SiteChoicesOnOpening(SiteChoices choices, int32_t screenWidth) {
    if (choices.colourMode == kBlackAndWhite) return choices;
    if (screenWidth < 321) {
        choices.colourMode = kBlackAndWhite;
    } else if (screenWidth <= 640) {
        choices.sizeIndex = 0;
    } else {
        const int32_t largest = screenWidth < 801    ? 1
                                : screenWidth < 1025 ? 2
                                : screenWidth < 1281 ? 3
                                                     : 4;
        choices.sizeIndex = std::min(choices.sizeIndex, largest);
    }
    return choices;
}

SiteChoices SiteSizeChosen(SiteChoices choices, int32_t screenWidth) {
    const int32_t size = std::clamp(choices.sizeIndex, 0, 5);
    if (screenWidth <= kWidestRefusing[size]) choices.colourMode = kBlackAndWhite;
    return choices;
}

SiteChoices SiteColourChosen(SiteChoices choices, int32_t screenWidth) {
    if (choices.colourMode == kBlackAndWhite) return choices;
    const int32_t size = choices.sizeIndex;
    if (screenWidth <= 640 || (screenWidth < 801 && size >= 2) ||
        (screenWidth < 1025 && size >= 3) || (screenWidth < 1281 && size >= 4) || size == 5)
        choices.colourMode = kBlackAndWhite;
    return choices;
}

} // namespace arbolix
