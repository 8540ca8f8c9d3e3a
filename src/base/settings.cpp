#include "base/settings.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <variant>

namespace arbolix {

namespace {

// Correction of a stored integer at load time (in memory only).
enum class Fix : uint8_t {
    None,
    NonzeroToOne,     // any nonzero value becomes 1
    NotOneToZero,     // any value other than 1 becomes 0
    OutsideToDefault, // a value outside [low, high] becomes the default
    ZeroToOne,        // 0 becomes 1
};

struct Check {
    Fix fix = Fix::None;
    int32_t low = 0;
    int32_t high = 0;
};

constexpr Check kAsStored{};
constexpr Check kNonzeroToOne{Fix::NonzeroToOne};
constexpr Check kNotOneToZero{Fix::NotOneToZero};
constexpr Check kZeroToOne{Fix::ZeroToOne};
constexpr Check Within(int32_t low, int32_t high) {
    return {Fix::OutsideToDefault, low, high};
}

enum class When : uint8_t { Start, OnDemand, Path };

// Accessors: each returns the field of a key inside a ChartSettings.
using IntField = int32_t& (*)(ChartSettings&);
using ColourField = Colour& (*)(ChartSettings&);
using ByteField = uint8_t& (*)(ChartSettings&);
using DoubleField = double& (*)(ChartSettings&);
using StringField = std::string& (*)(ChartSettings&);
struct CharsField {
    char* (*buffer)(ChartSettings&);
    std::size_t size; // bytes, terminating zero included
};
// monostate: a key with no field in ChartSettings (the path keys).
using Field = std::variant<std::monostate, IntField, ColourField, ByteField, DoubleField,
                           StringField, CharsField>;

struct Entry {
    std::string key;
    SettingType type;
    Field field;
    int32_t intDefault = 0;
    std::string textDefault;
    Check check;
    std::string group;
    When when = When::Start;
};

// Accessors of a field of ChartSettings, of the font `Font` and of the fill `Fill` (the template
// parameters of AddFont and AddFill).
// clang-format off
#define SETTING(path) [](ChartSettings& s) -> auto& { return s.path; }
#define FONT_FIELD(member) [](ChartSettings& s) -> auto& { return (s.*Font).member; }
#define FILL_FIELD(member) [](ChartSettings& s) -> auto& { return (s.*Fill).member; }
// clang-format on

class TableBuilder {
public:
    // Keys added between beginGroup and endGroup share that group; any other key is its own.
    void beginGroup(std::string_view group) { group_ = group; }
    void endGroup() { group_.clear(); }
    void setWhen(When when) { when_ = when; }

    void flag(std::string key, IntField field, int32_t def, Check check) {
        add(std::move(key), SettingType::Bool, field, def, {}, check);
    }
    void integer(std::string key, IntField field, int32_t def, Check check = kAsStored) {
        add(std::move(key), SettingType::Int, field, def, {}, check);
    }
    void colour(std::string key, ColourField field, Colour def) {
        add(std::move(key), SettingType::Colour, field, static_cast<int32_t>(def), {}, kAsStored);
    }
    void byte(std::string key, ByteField field, uint8_t def) {
        add(std::move(key), SettingType::Byte, field, def, {}, kAsStored);
    }
    void real(std::string key, DoubleField field, int32_t def, Check check) {
        add(std::move(key), SettingType::DoubleAsInt, field, def, {}, check);
    }
    void text(std::string key, StringField field, std::string def) {
        add(std::move(key), SettingType::String, field, 0, std::move(def), kAsStored);
    }
    void chars(std::string key, CharsField field, std::string def) {
        add(std::move(key), SettingType::String, field, 0, std::move(def), kAsStored);
    }
    void path(std::string key, std::string def) {
        const When saved = when_;
        when_ = When::Path;
        add(std::move(key), SettingType::String, std::monostate{}, 0, std::move(def), kAsStored);
        when_ = saved;
    }

    std::vector<Entry> take() { return std::move(entries_); }

private:
    void add(std::string key, SettingType type, Field field, int32_t intDefault,
             std::string textDefault, Check check) {
        std::string group = group_.empty() ? key : group_;
        entries_.push_back({std::move(key), type, field, intDefault, std::move(textDefault), check,
                            std::move(group), when_});
    }

    std::vector<Entry> entries_;
    std::string group_;
    When when_ = When::Start;
};

// The keys of one font record and its text colour, e.g. "lf_nom.lfWeight" .. "lf_nom.lfFaceName"
// and "rgbColors_nom".
template <LogFont ChartSettings::*Font, Colour ChartSettings::*TextColour>
void AddFont(TableBuilder& table, const std::string& name, const std::string& colourKey) {
    table.beginGroup(name);
    table.integer(name + ".lfWeight", FONT_FIELD(lfWeight), 400);
    table.byte(name + ".lfItalic", FONT_FIELD(lfItalic), 0);
    table.byte(name + ".lfUnderline", FONT_FIELD(lfUnderline), 0);
    table.byte(name + ".lfStrikeOut", FONT_FIELD(lfStrikeOut), 0);
    table.byte(name + ".lfCharSet", FONT_FIELD(lfCharSet), 0);
    table.byte(name + ".lfOutPrecision", FONT_FIELD(lfOutPrecision), 6);
    table.byte(name + ".lfClipPrecision", FONT_FIELD(lfClipPrecision), 1);
    table.byte(name + ".lfQuality", FONT_FIELD(lfQuality), 2);
    table.byte(name + ".lfPitchAndFamily", FONT_FIELD(lfPitchAndFamily), 0);
    table.chars(name + ".lfFaceName",
                {[](ChartSettings& s) -> char* { return (s.*Font).lfFaceName; }, kFaceNameSize},
                "Times New Roman");
    const ColourField textColour = [](ChartSettings& s) -> Colour& { return s.*TextColour; };
    table.colour(colourKey, textColour, 0);
    table.endGroup();
}

// The keys of one fill, e.g. "texture_fond.type_couleur" .. "texture_fond.fichier".
template <FillSpec ChartSettings::*Fill>
void AddFill(TableBuilder& table, const std::string& name, Check kindCheck) {
    table.beginGroup(name);
    table.integer(name + ".type_couleur", FILL_FIELD(kind), kFillSolid, kindCheck);
    table.integer(name + ".type_degrade", FILL_FIELD(gradientType), 0);
    table.integer(name + ".variante", FILL_FIELD(variant), 0);
    table.integer(name + ".texture", FILL_FIELD(textureId), 0);
    table.integer(name + ".motif", FILL_FIELD(patternIndex), 0);
    table.colour(name + ".couleur", FILL_FIELD(colour2), 0);
    table.colour(name + ".brush.lbColor", FILL_FIELD(brush.lbColor), kWhite);
    table.chars(name + ".fichier",
                {[](ChartSettings& s) -> char* { return (s.*Fill).fileName; }, kFillFileNameSize},
                "");
    table.endGroup();
}

// Every key, in the order they are loaded at start.
std::vector<Entry> BuildTable() {
    TableBuilder t;
    // Box contents.
    t.flag("setnom", SETTING(setnom), 1, kNonzeroToOne);
    t.flag("setprenom", SETTING(setprenom), 0, kNotOneToZero);
    t.flag("setnaissance", SETTING(setnaissance), 0, kNotOneToZero);
    t.flag("setdece", SETTING(setdece), 0, kNotOneToZero);
    t.flag("lieu", SETTING(lieu), 0, kNotOneToZero);
    t.flag("epoux", SETTING(epoux), 0, kNonzeroToOne);
    // Links, spacing, box shape, pen.
    t.flag("brique", SETTING(brique), 0, kNotOneToZero);
    t.flag("tuyau", SETTING(tuyau), 0, kNotOneToZero);
    t.flag("setaccolade", SETTING(setaccolade), 0, kNotOneToZero);
    t.integer("interval", SETTING(interval), 5);
    t.real("larg", SETTING(larg), 50, Within(10, 250));
    t.integer("largeur_pen", SETTING(largeur_pen), 1, Within(1, 128));
    // Fonts and their colours.
    AddFont<&ChartSettings::lf_nom, &ChartSettings::rgbColors_nom>(t, "lf_nom", "rgbColors_nom");
    AddFont<&ChartSettings::lf_epoux, &ChartSettings::rgbColors_epoux>(t, "lf_epoux",
                                                                       "rgbColors_epoux");
    AddFont<&ChartSettings::lf_lieu, &ChartSettings::rgbColors_lieu>(t, "lf_lieu",
                                                                     "rgbColors_lieu");
    AddFont<&ChartSettings::lf_date, &ChartSettings::rgbColors_date>(t, "lf_date",
                                                                     "rgbColors_date");
    t.colour("color_pen", SETTING(color_pen), kBlack);
    // Fills: the box fill must be a kind the dialogs offer; the background is taken as stored.
    AddFill<&ChartSettings::texture_rectangle>(t, "texture_rectangle", Within(0, 4));
    AddFill<&ChartSettings::texture_fond>(t, "texture_fond", kAsStored);
    // Tree content.
    t.integer("m_gene", SETTING(m_gene), 16, Within(1, 62));
    t.integer("m_gened", SETTING(m_gened), 16, Within(1, 62));
    t.integer("setcousin", SETTING(setcousin), 1, Within(0, 2));
    // Picture size, name display, pedigree collapse, flags.
    t.integer("m_largeur", SETTING(m_largeur), 1024);
    t.integer("m_hauteur", SETTING(m_hauteur), 768);
    t.flag("inverse_nom", SETTING(inverse_nom), 0, kNotOneToZero);
    t.flag("police_fixe", SETTING(police_fixe), 0, kNotOneToZero);
    t.beginGroup("m_implexe");
    t.integer("m_implexe.m_type", SETTING(m_implexe.m_type), 0, Within(0, 4));
    t.colour("m_implexe.couleur", SETTING(m_implexe.couleur), kBlack);
    t.endGroup();
    t.flag("drapeau", SETTING(drapeau), 0, kAsStored);
    // Page layout, empty boxes, place order.
    t.beginGroup("m_miseenpage");
    t.integer("m_miseenpage.m_largeur", SETTING(m_miseenpage.m_largeur), 1, kZeroToOne);
    t.integer("m_miseenpage.m_hauteur", SETTING(m_miseenpage.m_hauteur), 1);
    t.integer("m_miseenpage.m_recouvrement", SETTING(m_miseenpage.m_recouvrement), 0,
              Within(0, 20));
    t.flag("m_miseenpage.m_reperes", SETTING(m_miseenpage.m_reperes), 0, kNotOneToZero);
    t.endGroup();
    t.beginGroup("m_casevide");
    t.integer("m_casevide.m_ngd", SETTING(m_casevide.m_ngd), 0);
    t.integer("m_casevide.m_ndg", SETTING(m_casevide.m_ndg), 1);
    t.integer("m_casevide.m_nag", SETTING(m_casevide.m_nag), 0);
    t.endGroup();
    t.beginGroup("m_gedcom");
    t.integer("m_gedcom.t0", SETTING(m_gedcom.t0), kRoleTown);
    t.integer("m_gedcom.t1", SETTING(m_gedcom.t1), kRolePostalCode);
    t.integer("m_gedcom.t2", SETTING(m_gedcom.t2), kRoleDepartment);
    t.integer("m_gedcom.t3", SETTING(m_gedcom.t3), kRoleRegion);
    t.integer("m_gedcom.t4", SETTING(m_gedcom.t4), kRoleCountry);
    t.endGroup();

    // Read when the web-site command runs, written in this order when its dialog is confirmed.
    t.setWhen(When::OnDemand);
    t.beginGroup("site");
    t.text("fichier_site", SETTING(fichier_site), "index.htm");
    t.text("dir_site", SETTING(dir_site), "");
    t.integer("fichier_site_type", SETTING(fichier_site_type), 0);
    t.integer("fichier_site_ncouleur", SETTING(fichier_site_ncouleur), 3);
    t.integer("site_taille", SETTING(site_taille), 1);
    t.endGroup();

    // Last paths and recent files, read and written by their commands.
    t.path("save_bmp", "");
    t.path("save_vml", "");
    t.path("load_bmp", "");
    t.path("open", "");
    for (int i = 1; i <= 4; ++i) t.path("file" + std::to_string(i), "-");
    return t.take();
}

#undef SETTING
#undef FONT_FIELD
#undef FILL_FIELD

const std::vector<Entry>& Table() {
    static const std::vector<Entry> table = BuildTable();
    return table;
}

const Entry* FindEntry(std::string_view key) {
    for (const Entry& entry : Table())
        if (entry.key == key) return &entry;
    return nullptr;
}

// True when `group` names a group of ChartSettings fields (the path keys have none).
bool IsFieldGroup(std::string_view group) {
    return std::any_of(Table().begin(), Table().end(), [group](const Entry& entry) {
        return entry.group == group && entry.when != When::Path;
    });
}

int32_t Corrected(const Check& check, int32_t value, int32_t def) {
    switch (check.fix) {
    case Fix::None:
        return value;
    case Fix::NonzeroToOne:
        return value != 0 ? 1 : 0;
    case Fix::NotOneToZero:
        return value == 1 ? 1 : 0;
    case Fix::OutsideToDefault:
        return value < check.low || value > check.high ? def : value;
    case Fix::ZeroToOne:
        return value == 0 ? 1 : value;
    }
    return value;
}

// Copies `text` into a fixed buffer of `size` bytes, cut to size - 1 bytes without splitting a
// UTF-8 sequence, and zero-fills the rest.
void CopyCut(std::string_view text, char* buffer, std::size_t size) {
    std::size_t length = std::min(text.size(), size - 1);
    if (length < text.size()) {
        // Back off while the first byte left out continues a sequence.
        while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80) --length;
    }
    std::memcpy(buffer, text.data(), length);
    std::memset(buffer + length, 0, size - length);
}

int32_t ToStoredInt(double value) {
    if (std::isnan(value)) return 0;
    const double clamped = std::clamp(value, double(std::numeric_limits<int32_t>::min()),
                                      double(std::numeric_limits<int32_t>::max()));
    return static_cast<int32_t>(clamped);
}

template <class... Ts> struct Overloaded : Ts... { using Ts::operator()...; };
template <class... Ts> Overloaded(Ts...) -> Overloaded<Ts...>;

void LoadEntry(const Entry& entry, const Profile& profile, ChartSettings& settings) {
    const auto number = [&] {
        const int32_t stored = profile.readInt(entry.key).value_or(entry.intDefault);
        return Corrected(entry.check, stored, entry.intDefault);
    };
    const auto text = [&] { return profile.readString(entry.key).value_or(entry.textDefault); };
    std::visit(
        Overloaded{
            [](std::monostate) {},
            [&](IntField field) { field(settings) = number(); },
            [&](ColourField field) { field(settings) = static_cast<Colour>(number()); },
            [&](ByteField field) { field(settings) = static_cast<uint8_t>(number() & 0xFF); },
            [&](DoubleField field) { field(settings) = number(); },
            [&](StringField field) { field(settings) = text(); },
            [&](CharsField field) { CopyCut(text(), field.buffer(settings), field.size); },
        },
        entry.field);
}

void StoreEntry(const Entry& entry, Profile& profile, const ChartSettings& settings) {
    // The accessors only hand out references; nothing is changed through them here.
    ChartSettings& source = const_cast<ChartSettings&>(settings);
    const std::string& key = entry.key;
    std::visit(
        Overloaded{
            [](std::monostate) {},
            [&](IntField field) { profile.writeInt(key, field(source)); },
            [&](ColourField field) { profile.writeInt(key, static_cast<int32_t>(field(source))); },
            [&](ByteField field) { profile.writeInt(key, field(source)); },
            [&](DoubleField field) { profile.writeInt(key, ToStoredInt(field(source))); },
            [&](StringField field) { profile.writeString(key, field(source)); },
            [&](CharsField field) {
                const char* buffer = field.buffer(source);
                const char* end = std::find(buffer, buffer + field.size, '\0');
                profile.writeString(key, std::string_view(buffer, end - buffer));
            },
        },
        entry.field);
}

void ApplyDefault(const Entry& entry, ChartSettings& settings) {
    static const MemoryProfile empty;
    LoadEntry(entry, empty, settings);
}

} // namespace

ChartSettings DefaultChartSettings() {
    ChartSettings settings;
    for (const Entry& entry : Table()) ApplyDefault(entry, settings);
    for (LogFont* font :
         {&settings.lf_nom, &settings.lf_lieu, &settings.lf_date, &settings.lf_epoux}) {
        font->lfHeight = kStartFontHeight;
        font->lfWidth = kStartFontWidth;
        font->lfEscapement = 0;
        font->lfOrientation = 0;
    }
    for (FillSpec* fill : {&settings.texture_rectangle, &settings.texture_fond}) {
        fill->brush.lbStyle = kBrushSolid;
        fill->brush.lbHatch = kDefaultBrushHatch;
    }
    return settings;
}

void LoadChartSettings(const Profile& profile, ChartSettings& settings) {
    for (const Entry& entry : Table())
        if (entry.when == When::Start) LoadEntry(entry, profile, settings);
}

bool LoadSettingGroup(const Profile& profile, ChartSettings& settings, std::string_view group) {
    if (!IsFieldGroup(group)) return false;
    for (const Entry& entry : Table())
        if (entry.group == group) LoadEntry(entry, profile, settings);
    return true;
}

bool StoreSettingGroup(Profile& profile, const ChartSettings& settings, std::string_view group) {
    if (!IsFieldGroup(group)) return false;
    for (const Entry& entry : Table())
        if (entry.group == group) StoreEntry(entry, profile, settings);
    return true;
}

bool StoreSettingKey(Profile& profile, const ChartSettings& settings, std::string_view key) {
    const Entry* entry = FindEntry(key);
    if (entry == nullptr || entry->when == When::Path) return false;
    StoreEntry(*entry, profile, settings);
    return true;
}

std::string ReadPathKey(const Profile& profile, std::string_view key) {
    const Entry* entry = FindEntry(key);
    if (entry == nullptr || entry->when != When::Path) return {};
    return profile.readString(key).value_or(entry->textDefault);
}

bool WritePathKey(Profile& profile, std::string_view key, std::string_view value) {
    const Entry* entry = FindEntry(key);
    if (entry == nullptr || entry->when != When::Path) return false;
    profile.writeString(key, value);
    return true;
}

const std::vector<SettingKeyInfo>& ListSettingKeys() {
    static const std::vector<SettingKeyInfo> keys = [] {
        std::vector<SettingKeyInfo> list;
        for (const Entry& entry : Table())
            list.push_back({entry.key, entry.type, entry.group, entry.when == When::Start,
                            entry.when == When::Path});
        return list;
    }();
    return keys;
}

bool IsKnownSettingKey(std::string_view key) {
    return FindEntry(key) != nullptr;
}

std::optional<SettingType> SettingKeyType(std::string_view key) {
    const Entry* entry = FindEntry(key);
    if (entry == nullptr) return std::nullopt;
    return entry->type;
}

} // namespace arbolix
