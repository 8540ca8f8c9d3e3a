#pragma once
// The web site's dialog rules on picture size and colours. Pictures of grey levels or colours
// were once made at the depth of the screen and had to fit on it: the dialog keeps a colour choice
// only with a picture no wider than the screen allows (W: the screen's width in pixels, read
// each time), and falls back to black and white ("B/W") otherwise.

#include <cstdint>

namespace arbolix {

// The radio buttons "Nombre de couleurs" (0 "B/W", 1 "Gris", 2 "256 ", 3 "24 bits") and "Taille
// Image" (0 "320x240" .. 5 "1600x1200").
struct SiteChoices {
    int32_t colourMode = 3;
    int32_t sizeIndex = 1;
    bool operator==(const SiteChoices&) const = default;
};

// When the dialog opens with a colour choice: below 321 pixels black and white; up to 640 the
// 320x240 size; wider, the size lowered to the largest of 640x480 (W < 801), 800x600 (W < 1025),
// 1024x768 (W < 1281) that the screen takes, and 1600x1200 always to 1280x1024.
SiteChoices SiteChoicesOnOpening(SiteChoices choices, int32_t screenWidth);
// A size chosen: black and white when W is at most 320, 640, 800, 1024, 1280, 1280 for the sizes
// 0 .. 5.
SiteChoices SiteSizeChosen(SiteChoices choices, int32_t screenWidth);
// A colour chosen (other than "B/W"): black and white again when W ≤ 640, or W < 801 with
// 800x600 or more, or W < 1025 with 1024x768 or more, or W < 1281 above 1024x768, or with
// 1600x1200.
SiteChoices SiteColourChosen(SiteChoices choices, int32_t screenWidth);

} // namespace arbolix
