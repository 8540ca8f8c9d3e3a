#include "cli/cli_options.h"

#include <optional>
#include <string_view>

#include "base/profile.h"
#include "base/settings.h"

namespace arbolix::cli {

std::string CheckOverrideValue(std::string_view key, std::string_view value) {
    const std::optional<SettingType> type = SettingKeyType(key);
    if (!type || *type == SettingType::String) return {};
    const std::optional<int32_t> number = ParseProfileInt(value);
    const bool isFlag = *type == SettingType::Bool;
    if (number && (!isFlag || *number == 0 || *number == 1)) return {};
    return "Valeur invalide pour " + std::string(key) + " : " + std::string(value) +
           (isFlag ? " (0 ou 1 attendu)" : " (nombre entier attendu)");
}

const char* UsageText() {
    return "Usage : arbolix-cli [OPTIONS] COMMANDE [ARGUMENTS]\n"
           "\n"
           "Générateur d'arbres généalogiques Arbolix, sans fenêtre.\n"
           "\n"
           "Commandes :\n"
           "  persons FICHIER.ged   liste les personnes du fichier, une par ligne, colonnes\n"
           "                        séparées par des tabulations, avec leurs nombres de\n"
           "                        descendants et d'ascendants comptés sur chaque ligne\n"
           "  tree FICHIER.ged --root ID --mode desc|asc|both|parent\n"
           "                        calcule l'arbre de la personne ID (@I12@, I12 ou numéro\n"
           "                        d'enregistrement) et écrit la table des descendants puis\n"
           "                        celle des ascendants, avec la position de chaque case (x, y),\n"
           "                        puis l'étendue du dessin\n"
           "  chart FICHIER.ged --root ID --mode desc|asc|both|parent -o FICHIER [--size LxH]\n"
           "        [--colors mono|gris|256|24] [--pages LxH --paper A4|A3|A0|letter]\n"
           "        [--overlap MM] [--cut-marks] [--zoom N] [--scroll X,Y]\n"
           "                        dessine l'arbre dans le fichier que nomme son extension :\n"
           "                        image .bmp .jpg .png .tif de LxH pixels (1024x768 par défaut,\n"
           "                        hauteur 0 : les proportions de l'arbre) dans les couleurs de\n"
           "                        --colors (24 bits par défaut), dessin .svg de LxH pixels, ou\n"
           "                        affiche .pdf de --pages feuilles (1 à 8 dans chaque sens) au\n"
           "                        format --paper ; --overlap répète MM millimètres (0 à 20)\n"
           "                        de l'arbre sur les feuilles voisines, à coller l'une sous\n"
           "                        l'autre, et --cut-marks met autour de chaque feuille des\n"
           "                        repères de coupe et son nom (B3 : colonne B, rangée 3) ;\n"
           "                        --zoom agrandit d'une puissance de deux et\n"
           "                        --scroll se déplace par demi-largeurs et demi-hauteurs\n"
           "                        (0 à 2 × zoom − 2)\n"
           "  vml FICHIER.ged --root ID --mode desc|asc|both|parent -o PAGE.htm\n"
           "      [--size LxH]      écrit l'arbre dans une page HTML dessinée en VML\n"
           "                        (Windows-1252), de 640x480 (par défaut), 800x600, 1024x768,\n"
           "                        1280x1024, 2048x1536, 4096x3072 ou 8192x6144 pixels ;\n"
           "                        refusé pour une vue agrandie (--zoom autre que 1, code 2)\n"
           "  card FICHIER.ged --id ID\n"
           "                        écrit la fiche de la personne ID (@I12@, I12 ou numéro\n"
           "                        d'enregistrement) telle que la montre la fenêtre : une ligne\n"
           "                        « libellé<TAB>valeur » par champ, page après page\n"
           "  site FICHIER.ged --root ID --mode desc|asc|both|parent -o DOSSIER/index.htm\n"
           "       [--title T] [--type bmp|jpg|png] [--colors mono|gris|256|24]\n"
           "       [--size 320x240|640x480|800x600|1024x768|1280x1024|1600x1200]\n"
           "                        écrit le site Web de l'arbre dans le dossier (existant) de\n"
           "                        la page principale : une image et une page par personne\n"
           "                        atteinte depuis l'arbre, et la page principale qui les\n"
           "                        liste par nom ; type, couleurs et taille non donnés : ceux\n"
           "                        des réglages du site ; une ligne de progression par page\n"
           "                        sur la sortie d'erreur ; code 1 si le parcours s'arrête sur\n"
           "                        une erreur (la page principale liste alors les pages faites)\n"
           "  help                  affiche cette aide\n"
           "\n"
           "Options :\n"
           "  --profile FICHIER.ini  lit et écrit les réglages dans ce fichier INI plutôt que\n"
           "                         dans le profil de l'utilisateur (la variable\n"
           "                         d'environnement ARBOLIX_PROFILE fait de même)\n"
           "  --set CLÉ=VALEUR       remplace un réglage du profil pour cette exécution\n"
           "                         (par exemple --set setcousin=2 --set m_gene=5) ; la valeur\n"
           "                         est 0 ou 1 pour un choix, un nombre entier décimal pour un\n"
           "                         nombre, un octet ou une couleur (0x00BBGGRR en décimal)\n"
           "  -h, --help             affiche cette aide\n"
           "\n"
           "Les textes sont écrits en UTF-8 ; dans les colonnes de persons, tree et card,\n"
           "tabulation, fin de ligne, retour chariot, autre caractère de contrôle et barre\n"
           "oblique inverse sont écrits \\t, \\n, \\r, \\xNN et \\\\.\n"
           "Code de sortie : 0 en cas de succès ; 1 si le fichier ne peut être lu ou si le\n"
           "calcul de l'arbre est refusé (aucun fichier n'est alors écrit) ; 2 si la ligne de\n"
           "commande est incorrecte (une valeur de --set d'un autre type que le réglage,\n"
           "--zoom pour vml).\n";
}

bool ParseCliOptions(int argc, const char* const* argv, CliOptions& options, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view word = argv[i];
        auto value = [&](std::string_view name) -> const char* {
            if (i + 1 >= argc) {
                error = "L'option " + std::string(name) + " attend une valeur.";
                return nullptr;
            }
            return argv[++i];
        };
        if (word == "-h" || word == "--help") {
            options.help = true;
        } else if (word == "--profile") {
            const char* path = value(word);
            if (path == nullptr) return false;
            options.profilePath = path;
        } else if (word == "--set") {
            const char* pair = value(word);
            if (pair == nullptr) return false;
            const std::string_view text = pair;
            const size_t equal = text.find('=');
            if (equal == std::string_view::npos || equal == 0) {
                error = "--set attend CLÉ=VALEUR : " + std::string(text);
                return false;
            }
            options.overrides.emplace_back(std::string(text.substr(0, equal)),
                                           std::string(text.substr(equal + 1)));
        } else if (options.command.empty() && !word.starts_with("-")) {
            options.command = word;
        } else if (!options.command.empty()) {
            options.arguments.emplace_back(word);
        } else {
            error = "Option inconnue : " + std::string(word);
            return false;
        }
    }
    if (options.command == "help") options.help = true;
    if (options.command.empty() && !options.help) {
        error = "Aucune commande donnée.";
        return false;
    }
    return true;
}

} // namespace arbolix::cli
