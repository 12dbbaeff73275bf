#pragma once
// How the breeding tools find individuals and markers by the names a user gives.

#include "core/breedingcodes.h"

#include <optional>
#include <string>

namespace rvk {

class GenotypeData;

// The 0-based index of the first individual of that name, or -1.
int findIndividualByName(const GenotypeData &data, const std::string &name);

// A locus by group and place in its group's list.
struct MarkerPlace
{
    int group = 0;
    int locus = 0;
};
// The first locus whose Name is the name, or whose Name starts with the name followed by a blank
// (the reader appends annotations such as "<abxcd>" after one).
std::optional<MarkerPlace> findMarkerByName(const GenotypeData &data, const std::string &name);

// The name as a user knows it: the Name up to its first blank.
std::string plainMarkerName(const std::string &name);

} // namespace rvk
