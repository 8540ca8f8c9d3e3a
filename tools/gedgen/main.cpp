// arbolix-gedgen: writes a synthetic GEDCOM 5.5.1 file (see generator.h).

#include "gedgen/generator.h"

#include <charconv>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iostream>
#include <string>
#include <string_view>

namespace {

constexpr const char* kUsage =
    "Usage : arbolix-gedgen [options]\n"
    "Écrit un fichier GEDCOM 5.5.1 synthétique et reproductible : les mêmes options donnent\n"
    "toujours les mêmes octets.\n"
    "\n"
    "Options :\n"
    "  --persons N          nombre de personnes (population, fondateur) ; 1000 par défaut\n"
    "  --seed S             graine du tirage (entier de 0 à 2^64-1) ; 1 par défaut\n"
    "  --shape FORME        population : population française sur plusieurs générations\n"
    "                                    (par défaut)\n"
    "                       founder    : descendance du fondateur @I1@ et conjoints\n"
    "                       pedigree   : ascendance complète de @I1@ (--persons est ignoré)\n"
    "  --generations G      pedigree : nombre de générations, @I1@ compris (1 à 24) ;\n"
    "                       20 par défaut, soit environ un million de personnes\n"
    "  --charset JEU        utf8 (par défaut, 1 CHAR UTF-8) ou ansi (Windows-1252, 1 CHAR ANSI)\n"
    "  --crlf               fins de ligne CR LF au lieu de LF\n"
    "  -o, --output FICHIER fichier à écrire ; la sortie standard par défaut\n"
    "  -h, --help           affiche cette aide\n"
    "\n"
    "Exemples :\n"
    "  arbolix-gedgen --persons 1000000 -o population.ged\n"
    "  arbolix-gedgen --shape pedigree --generations 12 --charset ansi --crlf > ascendance.ged\n";

int Fail(const std::string& message) {
    std::cerr << "arbolix-gedgen : " << message << "\n"
              << "Essayez « arbolix-gedgen --help » pour la liste des options.\n";
    return 2;
}

template <typename T> bool ParseNumber(std::string_view text, T& value) {
    if (text.empty()) return false;
    auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    return ec == std::errc() && ptr == text.data() + text.size();
}

} // namespace

int main(int argc, char** argv) {
    using namespace arbolix::gedgen;
    Options options;
    std::string output;

    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        if (arg == "-h" || arg == "--help") {
            std::cout << kUsage;
            return 0;
        }
        if (arg == "--crlf") {
            options.crlf = true;
            continue;
        }
        // Every other option takes a value, as "--opt value" or "--opt=value".
        std::string_view name = arg;
        std::string_view value;
        bool hasValue = false;
        if (const size_t eq = arg.find('=');
            arg.starts_with("--") && eq != std::string_view::npos) {
            name = arg.substr(0, eq);
            value = arg.substr(eq + 1);
            hasValue = true;
        }
        const bool known = name == "--persons" || name == "--seed" || name == "--shape" ||
                           name == "--generations" || name == "--charset" || name == "-o" ||
                           name == "--output";
        if (!known) return Fail("option inconnue « " + std::string(arg) + " »");
        if (!hasValue) {
            if (i + 1 >= argc)
                return Fail("l'option « " + std::string(name) + " » attend une valeur");
            value = argv[++i];
        }

        if (name == "--persons") {
            if (!ParseNumber(value, options.persons) || options.persons < 1 ||
                options.persons > 50'000'000)
                return Fail("nombre de personnes invalide « " + std::string(value) +
                            " » (de 1 à 50000000)");
        } else if (name == "--seed") {
            if (!ParseNumber(value, options.seed))
                return Fail("graine invalide « " + std::string(value) +
                            " » (entier de 0 à 18446744073709551615)");
        } else if (name == "--shape") {
            if (value == "population")
                options.shape = Shape::Population;
            else if (value == "founder")
                options.shape = Shape::Founder;
            else if (value == "pedigree")
                options.shape = Shape::Pedigree;
            else
                return Fail("forme inconnue « " + std::string(value) +
                            " » (population, founder ou pedigree)");
        } else if (name == "--generations") {
            if (!ParseNumber(value, options.generations) || options.generations < 1 ||
                options.generations > kMaxGenerations)
                return Fail("nombre de générations invalide « " + std::string(value) +
                            " » (de 1 à " + std::to_string(kMaxGenerations) + ")");
        } else if (name == "--charset") {
            if (value == "utf8" || value == "utf-8")
                options.charset = Charset::Utf8;
            else if (value == "ansi")
                options.charset = Charset::Ansi;
            else
                return Fail("jeu de caractères inconnu « " + std::string(value) +
                            " » (utf8 ou ansi)");
        } else {
            if (value.empty()) return Fail("nom de fichier vide");
            output = value;
        }
    }

    if (output.empty()) {
        std::ios::sync_with_stdio(false);
        WriteGedcom(options, std::cout);
        std::cout.flush();
        if (!std::cout) {
            std::cerr << "arbolix-gedgen : erreur d'écriture sur la sortie standard\n";
            return 1;
        }
        return 0;
    }
    std::ofstream file(output, std::ios::binary | std::ios::trunc);
    if (!file) {
        std::cerr << "arbolix-gedgen : impossible de créer « " << output
                  << " » : " << std::strerror(errno) << "\n";
        return 1;
    }
    WriteGedcom(options, file);
    file.close();
    if (!file) {
        std::cerr << "arbolix-gedgen : erreur d'écriture dans « " << output << " »\n";
        return 1;
    }
    return 0;
}
