#pragma once
// Bringing a user's database up to the default one: the components and
// interaction parameters of the seed that it lacks, added without changing
// or removing anything it holds.

#include <string>

namespace zolvant::db {

struct AddedDefaults {
    int components = 0;
    int pairs = 0;
};

// Adds to the database at target every component of the seed database whose
// name it lacks (names compared case aside), in the seed's order, and every
// pair of the seed's tblKij both of whose components it then has and that it
// lacks (for that equation, in either order). Nothing it holds is changed or
// removed; an older database first gets the CAS column and tblKij. One
// transaction: all of it or nothing. A read-only target is refused
// (kReadOnly). Throws DbError.
AddedDefaults addDefaultComponents(const std::string& target, const std::string& seed);

// How many components of the seed the database at target lacks (by name,
// case aside): what addDefaultComponents would add. Only reads. Throws DbError.
int countMissingDefaults(const std::string& target, const std::string& seed);

}  // namespace zolvant::db
