#pragma once
// What the fill sheet ("Motifs et textures") does to the fill it edits, apart from showing it:
// which pages a screen gets, which button stands for which pattern or texture, the sizes of the
// pictures it builds, taking a picture file, and the keys written when it closes. The widgets
// (app/ui/fill_sheet_dialog.h) only show and ask.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/fill_spec.h"
#include "fills/fill_bitmap.h"

namespace arbolix {

class Profile;
class Reporter;
struct ChartSettings;

enum class FillPage { Gradient, Picture, Pattern, Texture };

// The pages of the sheet in tab order for a screen of this depth: "Dégradé", "Image", "Motif",
// and "Texture" from 16 bits on (the textures need more colours than an 8-bit screen shows); none
// for a depth no screen has.
std::vector<FillPage> FillSheetPages(int32_t screenDepth);
const char* FillPageTitle(FillPage page); // UTF-8

// Control numbers of the pages' buttons, which the tests and the widgets share.
constexpr int32_t kFillPreviewControl = 1066; // the "Résultat" picture of every page
constexpr int32_t kColour1Button = 1019;
constexpr int32_t kColour2Button = 1020;
constexpr int32_t kSolidRadio = 1055;             // "&Unicolore"
constexpr int32_t kTwoColourRadio = 1056;         // "B&icolore"
constexpr int32_t kFirstGradientTypeRadio = 1058; // 1058..1063: gradient types 0..5
constexpr int32_t kFirstVariantButton = 1068;     // 1068..1071: variants 0..3
constexpr int32_t kPictureButton = 1019;          // "Image ..."

// The button of pattern 0..39: 1030..1065 for patterns 0..35, then 1067..1070 (1066 is the
// preview); 0 for any other number. PatternOfButton is the inverse, -1 for any other control.
int32_t PatternButton(int32_t pattern);
int32_t PatternOfButton(int32_t control);
// The button of a texture: 1020 for texture 162, 1030..1058 for 167..195 (the control's number less
// 863 is the texture's id); 0 for any other id. TextureOfButton is the inverse, 0 for any other
// control.
int32_t TextureButton(int32_t textureId);
int32_t TextureOfButton(int32_t control);

// Sizes of what the pages build, in pixels.
struct FillPictureSize {
    int32_t width;
    int32_t height;
};
constexpr FillPictureSize kFillPreviewSize{80, 120};    // "Résultat"
constexpr FillPictureSize kGradientSwatchSize{140, 15}; // colour buttons of "Dégradé"
constexpr FillPictureSize kPatternSwatchSize{140, 20};  // colour buttons of "Motif"
constexpr FillPictureSize kVariantSize{60, 56};         // variant buttons
constexpr FillPictureSize kPatternThumbnailSize{80, 120};
constexpr FillPictureSize kPictureAreaSize{292, 205}; // where "Image" shows the whole picture

// The longest picture path a fill holds, in bytes.
constexpr std::size_t kMaxFillPathBytes = kFillFileNameSize - 1;

// What became of a picture file chosen on the "Image" page.
enum class PictureChoice {
    Taken,    // the fill paints that picture now; `preview` shows it
    Unusable, // the file could not be read as a picture (said by BuildFill); nothing changed
    TooLong,  // the path does not fit in the fill (said here); nothing changed
};

// Takes the picture file at `path` (UTF-8) for the fill: builds its "Résultat" preview at the
// screen depth first and keeps the fill unchanged when that fails; otherwise the fill becomes a
// picture fill of that file and the file's folder, with its final separator, goes to "load_bmp".
// A path longer than the fill holds is refused with a message rather than cut, since a cut path
// would name another file.
PictureChoice ChoosePictureFile(FillSpec& fill, const std::string& path, int32_t screenDepth,
                                FillBitmap& preview, Profile& profile, Reporter& reporter);

// Writes the keys of a fill ("texture_rectangle" or "texture_fond") in the order the sheet writes
// them when it closes: type_couleur, type_degrade, couleur, variante, texture, motif, fichier,
// brush.lbColor.
void StoreFillSheetKeys(Profile& profile, const ChartSettings& settings, std::string_view fill);

} // namespace arbolix
