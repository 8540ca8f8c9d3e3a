#include "base/place_format.h"

#include <utility>

namespace arbolix {

int32_t PlaceFormat::role(int field) const {
    if (field < 0 || field > 4) return 0;
    return const_cast<PlaceFormat*>(this)->role(field);
}

int32_t& PlaceFormat::role(int field) {
    switch (field) {
    case 0:
        return t0;
    case 1:
        return t1;
    case 2:
        return t2;
    case 3:
        return t3;
    default:
        return t4;
    }
}

void PlaceFormat::swapFields(int a, int b) {
    if (a < 0 || a > 4 || b < 0 || b > 4) return;
    std::swap(role(a), role(b));
}

const char* PlaceRoleTitle(int32_t role) {
    switch (role) {
    case kRoleTown:
        return "Commune";
    case kRolePostalCode:
        return "Code Postal";
    case kRoleDepartment:
        return "Département";
    case kRoleRegion:
        return "Région";
    case kRoleCountry:
        return "Pays";
    default:
        return "";
    }
}

} // namespace arbolix
