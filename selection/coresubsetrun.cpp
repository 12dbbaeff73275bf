#include "selection/coresubsetrun.h"

#include "core/genotypedata.h"
#include "selection/coresubsetrandom.h"
#include "selection/selectionlists.h"

namespace rvk {

std::string lockIndividualsNamed(GenotypeData &data, const std::vector<std::string> &names)
{
    for (const std::string &name : names) {
        bool found = false;
        for (size_t i = 0; i < data.IndividualNames.size(); ++i)
            if (data.IndividualNames[i] == name) {
                data.Locked[i] = data.Ticked[i] = 1;
                found = true;
            }
        if (!found)
            return name;
    }
    return {};
}

CoreSubsetRun runCoreSubsetOfTicked(GenotypeData &data, const CoreSubsetSettings &settings, std::uint64_t seed, UserInterface &ui)
{
    CoreSubsetRandom random(seed);
    SelectionTexts texts;
    CoreSubsetObserver observer;
    const Subset start(data.Ticked.begin(), data.Ticked.end());
    const Subset fixed(data.Locked.begin(), data.Locked.end());
    CoreSubsetRun run;
    run.outcome = runCoreSubsetSearch(data, start, fixed, settings, random, texts, observer, ui);
    applyCoreSubsetOutcome(data, run.outcome, texts);
    for (const std::string &line : SelectionList::savedResultLines(texts))
        run.report += line + "\n";
    return run;
}

} // namespace rvk
