#include "cli/cli_options.h"

#include <string_view>

namespace arbolix::cli {

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
           "  chart FICHIER.ged --root ID --mode desc|asc|both|parent --size LxH -o IMAGE\n"
           "        [--zoom N] [--scroll X,Y]\n"
           "                        dessine l'arbre dans une image de LxH pixels (1024x768 par\n"
           "                        défaut) ; --zoom agrandit d'une puissance de deux et --scroll\n"
           "                        se déplace par demi-largeurs et demi-hauteurs (0 à 2 × zoom − 2)\n"
           "  help                  affiche cette aide\n"
           "\n"
           "Options :\n"
           "  --profile FICHIER.ini  lit et écrit les réglages dans ce fichier INI plutôt que\n"
           "                         dans le profil de l'utilisateur (la variable\n"
           "                         d'environnement ARBOLIX_PROFILE fait de même)\n"
           "  --set CLÉ=VALEUR       remplace un réglage du profil pour cette exécution\n"
           "                         (par exemple --set setcousin=2 --set m_gene=5)\n"
           "  -h, --help             affiche cette aide\n"
           "\n"
           "Les textes sont écrits en UTF-8. Code de sortie : 0 en cas de succès, 1 si le\n"
           "fichier ne peut être lu, 2 si la ligne de commande est incorrecte.\n";
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
