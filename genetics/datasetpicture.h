#pragma once
// The window's pictures of an opened data set by name (a linkage group, an individual, all in
// one, or the association plot of a trait table), drawn with the options the picture page offers.

#include "render/drawcontext.h"
#include "render/viewpicture.h"

#include <string>

namespace rvk {

class AlleleTable;
class GenotypeData;
class TraitTable;

struct DataSetPictureRequest
{
    std::string view = "group"; // group, individual, all or association
    int group = 1;              // from 1
    int individual = 1;         // from 1
    int first = 1, last = 0;    // the individuals shown; last 0: to the end
    double zoomPercent = 100.0;
    bool blackAndWhite = false;
    int height = 0;    // of the visible area; 0: the view's own
    int width = 1000;  // the all-in-one view and the association plot fill this width
    // The comparison colouring: against the reference individual, or by whose allele with a donor.
    std::string reference;
    std::string donor;
};

// What keeps the request from being drawn on this data set (a group, an individual or a name it
// does not have), as a message; empty when nothing does. usageFault tells a mistake in naming
// the comparison's individuals from a number beyond the data set.
std::string dataSetPictureProblem(const GenotypeData &data, const DataSetPictureRequest &request, bool &usageFault);

// The drawing context of the request over the page's drawing options.
DrawContext dataSetDrawContext(const GenotypeData &data, const DrawingOptions &drawing, const DataSetPictureRequest &request);

// The picture. The association view runs the correlation of traits first (an empty picture and
// its message in error when it stops); the all-in-one view refreshes the major alleles it shows.
ViewPicture drawDataSetPicture(GenotypeData &data, AlleleTable &alleles, const DataSetPictureRequest &request, const DrawContext &draw,
                               const TraitTable *traits, std::string *error);

} // namespace rvk
