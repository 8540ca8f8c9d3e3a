#pragma once
// How the comma-separated fields of a GEDCOM PLAC value are read: one role code per field, kept in
// the profile with the other chart settings.

#include <cstdint>

namespace arbolix {

// Role of one comma-separated field of a PLAC value.
enum PlaceRole : int32_t {
    kRoleTown = 1,       // "Commune": copied into the person's place
    kRolePostalCode = 2, // "Code Postal"
    kRoleDepartment = 3, // "Département"
    kRoleRegion = 4,     // "Région"
    kRoleCountry = 5,    // "Pays": looked up as a country
};

// The five role codes, one per field, in field order (profile keys m_gedcom.t0 .. m_gedcom.t4).
struct PlaceFormat {
    int32_t t0 = 1, t1 = 2, t2 = 3, t3 = 4, t4 = 5;

    int32_t role(int field) const;
    int32_t& role(int field);
    // Exchanges the roles of two neighbouring columns (the "<->" buttons of the format dialog).
    void swapFields(int a, int b);
    bool operator==(const PlaceFormat&) const = default;
};

// Column title of a role code, UTF-8 ("Commune", "Code Postal", ...); "" for an unknown code.
const char* PlaceRoleTitle(int32_t role);

} // namespace arbolix
