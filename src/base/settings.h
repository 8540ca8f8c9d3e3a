#pragma once
// Every user-chosen display option of the chart, each under its profile key name. The record is
// loaded once at start and each field is written back, alone or with its group, by the command
// that changes it. One table (settings.cpp) gives every key its type, default, load correction
// and group; loading and storing both go through it.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/colour.h"
#include "base/fill_spec.h"
#include "base/log_font.h"
#include "base/place_format.h"
#include "base/profile.h"

namespace arbolix {

// Empty boxes drawn for filling in by hand (dialog "Cases vides").
struct EmptyBoxes {
    int32_t m_ngd = 0; // descendant generations
    int32_t m_ndg = 0; // descendants per generation
    int32_t m_nag = 0; // ascendant generations
    bool operator==(const EmptyBoxes&) const = default;
};

// Marking of the link to an ancestor reached a second time (dialog "Implexe").
struct ImplexeMarking {
    int32_t m_type = 0; // 0 solid, 1 dotted, 2 dashed, 3 dash-dot, 4 dash-dot-dot
    Colour couleur = 0;
    bool operator==(const ImplexeMarking&) const = default;
};

// Poster printing: pages across and down, and the aid to assemble the sheets (0 and 0: none).
struct PageLayout {
    int32_t m_largeur = 0;
    int32_t m_hauteur = 0;
    int32_t m_recouvrement = 0; // millimetres of chart repeated on neighbouring sheets, 0..20
    int32_t m_reperes = 0;      // 1: cut marks and a label on every sheet
    bool operator==(const PageLayout&) const = default;
};

// Value-initialised fields are zero; DefaultChartSettings() gives the values of an empty profile.
// The flags are kept as the integers the profile holds (0 or 1 once loaded, except `drapeau`,
// which is taken as stored).
struct ChartSettings {
    // Box contents and name display.
    int32_t setnom = 0;
    int32_t setprenom = 0;
    int32_t setnaissance = 0;
    int32_t setdece = 0;
    int32_t lieu = 0;
    int32_t epoux = 0;
    int32_t drapeau = 0;
    int32_t inverse_nom = 0;
    int32_t police_fixe = 0;

    // Links, spacing, box shape, pen.
    int32_t brique = 0;
    int32_t tuyau = 0;
    int32_t setaccolade = 0;
    int32_t interval = 0;
    double larg = 0; // box length in layout units (stored as an integer)
    int32_t largeur_pen = 0;
    Colour color_pen = 0;

    // Fonts and text colours.
    LogFont lf_nom;
    LogFont lf_lieu;
    LogFont lf_date;
    LogFont lf_epoux;
    Colour rgbColors_nom = 0;
    Colour rgbColors_lieu = 0;
    Colour rgbColors_date = 0;
    Colour rgbColors_epoux = 0;

    // Fills.
    FillSpec texture_rectangle;
    FillSpec texture_fond;

    // Tree content.
    int32_t m_gene = 0;
    int32_t m_gened = 0;
    int32_t setcousin = 0;
    EmptyBoxes m_casevide;
    ImplexeMarking m_implexe;

    // Output and files.
    PageLayout m_miseenpage;
    int32_t m_largeur = 0; // exported picture, pixels
    int32_t m_hauteur = 0;
    PlaceFormat m_gedcom;
    // Web site: read when its command runs (LoadSettingGroup "site"), not at start.
    int32_t site_taille = 0;
    std::string fichier_site; // UTF-8
    int32_t fichier_site_type = 0;
    int32_t fichier_site_ncouleur = 0;
    std::string dir_site; // UTF-8

    bool operator==(const ChartSettings&) const = default;
};

// Parts of the records that are not persisted: every start gives them these values.
constexpr int32_t kStartFontHeight = 20; // logical units
constexpr int32_t kStartFontWidth = 12;

// What a profile key holds.
enum class SettingType {
    Bool, // 0 or 1
    Int,
    Colour,      // 0x00BBGGRR, stored as a signed 32-bit integer
    Byte,        // stored as an integer, only the low byte is kept
    DoubleAsInt, // a double in memory, an integer in the profile
    String,      // UTF-8
};

struct SettingKeyInfo {
    std::string_view key;
    SettingType type;
    std::string_view group; // what StoreSettingGroup / LoadSettingGroup take
    bool loadedAtStart;     // false: on-demand groups and the path keys
    bool isPath;            // last-path and recent-file keys (ReadPathKey / WritePathKey)
};

// The settings of an empty profile, non-persisted parts included: fonts of height 20, width 12,
// escapement and orientation 0; fill brushes of style 0 (solid) and hatch 3.
ChartSettings DefaultChartSettings();

// Reads every key loaded at start into `settings`, with its default when the key is missing or
// unreadable and its load correction (applied in memory only; nothing is written back). The
// fields that are not persisted (font sizes, brush style and hatch) and the on-demand groups are
// left as they are: start from DefaultChartSettings().
void LoadChartSettings(const Profile& profile, ChartSettings& settings);

// Reads the keys of one group (a start-time group or an on-demand one such as "site") the same
// way. Returns false, reading nothing, when `group` names no group of chart settings.
bool LoadSettingGroup(const Profile& profile, ChartSettings& settings, std::string_view group);

// Writes exactly the keys of one group, in table order:
//  - a font ("lf_nom", "lf_lieu", "lf_date", "lf_epoux"): its nine integer keys, its face name
//    and its colour key ("rgbColors_nom", ...);
//  - a fill ("texture_rectangle", "texture_fond"): its seven integer keys and "fichier";
//  - "m_casevide", "m_implexe", "m_miseenpage", "m_gedcom", "site": their fields;
//  - any other key is a group of its own ("setnom", "larg", "color_pen", ...).
// Returns false, writing nothing, for a name that is no such group (path keys included).
bool StoreSettingGroup(Profile& profile, const ChartSettings& settings, std::string_view group);
// Writes one key of a field ("texture_fond.couleur", "setnom", ...), for callers that write a
// group's keys in an order of their own. Returns false, writing nothing, for a key that is no
// field of ChartSettings (path keys included).
bool StoreSettingKey(Profile& profile, const ChartSettings& settings, std::string_view key);

// The last-path keys ("save_bmp", "save_vml", "load_bmp", "open": default "") and the recent
// files ("file1" .. "file4": default "-"), UTF-8. ReadPathKey gives "" for a key that is none of
// them; WritePathKey then writes nothing and returns false.
std::string ReadPathKey(const Profile& profile, std::string_view key);
bool WritePathKey(Profile& profile, std::string_view key, std::string_view value);

// The keys of the table, in load order (for "--set" checks and listings).
const std::vector<SettingKeyInfo>& ListSettingKeys();
bool IsKnownSettingKey(std::string_view key);
std::optional<SettingType> SettingKeyType(std::string_view key);

} // namespace arbolix
