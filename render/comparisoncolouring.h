#pragma once
// The comparison drawing mode: instead of its allele's colour every segment shows how the
// individual's code compares with a reference individual's code at the same locus (same, different,
// heterozygous against homozygous, unknown in either), or, with a donor as the second reference,
// whose allele it carries (the reference's, the donor's, heterozygous, unknown, another code).
//
// The views stay as they are: the display coder turns each code into a category code, and the
// view paints with a table of its own whose entries for the category codes hold the category
// colours and legends. So every view, printing and every picture format show the mode alike.

#include "core/breedingcodes.h"
#include "settings/alleletable.h"

#include <memory>
#include <string>

namespace rvk {

class GenotypeData;
struct DrawContext;
struct DrawingOptions;

// The references, 0-based; -1 when not in use.
struct ComparisonReferences
{
    int reference = -1;
    int donor = -1;
    bool active() const { return reference >= 0; }
    bool twoReferences() const { return reference >= 0 && donor >= 0; }
};

// The references named in the options, looked up in the data set; inactive outside the
// comparison mode or when the reference is not found (the view then draws in colour).
ComparisonReferences comparisonReferences(const GenotypeData &data, const DrawingOptions &options);

namespace ComparisonCategory {
// One reference.
inline constexpr char Same = '1';
inline constexpr char Different = '2';
inline constexpr char HeterozygousAgainstHomozygous = '3';
inline constexpr char Unknown = '4';
// Reference and donor (Unknown as above).
inline constexpr char ReferenceAllele = '1';
inline constexpr char DonorAllele = '2';
inline constexpr char Heterozygous = '3';
inline constexpr char OtherCode = '5';
} // namespace ComparisonCategory

inline constexpr Rgb ComparisonSameColor = rgb(0, 170, 0);          // also the reference's allele
inline constexpr Rgb ComparisonDifferentColor = rgb(220, 0, 0);     // also the donor's allele
inline constexpr Rgb ComparisonHeterozygousColor = rgb(255, 210, 0);
inline constexpr Rgb ComparisonUnknownColor = rgb(192, 192, 192);
inline constexpr Rgb ComparisonOtherColor = rgb(70, 110, 230);

// The category of code against the reference's code.
constexpr char comparisonCategory(char code, char reference)
{
    using namespace ComparisonCategory;
    if (isUnknownBreedingCode(code) || isUnknownBreedingCode(reference))
        return Unknown;
    const bool hetCode = isHeterozygousBreedingCode(code), hetReference = isHeterozygousBreedingCode(reference);
    if (code == reference || (hetCode && hetReference))
        return Same;
    return hetCode != hetReference ? HeterozygousAgainstHomozygous : Different;
}

// The category of code against the reference's and the donor's codes.
constexpr char comparisonCategory(char code, char reference, char donor)
{
    using namespace ComparisonCategory;
    if (isUnknownBreedingCode(code))
        return Unknown;
    if (code == reference)
        return ReferenceAllele;
    if (code == donor)
        return DonorAllele;
    if (isHeterozygousBreedingCode(code))
        return Heterozygous;
    return OtherCode;
}

// The table a view paints with: the user's table, or in the comparison mode a table of the
// category colours whose used entries are exactly the categories (so the legend lists them).
class DrawingPalette
{
public:
    DrawingPalette(const GenotypeData &data, AlleleTable &table, const DrawContext &context);
    AlleleTable &table() const { return mOwn ? *mOwn : *mTable; }
    const ComparisonReferences &references() const { return mReferences; }

private:
    ComparisonReferences mReferences;
    AlleleTable *mTable;
    std::shared_ptr<AlleleTable> mOwn;
};

// The category table alone (for the legend of the window's options and for tests).
AlleleTable comparisonTable(const std::string &referenceName, const std::string &donorName, bool twoReferences);

} // namespace rvk
