#pragma once
// The panel analyses (kinship, principal components, mixed-model association, genomic
// prediction) run over the selected individuals as single operations, with the lines and
// pictures they report.

#include "genetics/gblup.h"
#include "genetics/kinship.h"
#include "genetics/mixedmodel.h"
#include "genetics/pca.h"
#include "render/pcaplot.h"
#include "render/viewpicture.h"

#include <optional>
#include <string>
#include <vector>

namespace rvk {

class AssociationResults;
class GenotypeData;
class TraitTable;

// The individuals that count as selected (everyone without a selection) and their names.
struct SelectedIndividuals
{
    std::vector<int> indices;
    std::vector<std::string> names;
};
SelectedIndividuals selectedIndividuals(const GenotypeData &data);

// The kinship of the selected individuals. notes: the markers left out and the pairs of
// individuals with the same genotypes, a line each; error: why there is no matrix.
struct KinshipRun
{
    SelectedIndividuals individuals;
    std::optional<KinshipMatrix> kinship;
    std::string notes, error;
};
KinshipRun kinshipOfSelected(const GenotypeData &data, KinshipMethod method);
// "centred kinship of N individuals from M markers".
std::string kinshipSummaryText(const KinshipMatrix &kinship);

// The principal components of the selected individuals' dosages; notes: the markers left out.
struct PcaRun
{
    SelectedIndividuals individuals;
    std::optional<PcaResult> pca;
    std::string notes, error;
};
PcaRun pcaOfSelected(const GenotypeData &data, const PcaOptions &options);
// The scatter of components x and y (from 1) with their shares of the variance as titles.
PcaPlotInput pcaScatter(const PcaResult &pca, const std::vector<std::string> &names, int x, int y);
// Colours the points by the named trait (grey where an individual has no value); false when no
// trait has that name.
bool colourPcaByTrait(PcaPlotInput &input, const TraitTable &traits, const std::string &trait);
// The same for the trait in row (from 1) of the table, as the window's trait list counts them.
void colourPcaByTraitRow(PcaPlotInput &input, const TraitTable &traits, int row);

// Per trait its numbers or why it was not analysed, then the notes; a line each.
std::string mixedModelSummary(const MixedModelResults &results);
// Per trait its individuals, lambda and cross-validated accuracy or why it was not analysed,
// after the notes; a line each.
std::string gblupSummary(const GblupResults &results, unsigned seed);

// A picture with the file it goes to.
struct PictureFile
{
    std::string path;
    ViewPicture picture;
};
// The Manhattan and QQ pictures of every analysed trait, to the paths given (none for an empty
// path); with several traits the trait's name is added to the file names. With the correlation
// results of the same traits, their pictures follow each trait's, "_correlation" added.
std::vector<PictureFile> mixedModelPictureFiles(const GenotypeData &data, const MixedModelResults &results, const AssociationResults *correlation,
                                                const std::string &manhattanPath, const std::string &qqPath);

} // namespace rvk
