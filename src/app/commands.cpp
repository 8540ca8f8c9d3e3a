#include "app/commands.h"

#include <cstdint>

#include "app/chart_document.h"
#include "app/fill_sheet.h"
#include "base/settings.h"

namespace arbolix {

int RecentFileIndex(int command) {
    switch (command) {
    case cmd::kRecent1: return 0;
    case cmd::kRecent2: return 1;
    case cmd::kRecent3: return 2;
    case cmd::kRecent4: return 3;
    default: return -1;
    }
}

namespace {

struct Toggle {
    int command;
    int32_t ChartSettings::*field;
    const char* key;
};

constexpr Toggle kToggles[] = {
    {cmd::kName, &ChartSettings::setnom, "setnom"},
    {cmd::kGivenName, &ChartSettings::setprenom, "setprenom"},
    {cmd::kInvertName, &ChartSettings::inverse_nom, "inverse_nom"},
    {cmd::kBirth, &ChartSettings::setnaissance, "setnaissance"},
    {cmd::kDeath, &ChartSettings::setdece, "setdece"},
    {cmd::kPlace, &ChartSettings::lieu, "lieu"},
    {cmd::kSpouses, &ChartSettings::epoux, "epoux"},
    {cmd::kFlag, &ChartSettings::drapeau, "drapeau"},
    {cmd::kFixedFont, &ChartSettings::police_fixe, "police_fixe"},
    {cmd::kBrick, &ChartSettings::brique, "brique"},
    {cmd::kPipes, &ChartSettings::tuyau, "tuyau"},
    {cmd::kBraces, &ChartSettings::setaccolade, "setaccolade"},
};

const Toggle* FindToggle(int command) {
    for (const Toggle& toggle : kToggles)
        if (toggle.command == command) return &toggle;
    return nullptr;
}

int32_t CousinValue(int command) {
    switch (command) {
    case cmd::kWithCousins: return 1;
    case cmd::kWithoutCousins: return 0;
    case cmd::kDuplicated: return 2;
    default: return -1;
    }
}

// The spouses setting is applied by computing the chart again around the chosen person when
// the chart has an ancestor table; otherwise it is only drawn again.
CommandEffect RebuildWithAncestors(ChartDocument& document) {
    const ChartTree& tree = document.tree();
    if (tree.ancestorCount == 0) return CommandEffect::Repaint;
    document.recompute(tree.ancestors[1].xref);
    return CommandEffect::Rebuilt;
}

// Cousin modes, generation limits and empty boxes shape both tables: any chart is computed again.
CommandEffect Rebuild(ChartDocument& document) {
    return document.rebuild() ? CommandEffect::Rebuilt : CommandEffect::Repaint;
}

void Store(ChartDocument& document, const char* key) {
    StoreSettingGroup(document.profile(), document.settings(), key);
}

} // namespace

std::optional<bool> SettingChecked(int command, const ChartSettings& settings) {
    if (const Toggle* toggle = FindToggle(command)) return settings.*(toggle->field) == 1;
    const int32_t cousin = CousinValue(command);
    if (cousin >= 0) return settings.setcousin == cousin;
    return std::nullopt;
}

std::optional<CommandEffect> RunSettingCommand(int command, ChartDocument& document) {
    ChartSettings& settings = document.settings();
    if (const int32_t cousin = CousinValue(command); cousin >= 0) {
        if (settings.setcousin == cousin) return CommandEffect::None;
        settings.setcousin = cousin;
        Store(document, "setcousin");
        return Rebuild(document);
    }
    const Toggle* toggle = FindToggle(command);
    if (toggle == nullptr) return std::nullopt;
    int32_t& value = settings.*(toggle->field);
    value = value == 1 ? 0 : 1;
    Store(document, toggle->key);
    // Pipes and braces exclude each other.
    if (value == 1 && command == cmd::kPipes && settings.setaccolade == 1) {
        settings.setaccolade = 0;
        Store(document, "setaccolade");
    } else if (value == 1 && command == cmd::kBraces && settings.tuyau == 1) {
        settings.tuyau = 0;
        Store(document, "tuyau");
    }
    if (command == cmd::kSpouses) return RebuildWithAncestors(document);
    return CommandEffect::Repaint;
}

std::optional<CommandEffect> SettingsEdited(int command, ChartDocument& document) {
    const auto store = [&](std::initializer_list<const char*> keys) {
        for (const char* key : keys) Store(document, key);
    };
    switch (command) {
    case cmd::kInterval:
    case cmd::kBoxRatio:
        store({command == cmd::kInterval ? "interval" : "larg"});
        document.relayout();
        return CommandEffect::Rebuilt;
    case cmd::kGenerations: store({"m_gene", "m_gened"}); return Rebuild(document);
    case cmd::kEmptyBoxes: store({"m_casevide"}); return Rebuild(document);
    case cmd::kPenWidth: store({"largeur_pen"}); return CommandEffect::Repaint;
    case cmd::kImplexe: store({"m_implexe"}); return CommandEffect::Repaint;
    case cmd::kPageLayout: store({"m_miseenpage"}); return CommandEffect::None;
    case cmd::kFontName: store({"lf_nom"}); return CommandEffect::Repaint;
    case cmd::kFontPlace: store({"lf_lieu"}); return CommandEffect::Repaint;
    case cmd::kFontDate: store({"lf_date"}); return CommandEffect::Repaint;
    case cmd::kFontSpouse: store({"lf_epoux"}); return CommandEffect::Repaint;
    case cmd::kColourPen: store({"color_pen"}); return CommandEffect::Repaint;
    case cmd::kColourBox: store({"texture_rectangle"}); return CommandEffect::Repaint;
    case cmd::kColourBackground: store({"texture_fond"}); return CommandEffect::Repaint;
    case cmd::kTextureBox:
        StoreFillSheetKeys(document.profile(), document.settings(), "texture_rectangle");
        return CommandEffect::Repaint;
    case cmd::kTextureBackground:
        StoreFillSheetKeys(document.profile(), document.settings(), "texture_fond");
        return CommandEffect::Repaint;
    // The new place format applies from the next reading of a file.
    case cmd::kPlaceFormat: store({"m_gedcom"}); return CommandEffect::None;
    default: return std::nullopt;
    }
}

} // namespace arbolix
