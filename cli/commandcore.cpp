// rvk-cli core: "Select core set of size:" without the window. The start set is the ticked
// individuals (everyone, or those the selection options leave ticked); --fixed locks
// individuals into every subset. Prints both logs and writes the subset as a selection list.
#include "cli/clicommand.h"
#include "cli/clisession.h"
#include "cli/commandarguments.h"
#include "cli/commandoutput.h"
#include "core/safefile.h"
#include "core/textformat.h"
#include "selection/coresubsetrandom.h"
#include "selection/coresubsetrun.h"
#include "selection/selectionlists.h"

#include <optional>
#include <ostream>

namespace rvk::cli {

namespace {

constexpr const char *Usage =
    "usage: rvk-cli core FILE... --size M [--criterion sum|alleles|gw|unirec] [--method annealing|iterative] "
    "[--cycles N] [--iterations N] [--repeat N] [--cooling PCT] [--fixed NAME,...] [--seed S] [--log OUT.txt] "
    "[--out SUBSET.rvl] ";

std::vector<std::string> splitNames(const std::string &text)
{
    std::vector<std::string> names;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t comma = text.find(',', start);
        const std::string name = text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        if (!name.empty())
            names.push_back(name);
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    return names;
}

// The settings from the options; an error text, empty on success.
std::string readSettings(const CommandArguments &parsed, CoreSubsetSettings &settings, std::optional<std::uint64_t> &seed)
{
    const auto integer = [&](const char *option, int minimum, int maximum, int &target) -> bool {
        if (!parsed.values.count(option))
            return true;
        const auto number = parseInteger(parsed.value(option));
        if (!number || *number < minimum || *number > maximum)
            return false;
        target = static_cast<int>(*number);
        return true;
    };
    if (!parsed.values.count("--size"))
        return "--size M is required";
    if (!integer("--size", 1, 1'000'000'000, settings.subpopsize))
        return "--size takes a subset size from 1";
    if (!integer("--cycles", CoreSubsetRanges::CycleMin, CoreSubsetRanges::CycleMax, settings.corecycle))
        return "--cycles takes a number from 1 to 10000";
    if (!integer("--iterations", CoreSubsetRanges::IterationMin, CoreSubsetRanges::IterationMax, settings.maxiter))
        return "--iterations takes a number from 1 to 1000";
    if (!integer("--repeat", 0, 400, settings.iterrepeat))
        return "--repeat takes a number from 0 to 400";
    if (!integer("--cooling", 1, 99, settings.SArho))
        return "--cooling takes a percentage from 1 to 99";
    if (parsed.values.count("--criterion")) {
        const std::string criterion = parsed.value("--criterion");
        if (criterion == "sum")
            settings.criterion = DiversityCriterion::DiversitySum;
        else if (criterion == "alleles")
            settings.criterion = DiversityCriterion::AlleleCount;
        else if (criterion == "gw")
            settings.criterion = DiversityCriterion::GarzaWilliamson;
        else if (criterion == "unirec")
            settings.criterion = DiversityCriterion::UniRec;
        else
            return "--criterion takes sum, alleles, gw or unirec";
    }
    if (parsed.values.count("--method")) {
        const std::string method = parsed.value("--method");
        if (method == "annealing")
            settings.method = CoreSubsetSettings::Method::Annealing;
        else if (method == "iterative")
            settings.method = CoreSubsetSettings::Method::Iterative;
        else
            return "--method takes annealing or iterative";
    }
    if (parsed.values.count("--seed")) {
        const auto number = parseInteger(parsed.value("--seed"));
        if (!number || *number < 0)
            return "--seed takes a whole number from 0";
        seed = static_cast<std::uint64_t>(*number);
    }
    return {};
}

int runCore(const std::vector<std::string> &args, CommandContext &context)
{
    std::vector<std::string> rest = args;
    SelectionOptions selection;
    CommandArguments parsed;
    std::string error;
    CoreSubsetSettings settings;
    std::optional<std::uint64_t> seed;
    if (!parseSelectionOptions(rest, selection, &error)
        || !parseCommandArguments(rest,
                                  {"--size", "--criterion", "--method", "--cycles", "--iterations", "--repeat", "--cooling",
                                   "--fixed", "--seed", "--log", "--out"},
                                  {}, parsed, error)
        || !(error = parsed.files.empty() ? "no data file named" : readSettings(parsed, settings, seed)).empty()) {
        context.err << "rvk-cli core: " << error << "\n" << Usage << SelectionUsage << "\n";
        return 2;
    }

    CliSession session(context);
    if (!session.open(parsed.files, selection))
        return 1;
    if (const std::string unknown = lockIndividualsNamed(session.data, splitNames(parsed.value("--fixed"))); !unknown.empty()) {
        context.err << "rvk-cli core: no individual named " << unknown << "\n";
        return 1;
    }
    const std::uint64_t usedSeed = seed ? *seed : CoreSubsetRandom::clockSeed() & 0x7FFFFFFFFFFFFFFFull;
    if (!seed)
        context.err << "seed: " << formatText("%d", {static_cast<long long>(usedSeed)}) << "\n";
    const CoreSubsetRun run = runCoreSubsetOfTicked(session.data, settings, usedSeed, session.ui);
    context.out << run.report;
    if (!run.outcome.statusText.empty())
        context.out << run.outcome.statusText << "\n";
    if (!run.outcome.searched)
        return 1;
    if (run.outcome.subset.empty()) {
        // No run found a subset: there is none to write.
        context.err << CoreSubsetNoneFoundLine << "\n";
        return 1;
    }
    CommandOutput output(context, false);
    if (parsed.has("--log") && !parsed.value("--log").empty() && !output.text(parsed.value("--log"), run.report))
        return 1;
    const std::string out = parsed.value("--out");
    if (!out.empty() && !SelectionList::writeSelectionListFile(out, session.data, &error)) {
        context.err << error << "\n";
        return 1;
    }
    return 0;
}

const CommandRegistration registration(
    {"core",
     "core FILE... --size M [--criterion sum|alleles|gw|unirec] [--method annealing|iterative] [--cycles N] "
     "[--iterations N] [--repeat N] [--cooling PCT] [--fixed NAME,...] [--seed S] [--log OUT.txt] [--out SUBSET.rvl] "
         + std::string(SelectionUsage),
     "select a core subset of M of the ticked individuals by a diversity criterion, as \"Select core set of size:\" "
     "does; prints both logs, writes the subset as a selection list; the same --seed gives the same subset",
     &runCore});

} // namespace
} // namespace rvk::cli
