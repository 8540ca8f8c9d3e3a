#include "app/help_page.h"

#include <filesystem>
#include <system_error>

namespace arbolix {

namespace {

constexpr DialogHelp kDialogSections[] = {
    {"Ouvrir fichier généalogie", "ouvrir"},
    {"Ouverture fichier GED", "choisir"},
    {"Fiche", "fiche"},
    {"Choix format des places du format Gedcom", "format-gedcom"},
    {"CHOIX INTERVALLE", "intervalle"},
    {"Définition épaisseur trait", "epaisseur"},
    {"Définition rapport cadre", "cadre"},
    {"Définition nombre de générations", "generations"},
    {"Cases vides", "cases-vides"},
    {"Implexe", "implexe-dialogue"},
    {"Police", "polices"},
    {"Couleurs", "couleurs"},
    {"Motifs et textures", "textures"},
    {"Ouvrir fichier image", "textures"},
    {"Mise en page de l'impréssion", "impression"},
    {"Propriété image", "image"},
    {"Sauver fichier image", "image"},
    {"VML", "vml"},
    {"Sauver fichier VML", "vml"},
    {"Génération Site Web", "site"},
};

} // namespace

std::string FindHelpPage(const std::string& programDir) {
    namespace fs = std::filesystem;
    if (programDir.empty()) return {};
    const fs::path page =
        fs::path(programDir) / ".." / "share" / "arbolix" / "aide" / kHelpPageName;
    std::error_code error;
    if (!fs::is_regular_file(page, error)) return {};
    const fs::path normal = fs::weakly_canonical(page, error);
    return error ? page.lexically_normal().string() : normal.string();
}

std::span<const DialogHelp> DialogHelpSections() {
    return kDialogSections;
}

std::string HelpSectionOfDialog(std::string_view title) {
    for (const DialogHelp& entry : kDialogSections)
        if (title == entry.title) return entry.section;
    return {};
}

} // namespace arbolix
