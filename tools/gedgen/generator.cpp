#include "gedgen/generator.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cstdlib>
#include <map>
#include <ostream>
#include <string_view>
#include <vector>

namespace arbolix::gedgen {
namespace {

// ---------------------------------------------------------------------------------------------
// Random numbers: splitmix64 only, integer arithmetic only, so that the output never depends on
// the standard library or the platform.

constexpr uint64_t kGolden = 0x9E3779B97F4A7C15ull;

constexpr uint64_t Mix(uint64_t z) {
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
}

// Streams of draws, keyed so that a record can draw its details without depending on the order
// in which the other records were built.
enum Stream : uint64_t {
    kStructure = 1,
    kPerson = 2,
    kFamily = 3,
    kSurname = 4,
    kBirthYear = 5,
    kTown = 6,
    kCollapse = 7,
    kRoot = 8,
};

class Rng {
public:
    Rng(uint64_t seed, uint64_t stream, uint64_t index)
        : state_(Mix(seed ^ Mix(stream * kGolden + Mix(index + 0x5851F42D4C957F2Dull)))) {}

    uint64_t Next() {
        state_ += kGolden;
        return Mix(state_);
    }
    // Uniform in [0, n), n > 0.
    uint32_t Below(uint32_t n) { return static_cast<uint32_t>(((Next() >> 32) * n) >> 32); }
    int Below(int n) { return n <= 0 ? 0 : static_cast<int>(Below(static_cast<uint32_t>(n))); }
    // Uniform in [lo, hi].
    int Range(int lo, int hi) { return lo + Below(hi - lo + 1); }
    bool Percent(int p) { return Below(100) < p; }
    // Index drawn with the given integer weights.
    template <size_t N> int Weighted(const std::array<int, N>& weights) {
        int total = 0;
        for (int w : weights) total += w;
        int r = Below(total);
        for (size_t i = 0; i < N; ++i) {
            if (r < weights[i]) return static_cast<int>(i);
            r -= weights[i];
        }
        return static_cast<int>(N) - 1;
    }
    // Index in [0, n) favouring the first entries (common surnames first in the tables).
    int Skewed(int n) { return (Below(n) * Below(n + 1)) / (n > 0 ? n : 1); }

private:
    uint64_t state_;
};

// ---------------------------------------------------------------------------------------------
// Text tables, written in UTF-8 here and converted once to the output charset.

char ToWindows1252(uint32_t cp) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) return static_cast<char>(cp);
    switch (cp) {
    case 0x20AC:
        return '\x80';
    case 0x2026:
        return '\x85';
    case 0x0160:
        return '\x8A';
    case 0x0152:
        return '\x8C';
    case 0x017D:
        return '\x8E';
    case 0x2018:
        return '\x91';
    case 0x2019:
        return '\x92';
    case 0x201C:
        return '\x93';
    case 0x201D:
        return '\x94';
    case 0x2013:
        return '\x96';
    case 0x2014:
        return '\x97';
    case 0x0161:
        return '\x9A';
    case 0x0153:
        return '\x9C';
    case 0x017E:
        return '\x9E';
    case 0x0178:
        return '\x9F';
    default:
        return '?';
    }
}

std::string Encode(std::string_view utf8, Charset charset) {
    if (charset == Charset::Utf8) return std::string(utf8);
    std::string out;
    out.reserve(utf8.size());
    for (size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        uint32_t cp = lead;
        size_t len = 1;
        if (lead >= 0xF0) {
            cp = lead & 0x07u;
            len = 4;
        } else if (lead >= 0xE0) {
            cp = lead & 0x0Fu;
            len = 3;
        } else if (lead >= 0xC0) {
            cp = lead & 0x1Fu;
            len = 2;
        }
        for (size_t k = 1; k < len && i + k < utf8.size(); ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3Fu);
        i += len;
        out.push_back(ToWindows1252(cp));
    }
    return out;
}

// Common surnames first: Rng::Skewed favours them.
constexpr const char* kSurnames[] = {
    "Martin",   "Bernard",   "Dubois",   "Thomas",      "Robert",    "Richard",    "Petit",
    "Durand",   "Leroy",     "Moreau",   "Simon",       "Laurent",   "Lefèvre",    "Michel",
    "David",    "Bertrand",  "Roux",     "Vincent",     "Fournier",  "Morel",      "Girard",
    "André",    "Mercier",   "Dupont",   "Lambert",     "Bonnet",    "François",   "Legrand",
    "Garnier",  "Faure",     "Rousseau", "Blanc",       "Guérin",    "Henry",      "Roussel",
    "Nicolas",  "Perrin",    "Morin",    "Mathieu",     "Clément",   "Gauthier",   "Dumont",
    "Fontaine", "Chevalier", "Robin",    "Masson",      "Gérard",    "Boyer",      "Denis",
    "Lemaire",  "Duval",     "Joly",     "Roger",       "Roche",     "Roy",        "Noël",
    "Meyer",    "Lucas",     "Meunier",  "Jean",        "Marchand",  "Dufour",     "Blanchard",
    "Barbier",  "Brun",      "Dumas",    "Brunet",      "Schmitt",   "Leroux",     "Colin",
    "Renard",   "Arnaud",    "Rolland",  "Caron",       "Aubert",    "Giraud",     "Leclerc",
    "Vidal",    "Bourgeois", "Renaud",   "Lemoine",     "Picard",    "Gaillard",   "Philippe",
    "Lacroix",  "Fabre",     "Dupuis",   "Olivier",     "Hubert",    "Louis",      "Charles",
    "Guillot",  "Rivière",   "Le Gall",  "Guillaume",   "Adam",      "Rey",        "Moulin",
    "Berger",   "Lecomte",   "Ménard",   "Fleury",      "Deschamps", "Carpentier", "Julien",
    "Benoît",   "Maillard",  "Marchal",  "Aubry",       "Vasseur",   "Renault",    "Jacquet",
    "Collet",   "Prévost",   "Poirier",  "Charpentier", "Royer",     "Huet",       "Baron",
    "Dupuy",    "Pons",      "Carré",    "Breton",      "Rémy",      "Lemaître",   "Bérard",
    "Lebrun",   "Hébert",    "Lévêque",  "Thébault",    "Bénard",    "Séguin",     "Frémont",
    "Lelièvre", "Février",   "Géraud",   "Chrétien",    "Lesné",     "Pâris",      "Bréhier",
    "Thévenin", "Béranger",  "Crépin",   "Désiré",      "Ferré",     "Gaudré",     "Hérault",
    "Jégou",    "Léger",     "Mézière",  "Pélissier",   "Quéré",     "Rétif",      "Sénéchal",
    "Tréguier", "Vézien",    "Bailly",   "Cordier",     "Delorme",   "Étienne",    "Godard",
    "Hamon",    "Jouan",     "Labbé",    "Marteau",     "Navarre",   "Pasquier",   "Ragot",
    "Tessier",  "Vallée",    "Besnard",  "Cochard",     "Dorléans",  "Foucher",    "Gosselin",
    "Houdré",   "Lecœur",    "Maréchal", "Œillet"};

// Given names by period: before 1800, 1800-1920, after 1920.
constexpr const char* kMaleOld[] = {
    "Jean",      "Pierre",  "Jacques", "François",   "Nicolas", "Antoine",   "Claude",
    "Guillaume", "Louis",   "Étienne", "Joseph",     "Michel",  "Charles",   "Denis",
    "Mathurin",  "Julien",  "Mathieu", "Simon",      "Gilles",  "Noël",      "Thomas",
    "Laurent",   "Martin",  "Germain", "Honoré",     "Gabriel", "Philippe",  "Sébastien",
    "Benoît",    "Vincent", "Blaise",  "Barthélemy", "Hilaire", "Toussaint", "René"};
constexpr const char* kMaleClassic[] = {
    "Jean",      "Pierre",   "Louis",     "Joseph",   "François", "Jules",     "Auguste",
    "Eugène",    "Émile",    "Alphonse",  "Henri",    "Charles",  "Victor",    "Léon",
    "Alexandre", "Théodore", "Hippolyte", "Désiré",   "Célestin", "Ernest",    "Albert",
    "Paul",      "Lucien",   "Georges",   "Marcel",   "Gaston",   "Camille",   "Edmond",
    "Félix",     "Achille",  "Adolphe",   "Aimé",     "Anatole",  "Ferdinand", "Léopold",
    "Arsène",    "Séraphin", "Théophile", "Benjamin", "Gustave",  "Frédéric",  "Honoré"};
constexpr const char* kMaleModern[] = {
    "André",    "René",      "Roger",     "Robert",    "Raymond",     "Maurice", "Marcel",
    "Jacques",  "Michel",    "Bernard",   "Claude",    "Jean-Claude", "Alain",   "Daniel",
    "Gérard",   "Christian", "Patrick",   "Philippe",  "Thierry",     "Pascal",  "Éric",
    "Olivier",  "Frédéric",  "Sébastien", "Stéphane",  "Laurent",     "Nicolas", "Julien",
    "Jérôme",   "Guillaume", "Mathieu",   "Thomas",    "Hervé",       "Didier",  "Jean-Pierre",
    "Jean-Luc", "Yves",      "Gilles",    "Dominique", "Rémi",        "Benoît"};
constexpr const char* kFemaleOld[] = {
    "Marie",      "Jeanne",  "Anne",      "Marguerite", "Catherine",  "Françoise",
    "Madeleine",  "Louise",  "Élisabeth", "Geneviève",  "Marthe",     "Perrine",
    "Barbe",      "Nicole",  "Claudine",  "Agnès",      "Jacqueline", "Antoinette",
    "Gabrielle",  "Thérèse", "Michelle",  "Charlotte",  "Edmée",      "Reine",
    "Étiennette", "Suzanne", "Cécile",    "Renée",      "Mathurine",  "Julienne"};
constexpr const char* kFemaleClassic[] = {
    "Marie",     "Louise",    "Joséphine",  "Julie",    "Rose",     "Victoire", "Adélaïde",
    "Angélique", "Céline",    "Eugénie",    "Hélène",   "Léonie",   "Mathilde", "Pauline",
    "Clémence",  "Berthe",    "Augustine",  "Virginie", "Félicité", "Honorine", "Désirée",
    "Zoé",       "Mélanie",   "Alphonsine", "Héloïse",  "Aurélie",  "Émilie",   "Clotilde",
    "Blanche",   "Marthe",    "Jeanne",     "Germaine", "Lucie",    "Irma",     "Léontine",
    "Philomène", "Valentine", "Anaïs"};
constexpr const char* kFemaleModern[] = {
    "Germaine",   "Suzanne",  "Yvonne",    "Simone",  "Denise",   "Jacqueline", "Monique",
    "Colette",    "Odette",   "Paulette",  "Ginette", "Josette",  "Nicole",     "Françoise",
    "Christiane", "Danielle", "Michèle",   "Martine", "Sylvie",   "Isabelle",   "Nathalie",
    "Catherine",  "Brigitte", "Véronique", "Valérie", "Sandrine", "Céline",     "Stéphanie",
    "Sophie",     "Aurélie",  "Émilie",    "Hélène",  "Anne",     "Claire",     "Élodie",
    "Mélanie",    "Chloé",    "Léa"};

// "Town, postal code, département, région, country", grouped by region (a run of equal fourth
// fields is one region: a new spouse or a new household is usually found in the same region).
constexpr const char* kPlaces[] = {
    // Normandie
    "Évreux, 27000, Eure, Normandie, France", "Vernon, 27200, Eure, Normandie, France",
    "Bernay, 27300, Eure, Normandie, France", "Pont-Audemer, 27500, Eure, Normandie, France",
    "Rouen, 76000, Seine-Maritime, Normandie, France",
    "Dieppe, 76200, Seine-Maritime, Normandie, France",
    "Fécamp, 76400, Seine-Maritime, Normandie, France",
    "Yvetot, 76190, Seine-Maritime, Normandie, France", "Caen, 14000, Calvados, Normandie, France",
    "Bayeux, 14400, Calvados, Normandie, France", "Lisieux, 14100, Calvados, Normandie, France",
    "Falaise, 14700, Calvados, Normandie, France", "Honfleur, 14600, Calvados, Normandie, France",
    "Sées, 61500, Orne, Normandie, France", "Alençon, 61000, Orne, Normandie, France",
    "Argentan, 61200, Orne, Normandie, France", "Saint-Lô, 50000, Manche, Normandie, France",
    "Coutances, 50200, Manche, Normandie, France", "Valognes, 50700, Manche, Normandie, France",
    // Centre-Val de Loire
    "Châteauroux, 36000, Indre, Centre-Val de Loire, France",
    "Issoudun, 36100, Indre, Centre-Val de Loire, France",
    "Le Blanc, 36300, Indre, Centre-Val de Loire, France",
    "Orléans, 45000, Loiret, Centre-Val de Loire, France",
    "Montargis, 45200, Loiret, Centre-Val de Loire, France",
    "Tours, 37000, Indre-et-Loire, Centre-Val de Loire, France",
    "Amboise, 37400, Indre-et-Loire, Centre-Val de Loire, France",
    "Loches, 37600, Indre-et-Loire, Centre-Val de Loire, France",
    "Blois, 41000, Loir-et-Cher, Centre-Val de Loire, France",
    "Romorantin-Lanthenay, 41200, Loir-et-Cher, Centre-Val de Loire, France",
    "Chartres, 28000, Eure-et-Loir, Centre-Val de Loire, France",
    "Châteaudun, 28200, Eure-et-Loir, Centre-Val de Loire, France",
    "Dreux, 28100, Eure-et-Loir, Centre-Val de Loire, France",
    "Bourges, 18000, Cher, Centre-Val de Loire, France",
    "Vierzon, 18100, Cher, Centre-Val de Loire, France",
    // Île-de-France
    "Paris, 75000, Paris, Île-de-France, France",
    "Versailles, 78000, Yvelines, Île-de-France, France",
    "Étampes, 91150, Essonne, Île-de-France, France",
    "Meaux, 77100, Seine-et-Marne, Île-de-France, France",
    "Provins, 77160, Seine-et-Marne, Île-de-France, France",
    "Fontainebleau, 77300, Seine-et-Marne, Île-de-France, France",
    "Pontoise, 95000, Val-d'Oise, Île-de-France, France",
    "Saint-Denis, 93200, Seine-Saint-Denis, Île-de-France, France",
    // Hauts-de-France
    "Amiens, 80000, Somme, Hauts-de-France, France",
    "Abbeville, 80100, Somme, Hauts-de-France, France",
    "Péronne, 80200, Somme, Hauts-de-France, France", "Lille, 59000, Nord, Hauts-de-France, France",
    "Cambrai, 59400, Nord, Hauts-de-France, France",
    "Beauvais, 60000, Oise, Hauts-de-France, France",
    "Compiègne, 60200, Oise, Hauts-de-France, France",
    "Saint-Quentin, 02100, Aisne, Hauts-de-France, France",
    "Laon, 02000, Aisne, Hauts-de-France, France",
    "Arras, 62000, Pas-de-Calais, Hauts-de-France, France",
    // Bretagne
    "Rennes, 35000, Ille-et-Vilaine, Bretagne, France",
    "Fougères, 35300, Ille-et-Vilaine, Bretagne, France",
    "Quimper, 29000, Finistère, Bretagne, France", "Brest, 29200, Finistère, Bretagne, France",
    "Vannes, 56000, Morbihan, Bretagne, France", "Ploërmel, 56800, Morbihan, Bretagne, France",
    "Saint-Brieuc, 22000, Côtes-d'Armor, Bretagne, France",
    "Lannion, 22300, Côtes-d'Armor, Bretagne, France",
    // Pays de la Loire
    "Nantes, 44000, Loire-Atlantique, Pays de la Loire, France",
    "Angers, 49000, Maine-et-Loire, Pays de la Loire, France",
    "Cholet, 49300, Maine-et-Loire, Pays de la Loire, France",
    "Saumur, 49400, Maine-et-Loire, Pays de la Loire, France",
    "Le Mans, 72000, Sarthe, Pays de la Loire, France",
    "La Flèche, 72200, Sarthe, Pays de la Loire, France",
    "Laval, 53000, Mayenne, Pays de la Loire, France",
    "Château-Gontier, 53200, Mayenne, Pays de la Loire, France",
    "La Roche-sur-Yon, 85000, Vendée, Pays de la Loire, France",
    "Luçon, 85400, Vendée, Pays de la Loire, France",
    // Nouvelle-Aquitaine
    "Poitiers, 86000, Vienne, Nouvelle-Aquitaine, France",
    "Châtellerault, 86100, Vienne, Nouvelle-Aquitaine, France",
    "Limoges, 87000, Haute-Vienne, Nouvelle-Aquitaine, France",
    "Angoulême, 16000, Charente, Nouvelle-Aquitaine, France",
    "Périgueux, 24000, Dordogne, Nouvelle-Aquitaine, France",
    "Bergerac, 24100, Dordogne, Nouvelle-Aquitaine, France",
    "Bordeaux, 33000, Gironde, Nouvelle-Aquitaine, France",
    "La Rochelle, 17000, Charente-Maritime, Nouvelle-Aquitaine, France",
    "Saintes, 17100, Charente-Maritime, Nouvelle-Aquitaine, France",
    "Niort, 79000, Deux-Sèvres, Nouvelle-Aquitaine, France",
    "Guéret, 23000, Creuse, Nouvelle-Aquitaine, France",
    "Tulle, 19000, Corrèze, Nouvelle-Aquitaine, France",
    // Bourgogne-Franche-Comté
    "Dijon, 21000, Côte-d'Or, Bourgogne-Franche-Comté, France",
    "Beaune, 21200, Côte-d'Or, Bourgogne-Franche-Comté, France",
    "Besançon, 25000, Doubs, Bourgogne-Franche-Comté, France",
    "Mâcon, 71000, Saône-et-Loire, Bourgogne-Franche-Comté, France",
    "Autun, 71400, Saône-et-Loire, Bourgogne-Franche-Comté, France",
    "Nevers, 58000, Nièvre, Bourgogne-Franche-Comté, France",
    "Auxerre, 89000, Yonne, Bourgogne-Franche-Comté, France",
    "Dole, 39100, Jura, Bourgogne-Franche-Comté, France",
    "Lons-le-Saunier, 39000, Jura, Bourgogne-Franche-Comté, France",
    "Vesoul, 70000, Haute-Saône, Bourgogne-Franche-Comté, France",
    // Grand Est
    "Reims, 51100, Marne, Grand Est, France",
    "Châlons-en-Champagne, 51000, Marne, Grand Est, France",
    "Nancy, 54000, Meurthe-et-Moselle, Grand Est, France",
    "Metz, 57000, Moselle, Grand Est, France", "Strasbourg, 67000, Bas-Rhin, Grand Est, France",
    "Sélestat, 67600, Bas-Rhin, Grand Est, France", "Colmar, 68000, Haut-Rhin, Grand Est, France",
    "Troyes, 10000, Aube, Grand Est, France", "Épinal, 88000, Vosges, Grand Est, France",
    "Bar-le-Duc, 55000, Meuse, Grand Est, France", "Sedan, 08200, Ardennes, Grand Est, France",
    "Langres, 52200, Haute-Marne, Grand Est, France",
    // Auvergne-Rhône-Alpes
    "Lyon, 69000, Rhône, Auvergne-Rhône-Alpes, France",
    "Clermont-Ferrand, 63000, Puy-de-Dôme, Auvergne-Rhône-Alpes, France",
    "Thiers, 63300, Puy-de-Dôme, Auvergne-Rhône-Alpes, France",
    "Grenoble, 38000, Isère, Auvergne-Rhône-Alpes, France",
    "Saint-Étienne, 42000, Loire, Auvergne-Rhône-Alpes, France",
    "Annecy, 74000, Haute-Savoie, Auvergne-Rhône-Alpes, France",
    "Chambéry, 73000, Savoie, Auvergne-Rhône-Alpes, France",
    "Valence, 26000, Drôme, Auvergne-Rhône-Alpes, France",
    "Aurillac, 15000, Cantal, Auvergne-Rhône-Alpes, France",
    "Le Puy-en-Velay, 43000, Haute-Loire, Auvergne-Rhône-Alpes, France",
    "Moulins, 03000, Allier, Auvergne-Rhône-Alpes, France",
    "Montluçon, 03100, Allier, Auvergne-Rhône-Alpes, France",
    "Bourg-en-Bresse, 01000, Ain, Auvergne-Rhône-Alpes, France",
    "Privas, 07000, Ardèche, Auvergne-Rhône-Alpes, France",
    // Occitanie
    "Toulouse, 31000, Haute-Garonne, Occitanie, France",
    "Montpellier, 34000, Hérault, Occitanie, France", "Béziers, 34500, Hérault, Occitanie, France",
    "Nîmes, 30000, Gard, Occitanie, France", "Carcassonne, 11000, Aude, Occitanie, France",
    "Albi, 81000, Tarn, Occitanie, France", "Rodez, 12000, Aveyron, Occitanie, France",
    "Millau, 12100, Aveyron, Occitanie, France", "Cahors, 46000, Lot, Occitanie, France",
    "Perpignan, 66000, Pyrénées-Orientales, Occitanie, France",
    "Tarbes, 65000, Hautes-Pyrénées, Occitanie, France", "Auch, 32000, Gers, Occitanie, France",
    "Mende, 48000, Lozère, Occitanie, France", "Foix, 09000, Ariège, Occitanie, France",
    "Montauban, 82000, Tarn-et-Garonne, Occitanie, France",
    // Provence-Alpes-Côte d'Azur
    "Marseille, 13000, Bouches-du-Rhône, Provence-Alpes-Côte d'Azur, France",
    "Aix-en-Provence, 13100, Bouches-du-Rhône, Provence-Alpes-Côte d'Azur, France",
    "Arles, 13200, Bouches-du-Rhône, Provence-Alpes-Côte d'Azur, France",
    "Avignon, 84000, Vaucluse, Provence-Alpes-Côte d'Azur, France",
    "Nice, 06000, Alpes-Maritimes, Provence-Alpes-Côte d'Azur, France",
    "Grasse, 06130, Alpes-Maritimes, Provence-Alpes-Côte d'Azur, France",
    "Toulon, 83000, Var, Provence-Alpes-Côte d'Azur, France",
    "Fréjus, 83600, Var, Provence-Alpes-Côte d'Azur, France",
    "Digne-les-Bains, 04000, Alpes-de-Haute-Provence, Provence-Alpes-Côte d'Azur, France",
    "Gap, 05000, Hautes-Alpes, Provence-Alpes-Côte d'Azur, France",
    // Corse
    "Ajaccio, 20000, Corse-du-Sud, Corse, France", "Bastia, 20200, Haute-Corse, Corse, France",
    // Abroad: after all the French places.
    "Liège, 4000, Liège, Wallonie, Belgique", "Namur, 5000, Namur, Wallonie, Belgique",
    "Mons, 7000, Hainaut, Wallonie, Belgique", "Tournai, 7500, Hainaut, Wallonie, Belgique",
    "Genève, 1200, Genève, Région lémanique, Suisse",
    "Lausanne, 1000, Vaud, Région lémanique, Suisse",
    "Sion, 1950, Valais, Région lémanique, Suisse",
    "Neuchâtel, 2000, Neuchâtel, Espace Mittelland, Suisse",
    "Fribourg, 1700, Fribourg, Espace Mittelland, Suisse", "Turin, 10100, Turin, Piémont, Italie",
    "Coni, 12100, Coni, Piémont, Italie", "Aoste, 11100, Aoste, Vallée d'Aoste, Italie",
    "Forlì, 47121, Forlì-Cesena, Émilie-Romagne, Italie",
    "Barcelone, 08001, Barcelone, Catalogne, Espagne", "Gérone, 17001, Gérone, Catalogne, Espagne",
    "Saint-Sébastien, 20001, Guipuscoa, Pays basque, Espagne",
    "Québec, G1R, Capitale-Nationale, Québec, Canada",
    "Lévis, G6V, Chaudière-Appalaches, Québec, Canada",
    "Trois-Rivières, G9A, Mauricie, Québec, Canada", "Montréal, H2Y, Montréal, Québec, Canada",
    "Sarrebruck, 66111, Sarrebruck, Sarre, Allemagne",
    "Trèves, 54290, Trèves, Rhénanie-Palatinat, Allemagne",
    "Mayence, 55116, Mayence, Rhénanie-Palatinat, Allemagne",
    "Fribourg-en-Brisgau, 79098, Brisgau-Haute-Forêt-Noire, Bade-Wurtemberg, Allemagne"};

constexpr const char* kOccupationsMale[] = {
    "laboureur",       "cultivateur",       "journalier",
    "tisserand",       "meunier",           "maréchal-ferrant",
    "charpentier",     "menuisier",         "boulanger",
    "cordonnier",      "tailleur d'habits", "marchand",
    "vigneron",        "charron",           "tonnelier",
    "maçon",           "notaire",           "instituteur",
    "domestique",      "cheminot",          "employé des postes",
    "ouvrier d'usine", "mécanicien",        "ingénieur",
    "commerçant"};
constexpr const char* kOccupationsFemale[] = {
    "ménagère",      "cultivatrice",     "journalière", "fileuse",    "couturière",
    "lingère",       "domestique",       "servante",    "sage-femme", "institutrice",
    "blanchisseuse", "ouvrière d'usine", "commerçante", "infirmière", "employée de bureau"};
constexpr const char* kNotes[] = {"Acte de baptême retrouvé dans les registres paroissiaux.",
                                  "Témoin au mariage de son frère.",
                                  "Date de naissance déduite de l'âge déclaré au décès.",
                                  "Cité dans un acte de vente passé devant notaire.",
                                  "Renseignements transmis par une cousine éloignée.",
                                  "Registre abîmé : lecture du prénom incertaine.",
                                  "Parti s'installer à la ville après son service.",
                                  "A signé son acte de mariage.",
                                  "Ne savait pas signer."};
constexpr const char* kMonths[] = {"JAN", "FEB", "MAR", "APR", "MAY", "JUN",
                                   "JUL", "AUG", "SEP", "OCT", "NOV", "DEC"};
constexpr int kDaysInMonth[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};

// Year of the file: later deaths are not written (the person is living).
constexpr int kPresentYear = 2024;

template <size_t N>
std::vector<std::string> EncodeAll(const char* const (&items)[N], Charset charset) {
    std::vector<std::string> out;
    out.reserve(N);
    for (const char* item : items) out.push_back(Encode(item, charset));
    return out;
}

struct Tables {
    explicit Tables(Charset charset)
        : surnames(EncodeAll(kSurnames, charset)), given{EncodeAll(kMaleOld, charset),
                                                         EncodeAll(kMaleClassic, charset),
                                                         EncodeAll(kMaleModern, charset),
                                                         EncodeAll(kFemaleOld, charset),
                                                         EncodeAll(kFemaleClassic, charset),
                                                         EncodeAll(kFemaleModern, charset)},
          places(EncodeAll(kPlaces, charset)), occupations{EncodeAll(kOccupationsMale, charset),
                                                           EncodeAll(kOccupationsFemale, charset)},
          notes(EncodeAll(kNotes, charset)), deathInWar(Encode("Mort pour la France.", charset)) {
        // Region runs, from the fourth field of each place.
        std::string_view previous;
        int first = 0;
        regionOf.resize(std::size(kPlaces));
        for (int i = 0; i < static_cast<int>(std::size(kPlaces)); ++i) {
            std::string_view place = kPlaces[i];
            size_t start = 0;
            for (int commas = 0; commas < 3; ++commas) start = place.find(',', start) + 1;
            std::string_view region = place.substr(start, place.find(',', start) - start);
            if (i == 0 || region != previous) {
                if (i > 0) regions.push_back({first, i});
                first = i;
                previous = region;
            }
            regionOf[i] = static_cast<int>(regions.size());
        }
        regions.push_back({first, static_cast<int>(std::size(kPlaces))});
        firstForeign = 0;
        while (std::string_view(kPlaces[firstForeign]).ends_with(", France")) ++firstForeign;
    }

    std::vector<std::string> surnames;
    std::array<std::vector<std::string>, 6> given;
    std::vector<std::string> places;
    std::array<std::vector<std::string>, 2> occupations;
    std::vector<std::string> notes;
    std::string deathInWar;
    std::vector<int> regionOf;
    std::vector<std::pair<int, int>> regions; // [first, end) of each region in `places`
    int firstForeign;                         // French places come first
};

// A town anywhere: mostly in France.
int AnyTown(Rng& rng, const Tables& tables) {
    if (rng.Percent(93)) return rng.Below(tables.firstForeign);
    return tables.firstForeign +
           rng.Below(static_cast<int>(tables.places.size()) - tables.firstForeign);
}

// A town close to `town`: the same one, another of its region, or now and then anywhere.
int NearTown(Rng& rng, const Tables& tables, int town) {
    const int r = rng.Below(100);
    if (r < 55) return town;
    if (r < 90) {
        auto [first, end] = tables.regions[tables.regionOf[town]];
        return first + rng.Below(end - first);
    }
    return AnyTown(rng, tables);
}

// ---------------------------------------------------------------------------------------------
// Output: a buffer handed to the stream every megabyte, or the whole string.

class Out {
public:
    Out(std::string& buffer, std::ostream* stream, bool crlf)
        : buf_(buffer), stream_(stream), crlf_(crlf) {}

    void Put(std::string_view text) { buf_.append(text); }
    void Put(char c) { buf_.push_back(c); }
    void Int(int64_t value) {
        char digits[24];
        auto result = std::to_chars(digits, digits + sizeof digits, value);
        buf_.append(digits, result.ptr);
    }
    void Xref(char kind, int64_t number) {
        buf_.push_back('@');
        buf_.push_back(kind);
        Int(number);
        buf_.push_back('@');
    }
    void Eol() {
        if (crlf_) buf_.push_back('\r');
        buf_.push_back('\n');
        if (stream_ && buf_.size() >= (1u << 20)) Flush();
    }
    void Line(std::string_view head, std::string_view value) {
        Put(head);
        Put(value);
        Eol();
    }
    void Pointer(std::string_view head, char kind, int64_t number) {
        Put(head);
        Xref(kind, number);
        Eol();
    }
    void Flush() {
        if (!stream_) return;
        stream_->write(buf_.data(), static_cast<std::streamsize>(buf_.size()));
        buf_.clear();
    }

private:
    std::string& buf_;
    std::ostream* stream_;
    bool crlf_;
};

void WriteHeader(Out& out, const Options& opt) {
    out.Line("0 HEAD", "");
    out.Line("1 SOUR ", "ARBOLIX_GEDGEN");
    out.Line("2 VERS ", "1.0");
    out.Line("2 NAME ", "Arbolix gedgen");
    out.Line("1 DEST ", "ANY");
    out.Line("1 DATE ", "1 JAN 2024");
    out.Pointer("1 SUBM ", 'U', 1);
    out.Line("1 GEDC", "");
    out.Line("2 VERS ", "5.5.1");
    out.Line("2 FORM ", "LINEAGE-LINKED");
    out.Line("1 CHAR ", opt.charset == Charset::Ansi ? "ANSI" : "UTF-8");
    out.Line("1 LANG ", "French");
    out.Line("0 @U1@ SUBM", "");
    out.Line("1 NAME ", "Arbolix");
}

// ---------------------------------------------------------------------------------------------
// Records. The structure (who is whose child) is decided first; the details of each record
// (names, exact dates, places, occupations) are drawn when it is written, from a stream keyed
// by its number.

struct PersonView {
    int64_t id = 0;
    bool female = false;
    int surname = 0;
    int birthYear = 0;
    int deathYear = 0;    // after kPresentYear: living, no DEAT
    int parentsTown = -1; // town of the FAMC family, -1 without parents
    int homeTown = -1;    // town of the last FAMS family, -1 when never married
    int64_t famc = 0;     // 0: none
    std::array<int64_t, 4> fams{};
    int famsCount = 0;
};

struct FamilyView {
    int64_t id = 0;
    int64_t husband = 0;
    int64_t wife = 0;
    std::array<int64_t, 8> children{};
    int childCount = 0;
    int marriageYear = 0;
    int town = 0;
};

void WriteYear(Out& out, int year) {
    out.Int(year);
}

// A date of `year`, mostly exact ("12 MAR 1850"), sometimes approximate. `month`/`day` are the
// exact values, 1-based.
void WriteDate(Out& out, Rng& rng, int year, int month, int day) {
    out.Put("2 DATE ");
    const int r = rng.Below(100);
    if (r < 74) {
        out.Int(day);
        out.Put(' ');
        out.Put(kMonths[month - 1]);
        out.Put(' ');
        WriteYear(out, year);
    } else if (r < 80) {
        out.Put(kMonths[month - 1]);
        out.Put(' ');
        WriteYear(out, year);
    } else if (r < 88) {
        out.Put("ABT ");
        WriteYear(out, year);
    } else if (r < 92) {
        out.Put("BEF ");
        WriteYear(out, year + 1 + rng.Below(2));
    } else if (r < 94) {
        out.Put("AFT ");
        WriteYear(out, year - 1);
    } else if (r < 96) {
        out.Put("BET ");
        WriteYear(out, year - 1);
        out.Put(" AND ");
        WriteYear(out, year + 1);
    } else {
        WriteYear(out, year);
    }
    out.Eol();
}

void WritePlace(Out& out, const Tables& tables, int town) {
    out.Line("2 PLAC ", tables.places[town]);
}

const std::string& GivenPart(Rng& rng, const Tables& tables, bool female, int year) {
    int period = year < 1800 ? 0 : year < 1920 ? 1 : 2;
    // Some names live on into the next period.
    if (period > 0 && rng.Percent(15)) --period;
    const auto& list = tables.given[(female ? 3 : 0) + period];
    return list[rng.Skewed(static_cast<int>(list.size()))];
}

void WriteName(Out& out, Rng& rng, const Tables& tables, const PersonView& p) {
    out.Put("1 NAME ");
    const int doublePct = p.birthYear < 1900 ? 28 : p.birthYear < 1950 ? 12 : 5;
    if (rng.Percent(doublePct)) {
        // "Jean Baptiste", "Marie Louise", "Pierre Antoine"...
        const auto& second = GivenPart(rng, tables, p.female, p.birthYear);
        const std::string_view first =
            p.female ? (rng.Percent(70) ? "Marie" : "Anne")
                     : (rng.Percent(70) ? "Jean" : (rng.Percent(50) ? "Pierre" : "Louis"));
        out.Put(first);
        out.Put(' ');
        if (second == first || (!p.female && first == "Jean" && rng.Percent(25)))
            out.Put(p.female ? "Madeleine" : "Baptiste");
        else
            out.Put(second);
    } else {
        out.Put(GivenPart(rng, tables, p.female, p.birthYear));
    }
    out.Put(" /");
    out.Put(tables.surnames[p.surname]);
    out.Put('/');
    out.Eol();
}

void WritePerson(Out& out, const Tables& tables, uint64_t seed, const PersonView& p) {
    Rng rng(seed, kPerson, static_cast<uint64_t>(p.id));
    out.Put("0 ");
    out.Xref('I', p.id);
    out.Put(" INDI");
    out.Eol();
    WriteName(out, rng, tables, p);
    out.Line("1 SEX ", p.female ? "F" : "M");

    const int birthTown =
        p.parentsTown >= 0
            ? (rng.Percent(85) ? p.parentsTown : NearTown(rng, tables, p.parentsTown))
        : p.homeTown >= 0 ? NearTown(rng, tables, p.homeTown)
                          : AnyTown(rng, tables);
    const int month = 1 + rng.Below(12);
    const int day = 1 + rng.Below(kDaysInMonth[month - 1]);
    // Old registers often give the baptism rather than the birth.
    const int chrPct = p.birthYear < 1792 ? 30 : p.birthYear < 1850 ? 8 : 0;
    const bool hasBirthDate = rng.Percent(82);
    const bool hasBirthPlace = rng.Percent(20);
    if (hasBirthDate || hasBirthPlace) {
        out.Line(rng.Percent(chrPct) ? "1 CHR" : "1 BIRT", "");
        if (hasBirthDate) WriteDate(out, rng, p.birthYear, month, day);
        if (hasBirthPlace) WritePlace(out, tables, birthTown);
    }

    const bool dead = p.deathYear <= kPresentYear;
    if (dead && rng.Percent(p.birthYear < 1750 ? 45 : 65)) {
        out.Line("1 DEAT", "");
        int dMonth = 1 + rng.Below(12);
        if (p.deathYear == p.birthYear && dMonth < month) dMonth = month;
        int dDay = 1 + rng.Below(kDaysInMonth[dMonth - 1]);
        if (p.deathYear == p.birthYear && dMonth == month && dDay < day) dDay = day;
        if (rng.Percent(88)) WriteDate(out, rng, p.deathYear, dMonth, dDay);
        if (rng.Percent(20)) {
            const int town =
                p.homeTown >= 0 ? (rng.Percent(80) ? p.homeTown : NearTown(rng, tables, p.homeTown))
                                : NearTown(rng, tables, birthTown);
            WritePlace(out, tables, town);
        }
    }

    const int age = (dead ? p.deathYear : kPresentYear) - p.birthYear;
    if (age >= 16) {
        if (rng.Percent(9)) {
            const auto& jobs = tables.occupations[p.female ? 1 : 0];
            out.Line("1 OCCU ", jobs[rng.Below(static_cast<int>(jobs.size()))]);
        }
        if (rng.Percent(3)) {
            out.Line("1 RESI", "");
            out.Put("2 DATE ");
            WriteYear(out, p.birthYear + 16 + rng.Below(age - 15));
            out.Eol();
            WritePlace(out, tables, p.homeTown >= 0 ? p.homeTown : birthTown);
        }
    }
    if (dead && !p.female && p.deathYear >= 1914 && p.deathYear <= 1918 && age >= 18 && age <= 48 &&
        rng.Percent(60))
        out.Line("1 NOTE ", tables.deathInWar);
    else if (rng.Percent(2))
        out.Line("1 NOTE ", tables.notes[rng.Below(static_cast<int>(tables.notes.size()))]);

    if (p.famc) out.Pointer("1 FAMC ", 'F', p.famc);
    for (int i = 0; i < p.famsCount; ++i) out.Pointer("1 FAMS ", 'F', p.fams[i]);
}

void WriteFamily(Out& out, const Tables& tables, uint64_t seed, const FamilyView& f) {
    Rng rng(seed, kFamily, static_cast<uint64_t>(f.id));
    out.Put("0 ");
    out.Xref('F', f.id);
    out.Put(" FAM");
    out.Eol();
    if (f.husband) out.Pointer("1 HUSB ", 'I', f.husband);
    if (f.wife) out.Pointer("1 WIFE ", 'I', f.wife);
    for (int i = 0; i < f.childCount; ++i) out.Pointer("1 CHIL ", 'I', f.children[i]);
    const bool hasDate = rng.Percent(80);
    const bool hasPlace = rng.Percent(30);
    if (hasDate || hasPlace) {
        out.Line("1 MARR", "");
        const int month = 1 + rng.Below(12);
        if (hasDate)
            WriteDate(out, rng, f.marriageYear, month, 1 + rng.Below(kDaysInMonth[month - 1]));
        if (hasPlace) WritePlace(out, tables, f.town);
    }
}

// ---------------------------------------------------------------------------------------------
// Population and Founder: a simulation generation by generation, keeping a few bytes per person.

constexpr std::array<int, 9> kPopulationChildren = {10, 12, 18, 17, 14, 10, 8, 6, 5};
constexpr std::array<int, 9> kFounderChildren = {20, 20, 22, 17, 9, 5, 3, 2, 2};

class Simulation {
public:
    Simulation(const Options& opt, const Tables& tables)
        : opt_(opt), tables_(tables), target_(std::max<int64_t>(opt.persons, 0)),
          rng_(opt.seed, kStructure, opt.shape == Shape::Founder ? 2 : 1) {
        const auto expected = static_cast<size_t>(std::min<int64_t>(target_, int64_t{1} << 31));
        sex_.reserve(expected);
        surname_.reserve(expected);
        birth_.reserve(expected);
        death_.reserve(expected);
        famc_.reserve(expected);
        fams_.reserve(expected);
        done_.reserve(expected);
    }

    void Run() {
        std::vector<int32_t> pool, next;
        if (opt_.shape == Shape::Founder) {
            if (!Full()) pool.push_back(AddPerson(0, RandomSurname(rng_), 0, kDrawDeath, -1, true));
        } else {
            AddFounders(FounderCount(), 0, pool);
        }
        for (int generation = 0; !Full(); ++generation) {
            next.clear();
            ProcessGeneration(pool, next, generation);
            if (next.empty() && !Full()) {
                if (opt_.shape == Shape::Founder) break; // cannot happen: each generation has heirs
                // Newcomers settle in the region and the population goes on.
                int year = 0;
                for (int32_t p : pool) year = std::max<int>(year, birth_[p]);
                AddFounders(FounderCount() / 4 + 2, year + 25, next);
            }
            pool.swap(next);
        }
    }

    void Write(Out& out) const {
        const int offset = YearOffset();
        for (size_t i = 0; i < sex_.size(); ++i) {
            PersonView p;
            p.id = static_cast<int64_t>(i) + 1;
            p.female = sex_[i] != 0;
            p.surname = surname_[i];
            p.birthYear = birth_[i] + offset;
            p.deathYear = death_[i] + offset;
            if (famc_[i] >= 0) {
                p.famc = famc_[i] + 1;
                p.parentsTown = town_[famc_[i]];
            }
            for (int32_t f = fams_[i]; f >= 0 && p.famsCount < 4; f = NextFamily(f, i)) {
                p.fams[p.famsCount++] = f + 1;
                p.homeTown = town_[f];
            }
            WritePerson(out, tables_, opt_.seed, p);
        }
        for (size_t f = 0; f < husband_.size(); ++f) {
            FamilyView v;
            v.id = static_cast<int64_t>(f) + 1;
            v.husband = husband_[f] + 1;
            v.wife = wife_[f] + 1;
            v.childCount = childCount_[f];
            for (int c = 0; c < v.childCount; ++c) v.children[c] = firstChild_[f] + c + 1;
            v.marriageYear = marriage_[f] + offset;
            v.town = town_[f];
            WriteFamily(out, tables_, opt_.seed, v);
        }
    }

private:
    bool Full() const { return static_cast<int64_t>(sex_.size()) >= target_; }

    // About target^0.4 founders: ~16 for a thousand persons, ~250 for a million.
    int FounderCount() const {
        const uint64_t t = static_cast<uint64_t>(std::min<int64_t>(target_, 1'000'000'000));
        uint64_t f = 1;
        while (f * f * f * f * f < t * t) ++f;
        return static_cast<int>(f);
    }

    // Shifts the simulated years so that the last births fall around 2010.
    int YearOffset() const {
        int last = 0;
        for (int16_t b : birth_) last = std::max<int>(last, b);
        return 2010 - last;
    }

    static int RandomSurname(Rng& rng) {
        return rng.Skewed(static_cast<int>(std::size(kSurnames)));
    }

    // Age at death: some children die young; adults mostly between 45 and 95.
    static int Lifespan(Rng& rng, bool adult) {
        const int r = rng.Below(100);
        if (!adult && r < 14) return rng.Below(12);
        if (r < 24) return 16 + rng.Below(29);
        return 45 + rng.Below(26) + rng.Below(26);
    }

    static int MarriageAge(Rng& rng, bool female) {
        return female ? 17 + rng.Below(7) + rng.Below(7) : 20 + rng.Below(8) + rng.Below(8);
    }

    static constexpr int kDrawDeath = -100000;

    int32_t AddPerson(int sex, int surname, int birth, int death, int32_t famc, bool adult) {
        if (death == kDrawDeath) death = birth + Lifespan(rng_, adult);
        sex_.push_back(static_cast<uint8_t>(sex));
        surname_.push_back(static_cast<uint16_t>(surname));
        birth_.push_back(static_cast<int16_t>(birth));
        death_.push_back(static_cast<int16_t>(death));
        famc_.push_back(famc);
        fams_.push_back(-1);
        done_.push_back(0);
        return static_cast<int32_t>(sex_.size() - 1);
    }

    void AddFounders(int count, int year, std::vector<int32_t>& pool) {
        for (int i = 0; i < count && !Full(); ++i)
            pool.push_back(AddPerson(i & 1, RandomSurname(rng_), year + rng_.Range(-15, 15),
                                     kDrawDeath, -1, true));
    }

    bool Adult(int32_t p) const { return death_[p] - birth_[p] >= 16; }

    int32_t NextFamily(int32_t f, size_t person) const {
        return husband_[f] == static_cast<int32_t>(person) ? nextOfHusband_[f] : nextOfWife_[f];
    }

    // Can `q` marry `p` in `year`? Then returns the year of the wedding (`year` or a bit later).
    int Compatible(int32_t p, int32_t q, int year) const {
        if (done_[q] || sex_[q] == sex_[p] || !Adult(q)) return -1;
        if (famc_[p] >= 0 && famc_[p] == famc_[q]) return -1; // siblings
        if (std::abs(birth_[p] - birth_[q]) > 10) return -1;
        year = std::max(year, birth_[q] + 17);
        if (death_[q] <= year || death_[p] <= year) return -1;
        return year;
    }

    // A first cousin of `p` free to marry: a child of a sibling of one of p's parents.
    int32_t FindCousin(int32_t p, int& year) const {
        const int32_t f = famc_[p];
        if (f < 0) return -1;
        for (int32_t parent : {husband_[f], wife_[f]}) {
            const int32_t g = famc_[parent];
            if (g < 0) continue;
            for (int32_t a = firstChild_[g]; a < firstChild_[g] + childCount_[g]; ++a) {
                if (a == parent) continue;
                for (int32_t af = fams_[a]; af >= 0; af = NextFamily(af, static_cast<size_t>(a))) {
                    for (int32_t c = firstChild_[af]; c < firstChild_[af] + childCount_[af]; ++c) {
                        const int y = Compatible(p, c, year);
                        if (y >= 0) {
                            year = y;
                            return c;
                        }
                    }
                }
            }
        }
        return -1;
    }

    // A spouse from the same generation, among the next few free persons of the other sex.
    int32_t FromQueue(int32_t p, int& year, std::vector<int32_t>& queue, size_t& cursor) const {
        while (cursor < queue.size() && done_[queue[cursor]]) ++cursor;
        for (size_t i = cursor; i < queue.size() && i < cursor + 6; ++i) {
            const int y = Compatible(p, queue[i], year);
            if (y >= 0) {
                year = y;
                return queue[i];
            }
        }
        return -1;
    }

    // A spouse from outside the file's families: no parents.
    int32_t MarriedIn(int32_t p, int year, bool remarriage) {
        const bool female = sex_[p] == 0;
        int birth;
        if (remarriage)
            birth = birth_[p] + rng_.Range(0, 15);
        else if (female)
            birth = birth_[p] + rng_.Range(-3, 8);
        else
            birth = birth_[p] - rng_.Range(-2, 10);
        birth = std::clamp(birth, year - (remarriage ? 40 : 35), year - (female ? 17 : 19));
        int death = birth + Lifespan(rng_, true);
        if (death <= year) death = year + 1 + rng_.Below(40);
        return AddPerson(female ? 1 : 0, RandomSurname(rng_), birth, death, -1, true);
    }

    int FamilyTown(int32_t h, int32_t w) {
        if (famc_[h] >= 0 && rng_.Percent(85)) return NearTown(rng_, tables_, town_[famc_[h]]);
        if (famc_[w] >= 0) return NearTown(rng_, tables_, town_[famc_[w]]);
        return AnyTown(rng_, tables_);
    }

    void AppendFamily(int32_t person, int32_t f) {
        if (fams_[person] < 0) {
            fams_[person] = f;
            return;
        }
        int32_t last = fams_[person];
        for (int32_t n; (n = NextFamily(last, static_cast<size_t>(person))) >= 0;) last = n;
        (husband_[last] == person ? nextOfHusband_[last] : nextOfWife_[last]) = f;
    }

    // A couple and its children, born one to three years apart while the mother can have them.
    // With `heirs`, the first two children reach adulthood whatever happens.
    void FormCouple(int32_t h, int32_t w, int year, int children, bool heirs,
                    std::vector<int32_t>& next) {
        const auto f = static_cast<int32_t>(husband_.size());
        husband_.push_back(h);
        wife_.push_back(w);
        firstChild_.push_back(static_cast<int32_t>(sex_.size()));
        childCount_.push_back(0);
        marriage_.push_back(static_cast<int16_t>(year));
        nextOfHusband_.push_back(-1);
        nextOfWife_.push_back(-1);
        town_.push_back(static_cast<uint16_t>(FamilyTown(h, w)));
        AppendFamily(h, f);
        AppendFamily(w, f);
        int born = year + 1 + rng_.Below(2);
        for (int i = 0; i < children && !Full(); ++i) {
            const bool heir = heirs && i < 2;
            if (heir) {
                death_[w] = static_cast<int16_t>(std::max<int>(death_[w], born));
                death_[h] = static_cast<int16_t>(std::max<int>(death_[h], born));
            } else if (born > birth_[w] + 44 || born > death_[w] || born > death_[h] + 1) {
                break;
            }
            next.push_back(AddPerson(rng_.Below(2), surname_[h], born, kDrawDeath, f, heir));
            ++childCount_[f];
            if (!rng_.Percent(3)) born += 1 + rng_.Below(3); // else twins
        }
    }

    void ProcessGeneration(std::vector<int32_t>& pool, std::vector<int32_t>& next, int generation) {
        const bool founder = opt_.shape == Shape::Founder;
        for (size_t i = pool.size(); i > 1; --i)
            std::swap(pool[i - 1], pool[rng_.Below(static_cast<int>(i))]);
        std::vector<int32_t> queues[2];
        for (int32_t p : pool) queues[sex_[p]].push_back(p);
        size_t cursors[2] = {0, 0};
        bool heirsDone = false;
        const auto& weights = founder ? kFounderChildren : kPopulationChildren;

        for (int32_t p : pool) {
            if (Full()) return;
            if (done_[p]) continue;
            done_[p] = 1;
            if (!Adult(p)) continue;
            // One couple per generation is sure to have heirs, so that no line of the file dies
            // out.
            const bool heirs = !heirsDone;
            const bool early = founder && generation < 3;
            if (!heirs && !early && !rng_.Percent(founder ? 75 : 82)) continue;
            int year = birth_[p] + MarriageAge(rng_, sex_[p] != 0);
            if (death_[p] <= year + 2) {
                if (!heirs) continue;
                death_[p] = static_cast<int16_t>(year + 20 + rng_.Below(40));
            }
            int32_t spouse = -1;
            if (rng_.Percent(3)) spouse = FindCousin(p, year);
            if (spouse < 0 && !founder && rng_.Percent(45)) {
                const int other = sex_[p] ? 0 : 1;
                spouse = FromQueue(p, year, queues[other], cursors[other]);
            }
            if (spouse < 0) {
                if (Full()) return;
                spouse = MarriedIn(p, year, false);
            }
            done_[spouse] = 1;
            const int32_t h = sex_[p] ? spouse : p;
            const int32_t w = sex_[p] ? p : spouse;
            int children = rng_.Weighted(weights);
            if (heirs) children = std::max(children, founder && generation == 0 ? 3 : 2);
            FormCouple(h, w, year, children, heirs, next);
            heirsDone = true;

            // A widower who marries again (in a founder's file, only one of the descendants:
            // the children of a spouse's second marriage would not descend from the founder).
            const int widowed = death_[w];
            if (!Full() && (!founder || h == p) && widowed >= year && widowed + 2 < death_[h] &&
                widowed - birth_[h] < 56 && rng_.Percent(45)) {
                const int again = widowed + 1 + rng_.Below(2);
                const int32_t second = MarriedIn(h, again, true);
                done_[second] = 1;
                FormCouple(h, second, again, std::min(rng_.Weighted(weights), 6), false, next);
            }
        }
    }

    const Options& opt_;
    const Tables& tables_;
    int64_t target_;
    Rng rng_;
    // Persons, by index (id - 1).
    std::vector<uint8_t> sex_; // 0 male, 1 female
    std::vector<uint16_t> surname_;
    std::vector<int16_t> birth_, death_; // simulated years, shifted when written
    std::vector<int32_t> famc_, fams_;   // fams_: first family, the others chained
    std::vector<uint8_t> done_;          // married, or decided to stay single
    // Families, by index (id - 1). Children of a family have consecutive indices.
    std::vector<int32_t> husband_, wife_, firstChild_, nextOfHusband_, nextOfWife_;
    std::vector<uint8_t> childCount_;
    std::vector<int16_t> marriage_;
    std::vector<uint16_t> town_;
};

// ---------------------------------------------------------------------------------------------
// Pedigree: slots in Sosa numbering (root 1, father of n is 2n, mother 2n+1). A marriage of first
// cousins makes two slots of a generation children of the same couple, and every slot above the
// second one then repeats an ancestor already reached: `canon_` maps each slot to the first slot
// of the same person.

class Pedigree {
public:
    Pedigree(const Options& opt, const Tables& tables)
        : opt_(opt), tables_(tables), generations_(std::clamp(opt.generations, 1, kMaxGenerations)),
          size_(int32_t{1} << generations_) {
        canon_.assign(static_cast<size_t>(size_), 0);
        number_.assign(static_cast<size_t>(size_), 0);
        Link();
        Surnames();
        Families();
        Rng root(opt_.seed, kRoot, 0);
        rootYear_ = 1972 + root.Below(20);
        rootFemale_ = root.Percent(50);
    }

    void Write(Out& out) const {
        for (int32_t s = 1; s < size_; ++s) {
            if (canon_[s] != s) continue;
            PersonView p;
            p.id = number_[s];
            p.female = s == 1 ? rootFemale_ : (s & 1) != 0;
            p.surname = surname_[s];
            p.birthYear = BirthYear(s);
            p.deathYear = s == 1 ? kPresentYear + 50 : DeathYear(s);
            if (2 * s < size_) {
                p.famc = familyNumber_[canon_[2 * s] / 2];
                p.parentsTown = town_[canon_[2 * s] / 2];
            }
            if (s > 1) {
                p.fams[p.famsCount++] = familyNumber_[s / 2];
                p.homeTown = town_[s / 2];
            }
            WritePerson(out, tables_, opt_.seed, p);
        }
        for (int32_t father = 2; father < size_; father += 2) {
            if (canon_[father] != father) continue;
            FamilyView v;
            v.id = familyNumber_[father / 2];
            v.husband = number_[father];
            v.wife = number_[father + 1];
            const auto kids = Children(father);
            v.childCount = static_cast<int>(kids.size());
            int first = BirthYear(kids[0]);
            for (size_t i = 0; i < kids.size(); ++i) {
                v.children[i] = number_[kids[i]];
                first = std::min(first, BirthYear(kids[i]));
            }
            if (kids.size() == 2 && BirthYear(kids[1]) < BirthYear(kids[0]))
                std::swap(v.children[0], v.children[1]);
            Rng rng(opt_.seed, kFamily, static_cast<uint64_t>(father));
            const int parents = std::max(BirthYear(father), BirthYear(father + 1));
            v.marriageYear = std::max(first - 1 - rng.Below(3), parents + 16);
            v.town = town_[father / 2];
            WriteFamily(out, tables_, opt_.seed, v);
        }
    }

private:
    static int Generation(int32_t slot) { return std::bit_width(static_cast<uint32_t>(slot)); }

    // Slots of the children of the couple whose father is `father` (canonical).
    std::vector<int32_t> Children(int32_t father) const {
        std::vector<int32_t> kids{father / 2};
        if (auto it = extraChild_.find(father); it != extraChild_.end()) kids.push_back(it->second);
        return kids;
    }

    // Generation years around 29 years apart: parents are always 19 to 39 years older than a
    // child, also for the two siblings of a collapse, who belong to the same generation.
    int BirthYear(int32_t slot) const {
        Rng rng(opt_.seed, kBirthYear, static_cast<uint64_t>(slot));
        return rootYear_ - 29 * (Generation(slot) - 1) + rng.Range(-5, 5);
    }

    int DeathYear(int32_t slot) const {
        Rng rng(opt_.seed, kPerson + 100, static_cast<uint64_t>(slot));
        int death = BirthYear(slot) + 22 + rng.Below(37) + rng.Below(37);
        const int32_t father = slot & ~1;
        for (int32_t kid : Children(father)) death = std::max(death, BirthYear(kid));
        return death;
    }

    // canon_ and number_, and the cousin marriages.
    void Link() {
        Rng rng(opt_.seed, kCollapse, static_cast<uint64_t>(generations_));
        // Cousin marriages in the deep generations, about one eligible couple in 700, and at
        // least one when the pedigree has room for it (four generations or more).
        const int lowest = std::max(1, std::min(generations_ / 2, generations_ - 3));
        const int32_t lastEligible = (size_ >> 3) - 1;
        int collapses = 0;
        int32_t persons = 0;
        for (int32_t s = 1; s < size_; ++s) {
            if (canon_[s] < 0)
                canon_[s] = canon_[-canon_[s]];
            else if (s > 1 && canon_[s / 2] != s / 2)
                canon_[s] = 2 * canon_[s / 2] + (s & 1);
            else
                canon_[s] = s;
            if (canon_[s] != s) continue;
            number_[s] = ++persons;
            if (s > lastEligible || Generation(s) < lowest) continue;
            // s's parents are first cousins: one of s's grandparents on the father's side
            // (x) and one on the mother's side (y) are children of the same couple.
            bool free = canon_[2 * s] >= 0 && canon_[2 * s + 1] >= 0;
            for (int32_t k = 4 * s; k < 4 * s + 4; ++k) free = free && canon_[k] >= 0;
            if (!free) continue;
            if (!rng.Below(700) || (collapses == 0 && s == lastEligible)) {
                const int32_t x = 4 * s + rng.Below(2);
                const int32_t y = 4 * s + 2 + rng.Below(2);
                canon_[2 * y] = -(2 * x);
                canon_[2 * y + 1] = -(2 * x + 1);
                extraChild_[2 * x] = y;
                ++collapses;
            }
        }
    }

    // Surnames come down the father's line: filled from the deepest generation.
    void Surnames() {
        surname_.assign(static_cast<size_t>(size_), 0);
        for (int32_t s = size_ - 1; s >= 1; --s) {
            if (canon_[s] != s) continue;
            if (2 * s < size_) {
                surname_[s] = surname_[canon_[2 * s]];
            } else {
                Rng rng(opt_.seed, kSurname, static_cast<uint64_t>(s));
                surname_[s] =
                    static_cast<uint16_t>(rng.Skewed(static_cast<int>(std::size(kSurnames))));
            }
        }
    }

    // Family numbers and towns, from the root up: a couple lives near where its child married.
    void Families() {
        familyNumber_.assign(static_cast<size_t>(size_ / 2), 0);
        town_.assign(static_cast<size_t>(size_ / 2), 0);
        int32_t families = 0;
        for (int32_t father = 2; father < size_; father += 2) {
            if (canon_[father] != father) continue;
            familyNumber_[father / 2] = ++families;
            Rng rng(opt_.seed, kTown, static_cast<uint64_t>(father));
            const int32_t child = father / 2;
            town_[father / 2] = static_cast<uint16_t>(
                child >= 2 ? NearTown(rng, tables_, town_[child / 2]) : AnyTown(rng, tables_));
        }
    }

    const Options& opt_;
    const Tables& tables_;
    int generations_;
    int32_t size_;
    int rootYear_ = 1980;
    bool rootFemale_ = false;
    std::vector<int32_t> canon_;
    std::vector<int32_t> number_;           // person number of each canonical slot
    std::vector<uint16_t> surname_;         // by canonical slot
    std::vector<int32_t> familyNumber_;     // by father slot / 2 (canonical fathers only)
    std::vector<uint16_t> town_;            // by father slot / 2
    std::map<int32_t, int32_t> extraChild_; // father slot of a collapse couple -> second child
};

void Generate(const Options& opt, Out& out) {
    const Tables tables(opt.charset);
    WriteHeader(out, opt);
    if (opt.shape == Shape::Pedigree) {
        Pedigree pedigree(opt, tables);
        pedigree.Write(out);
    } else {
        Simulation simulation(opt, tables);
        simulation.Run();
        simulation.Write(out);
    }
    out.Line("0 TRLR", "");
    out.Flush();
}

} // namespace

std::string GenerateGedcom(const Options& opt) {
    std::string text;
    Out out(text, nullptr, opt.crlf);
    Generate(opt, out);
    return text;
}

void WriteGedcom(const Options& opt, std::ostream& stream) {
    std::string buffer;
    buffer.reserve((1u << 20) + 4096);
    Out out(buffer, &stream, opt.crlf);
    Generate(opt, out);
}

} // namespace arbolix::gedgen
