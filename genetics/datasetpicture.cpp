#include "genetics/datasetpicture.h"

#include "core/genotypedata.h"
#include "genetics/associationplotdata.h"
#include "genetics/backcrosscodes.h"
#include "genetics/fdr.h"
#include "render/allinoneview.h"
#include "render/individualview.h"
#include "render/linkagegroupview.h"
#include "stats/markerstatistics.h"

#include <algorithm>

namespace rvk {

std::string dataSetPictureProblem(const GenotypeData &data, const DataSetPictureRequest &request, bool &usageFault)
{
    usageFault = false;
    if (request.group > data.GroupCount())
        return "there are " + std::to_string(data.GroupCount()) + " linkage groups, not " + std::to_string(request.group);
    if (request.individual > data.nind || request.first > data.nind)
        return "there are " + std::to_string(data.nind) + " individuals";
    if (request.reference.empty())
        return {};
    usageFault = true;
    for (const std::string *name : {&request.reference, &request.donor})
        if (!name->empty() && findIndividualByName(data, *name) < 0)
            return "\"" + *name + "\" is not an individual of the data set";
    if (request.donor == request.reference)
        return "the reference and the donor must be two different individuals";
    usageFault = false;
    return {};
}

DrawContext dataSetDrawContext(const GenotypeData &data, const DrawingOptions &drawing, const DataSetPictureRequest &request)
{
    DrawContext draw;
    draw.options = drawing;
    if (request.blackAndWhite)
        draw.options.setColorMode(DrawingOptions::ColorMode::BlackAndWhite);
    if (!request.reference.empty()) {
        draw.options.setColorMode(DrawingOptions::ColorMode::Comparison);
        draw.options.compareReference = request.reference;
        draw.options.compareDonor = request.donor;
    }
    draw.zoom = request.zoomPercent / 100.0;
    if (request.height > 0)
        draw.visibleHeight = request.height;
    draw.group = request.group - 1;
    draw.firstIndividual = request.first;
    draw.lastIndividual = request.last > 0 ? std::min(request.last, data.nind) : data.nind;
    draw.currentIndividual = request.individual;
    draw.skipUnselected = data.Selectionyesno;
    return draw;
}

ViewPicture drawDataSetPicture(GenotypeData &data, AlleleTable &alleles, const DataSetPictureRequest &request, const DrawContext &draw,
                               const TraitTable *traits, std::string *error)
{
    if (request.view == "individual")
        return drawIndividualView(data, alleles, draw);
    if (request.view == "association" && traits) {
        // The association plot of "Plot Assoc." after a correlation run, every trait plotted.
        AssociationPlotInput plot;
        plot.drawing = draw.options;
        plot.clientWidth = request.width;
        plot.zoom = draw.zoom;
        return drawCorrelationAssociationPlot(data, alleles, *traits, plot, DefaultFdrLevel, error);
    }
    if (request.view == "all") {
        // The all-in-one view draws each locus's major allele in its consensus row.
        refreshMajorAlleles(data, alleles);
        return drawAllInOneView(data, alleles, draw, request.width);
    }
    return drawLinkageGroupView(data, alleles, draw);
}

} // namespace rvk
