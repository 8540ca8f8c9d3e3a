#include "app/fill_sheet.h"

#include <cstring>

#include "app/recent_files.h"
#include "base/profile.h"
#include "base/reporter.h"
#include "base/settings.h"

namespace arbolix {
namespace {

constexpr int32_t kFirstPatternButton = 1030;
constexpr int32_t kPatternsBeforePreview = kFillPreviewControl - kFirstPatternButton; // 36
constexpr int32_t kFirstTexture = 167;
constexpr int32_t kLastTexture = 195;
constexpr int32_t kLoneTexture = 162;
constexpr int32_t kLoneTextureButton = 1020;
constexpr int32_t kTextureButtonOffset = 863;

} // namespace

std::vector<FillPage> FillSheetPages(int32_t screenDepth) {
    switch (screenDepth) {
    case 8:
        return {FillPage::Gradient, FillPage::Picture, FillPage::Pattern};
    case 16:
    case 24:
    case 32:
        return {FillPage::Gradient, FillPage::Picture, FillPage::Pattern, FillPage::Texture};
    default:
        return {};
    }
}

const char* FillPageTitle(FillPage page) {
    switch (page) {
    case FillPage::Gradient:
        return "Dégradé";
    case FillPage::Picture:
        return "Image";
    case FillPage::Pattern:
        return "Motif";
    case FillPage::Texture:
        return "Texture";
    }
    return "";
}

int32_t PatternButton(int32_t pattern) {
    if (pattern < 0 || pattern > 39) return 0;
    const int32_t control = kFirstPatternButton + pattern;
    return pattern < kPatternsBeforePreview ? control : control + 1;
}

int32_t PatternOfButton(int32_t control) {
    if (control < kFirstPatternButton || control == kFillPreviewControl) return -1;
    const int32_t pattern = control - kFirstPatternButton;
    if (pattern < kPatternsBeforePreview) return pattern;
    return pattern - 1 <= 39 ? pattern - 1 : -1;
}

int32_t TextureButton(int32_t textureId) {
    if (textureId == kLoneTexture) return kLoneTextureButton;
    if (textureId < kFirstTexture || textureId > kLastTexture) return 0;
    return textureId + kTextureButtonOffset;
}

int32_t TextureOfButton(int32_t control) {
    if (control == kLoneTextureButton) return kLoneTexture;
    const int32_t texture = control - kTextureButtonOffset;
    return texture >= kFirstTexture && texture <= kLastTexture ? texture : 0;
}

PictureChoice ChoosePictureFile(FillSpec& fill, const std::string& path, int32_t screenDepth,
                                FillBitmap& preview, Profile& profile, Reporter& reporter) {
    if (path.size() > kMaxFillPathBytes) {
        reporter.report(
            {Format("Chemin de fichier image trop long (%zu octets, %zu au plus) :\n%s\n"
                    "Choisissez une image dont le chemin est plus court.",
                    path.size(), kMaxFillPathBytes, path.c_str()),
             "arbolix", MessageIcon::Exclamation});
        return PictureChoice::TooLong;
    }
    // The preview is tried on a copy: an unusable file leaves the fill as it was.
    FillSpec trial = fill;
    std::memset(trial.fileName, 0, sizeof trial.fileName);
    std::memcpy(trial.fileName, path.data(), path.size());
    trial.kind = kFillPicture;
    FillBitmap built;
    BuildFill(built, FillMode::DeviceBitmap, screenDepth, kFillPreviewSize.width,
              kFillPreviewSize.height, trial, reporter);
    if (trial.fileName[0] == '\0') return PictureChoice::Unusable;
    fill = trial;
    preview = std::move(built);
    WritePathKey(profile, "load_bmp", FolderOf(path));
    return PictureChoice::Taken;
}

void StoreFillSheetKeys(Profile& profile, const ChartSettings& settings, std::string_view fill) {
    static constexpr const char* kKeys[] = {"type_couleur", "type_degrade", "couleur",
                                            "variante",     "texture",      "motif",
                                            "fichier",      "brush.lbColor"};
    for (const char* key : kKeys) StoreSettingKey(profile, settings, std::string(fill) + "." + key);
}

} // namespace arbolix
