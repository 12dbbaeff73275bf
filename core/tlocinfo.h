#pragma once

#include "core/fixedtext.h"

#include <string>
#include <string_view>

namespace rvk {

// One locus (marker) of a linkage group: its name with any annotations, its map position, an
// optional QTL interval and the genotype codes of every individual.
struct Tlocinfo
{
    static constexpr size_t SegTypeCapacity = 7;
    static constexpr size_t PhaseCapacity = 4;

    std::string Name;
    double Position = 0.0;   // cM; -1 when the file's text was not a number
    double QtlStart = 0.0;   // non-zero marks a QTL interval
    double QtlEnd = 0.0;
    // One character per individual ("*".."z"), two per individual for cross-pollinators.
    std::string Genotypes;
    FixedText<SegTypeCapacity> SegType; // "cp" only, e.g. "<abxcd>"
    FixedText<PhaseCapacity> Phase;     // "{0}", "{1}", "{0-}", ...
    char MajorAllele = ' ';
    double MajorAlleleShare = 0.0;

    // The fixed-capacity fields keep only the first characters of a longer text.
    void setSegType(std::string_view text) { SegType = text; }
    void setPhase(std::string_view text) { Phase = text; }
};

} // namespace rvk
