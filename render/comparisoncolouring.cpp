#include "render/comparisoncolouring.h"

#include "core/genotypedata.h"
#include "render/drawcontext.h"

namespace rvk {

ComparisonReferences comparisonReferences(const GenotypeData &data, const DrawingOptions &options)
{
    ComparisonReferences references;
    if (!options.comparison() || data.nind <= 0)
        return references;
    auto find = [&](const std::string &name) {
        if (name.empty())
            return -1;
        const int n = std::min(data.nind, static_cast<int>(data.IndividualNames.size()));
        for (int i = 0; i < n; ++i)
            if (data.IndividualNames[static_cast<size_t>(i)] == name)
                return i;
        return -1;
    };
    references.reference = find(options.compareReference);
    if (references.reference >= 0) {
        references.donor = find(options.compareDonor);
        if (references.donor == references.reference)
            references.donor = -1;
    }
    return references;
}

AlleleTable comparisonTable(const std::string &referenceName, const std::string &donorName, bool twoReferences)
{
    using namespace ComparisonCategory;
    AlleleTable table;
    table.clearUsed();
    for (int i = 0; i < AlleleTable::Size; ++i) {
        table.setColor(i, ComparisonUnknownColor);
        table.setHatch(i, 0);
    }
    auto set = [&](char code, Rgb colour, const std::string &legend) {
        const int i = codeIndex(code);
        table.setColor(i, colour);
        table.setLegend(i, legend);
        table.setUsed(i, true);
    };
    if (twoReferences) {
        set(ReferenceAllele, ComparisonSameColor, referenceName);
        set(DonorAllele, ComparisonDifferentColor, donorName);
        set(Heterozygous, ComparisonHeterozygousColor, "het");
        set(Unknown, ComparisonUnknownColor, "unknown");
        set(OtherCode, ComparisonOtherColor, "other");
    } else {
        set(Same, ComparisonSameColor, "same");
        set(Different, ComparisonDifferentColor, "differs");
        set(HeterozygousAgainstHomozygous, ComparisonHeterozygousColor, "het/hom");
        set(Unknown, ComparisonUnknownColor, "unknown");
    }
    return table;
}

DrawingPalette::DrawingPalette(const GenotypeData &data, AlleleTable &table, const DrawContext &context)
    : mReferences(comparisonReferences(data, context.options))
    , mTable(&table)
{
    if (!mReferences.active())
        return;
    // The drawing measures categories, not alleles: the allele lengths of an earlier drawing
    // would be read as this one's.
    table.resetDrawnLengths();
    mOwn = std::make_shared<AlleleTable>(comparisonTable(context.options.compareReference, context.options.compareDonor,
                                                         mReferences.twoReferences()));
}

} // namespace rvk
