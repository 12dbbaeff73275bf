#pragma once
// The backcross statistics' request from the names a user gives: the recurrent parent, the
// donor and the target marker.

#include "genetics/backcrossstatistics.h"

#include <string>

namespace rvk {

class GenotypeData;

// Fills request with the named parents and, when target is not empty, the target marker; rows
// for the selected individuals when selection filtering is on. The message for a name the data
// set does not hold, empty when it holds them all.
std::string backcrossRequestNamed(const GenotypeData &data, const std::string &recurrent, const std::string &donor, const std::string &target,
                                  BackcrossRequest &request);

} // namespace rvk
