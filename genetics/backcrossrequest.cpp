#include "genetics/backcrossrequest.h"

#include "core/genotypedata.h"
#include "genetics/backcrosscodes.h"

namespace rvk {

std::string backcrossRequestNamed(const GenotypeData &data, const std::string &recurrent, const std::string &donor, const std::string &target,
                                  BackcrossRequest &request)
{
    request.selectedOnly = data.Selectionyesno;
    request.recurrent = findIndividualByName(data, recurrent);
    if (request.recurrent < 0)
        return backcrossParentMissingMessage("recurrent parent", recurrent);
    request.donor = findIndividualByName(data, donor);
    if (request.donor < 0)
        return backcrossParentMissingMessage("donor", donor);
    if (!target.empty() && !(request.target = findMarkerByName(data, target)))
        return markerMissingMessage(target);
    return {};
}

} // namespace rvk
