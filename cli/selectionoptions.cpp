#include "cli/selectionoptions.h"

#include "core/genotypedata.h"
#include "core/textformat.h"
#include "core/userinterface.h"
#include "selection/individualsort.h"
#include "selection/markercriteria.h"
#include "selection/selectionlists.h"
#include "settings/alleletable.h"

namespace rvk::cli {

namespace {

constexpr const char *CriteriaOption = "--criteria";
constexpr const char *ListOption = "--select-list";
constexpr const char *SortOption = "--sort";

bool fail(std::string *error, const std::string &text)
{
    if (error)
        *error = text;
    return false;
}

std::vector<std::string> splitAt(const std::string &text, char separator)
{
    std::vector<std::string> parts;
    size_t start = 0;
    for (;;) {
        const size_t end = text.find(separator, start);
        parts.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos)
            return parts;
        start = end + 1;
    }
}

// A locus's name as given on the command line: the whole Name, or the Name without the
// annotations the reader appends after a blank.
bool nameMatches(const std::string &locusName, const std::string &wanted)
{
    if (locusName == wanted)
        return true;
    const size_t blank = locusName.find(' ');
    return blank != std::string::npos && locusName.compare(0, blank, wanted) == 0 && wanted.size() == blank;
}

struct LocusRef
{
    int group;
    int locus;
};

std::vector<LocusRef> findLoci(const GenotypeData &data, const std::string &name)
{
    std::vector<LocusRef> found;
    for (int g = 0; g < data.GroupCount(); ++g) {
        const auto &loci = data.GroupLoci(g);
        for (size_t l = 0; l < loci.size(); ++l)
            if (nameMatches(loci[l].Name, name))
                found.push_back({g, static_cast<int>(l)});
    }
    return found;
}

// Puts the options' criteria on the list; nothing changes in the data set yet.
bool setCriteria(const SelectionOptions &options, MarkerCriteria &criteria, const GenotypeData &data, std::string *error)
{
    for (const auto &[marker, text] : options.criteria) {
        const std::vector<LocusRef> loci = findLoci(data, marker);
        if (loci.empty())
            return fail(error, "unknown marker " + marker);
        const auto criterion = MarkerCriteria::Criterion::fromText(text);
        if (!criterion)
            return fail(error, "bad criterion " + marker + "=" + text);
        // A marker name that occurs in several groups puts the criterion on each of them. With
        // one individual or none there is no list, and everyone meets every criterion.
        for (const LocusRef &ref : loci)
            if (criteria.isBuilt() && !criteria.setCriterion(ref.group, ref.locus, *criterion))
                return fail(error, "criterion " + text + " does not fit marker " + marker);
    }
    return true;
}

std::optional<SortRequest> sortRequest(const std::string &value, const GenotypeData &data, const AlleleTable &alleles,
                                       std::string *error)
{
    const size_t colon = value.find(':');
    const std::string kind = value.substr(0, colon);
    const std::string argument = colon == std::string::npos ? std::string() : value.substr(colon + 1);
    const bool hasArgument = colon != std::string::npos;
    if (!hasArgument) {
        if (kind == "all")
            return SortRequest::allMarkers();
        if (kind == "alias")
            return SortRequest::alias();
        if (kind == "none")
            return SortRequest::undo();
    } else if (kind == "marker") {
        const std::vector<LocusRef> loci = findLoci(data, argument);
        if (loci.empty()) {
            fail(error, "unknown marker " + argument);
            return std::nullopt;
        }
        return SortRequest::marker(loci.front().group, loci.front().locus, argument);
    } else if (kind == "group") {
        int group = -1;
        if (const auto number = parseInteger(argument); number && *number >= 1 && *number <= data.GroupCount())
            group = static_cast<int>(*number - 1);
        for (int g = 0; g < data.GroupCount() && group < 0; ++g)
            if (data.GroupName(g) == argument)
                group = g;
        if (group < 0) {
            fail(error, "unknown group " + argument);
            return std::nullopt;
        }
        return SortRequest::wholeGroup(group, data.GroupName(group));
    } else if (kind == "allele") {
        if (argument.size() != 1 || AlleleTable::indexOf(argument.front()) < 0) {
            fail(error, "bad allele code " + argument);
            return std::nullopt;
        }
        return SortRequest::alleleContent(IndividualSort::alleleItem(alleles, argument.front()));
    }
    fail(error, "bad sort " + value + " (all, marker:NAME, group:N, alias, allele:CODE or none)");
    return std::nullopt;
}

} // namespace

bool parseSelectionOptions(std::vector<std::string> &args, SelectionOptions &options, std::string *error)
{
    std::vector<std::string> rest;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string &arg = args[i];
        std::string option = arg;
        std::optional<std::string> value;
        const size_t equals = arg.find('=');
        if (arg.rfind("--", 0) == 0 && equals != std::string::npos) {
            option = arg.substr(0, equals);
            value = arg.substr(equals + 1);
        }
        if (option != CriteriaOption && option != ListOption && option != SortOption) {
            rest.push_back(arg);
            continue;
        }
        if (!value) {
            if (i + 1 >= args.size())
                return fail(error, option + " needs a value");
            value = args[++i];
        }
        if (value->empty())
            return fail(error, option + " needs a value");
        if (option == CriteriaOption) {
            for (const std::string &item : splitAt(*value, ',')) {
                const size_t at = item.find('=');
                if (at == std::string::npos || at == 0)
                    return fail(error, "bad criterion " + item + " (MARKER=CODE or MARKER=!CODE)");
                const std::string text = item.substr(at + 1);
                if (!MarkerCriteria::Criterion::fromText(text))
                    return fail(error, "bad criterion " + item + " (MARKER=CODE or MARKER=!CODE)");
                options.criteria.emplace_back(item.substr(0, at), text);
            }
        } else if (option == ListOption) {
            options.selectList = *value;
        } else {
            options.sort = *value;
        }
    }
    args.swap(rest);
    return true;
}

bool applySelectionOptions(const SelectionOptions &options, GenotypeData &data, const AlleleTable &alleles, UserInterface &ui,
                           std::string *error, SelectionOptionsReport *report)
{
    SelectionOptionsReport local;
    SelectionOptionsReport &out = report ? *report : local;
    // Everything is checked before anything changes.
    std::optional<SortRequest> request;
    if (options.sort) {
        request = sortRequest(*options.sort, data, alleles, error);
        if (!request)
            return false;
    }
    MarkerCriteria criteria(data);
    if (!options.criteria.empty()) {
        criteria.build(ui);
        if (!setCriteria(options, criteria, data, error))
            return false;
    }
    if (!options.selectList.empty()) {
        std::string reason;
        if (!SelectionList::readSelectionListFile(options.selectList, data, &reason))
            return fail(error, reason);
        SelectionList::leavePage(data, out.texts);
    }
    if (!options.criteria.empty()) {
        if (options.selectList.empty()) {
            criteria.apply(out.texts);
        } else {
            // The list's ticks stay; leaving the criteria page takes away whoever fails.
            data.Selectionyesno = true;
            out.texts.statusText = SelectionTexts::CriteriaSet;
        }
        criteria.leavePage(out.texts);
    }
    if (request) {
        const SortOutcome outcome = IndividualSort::sortIndividuals(data, *request, ui);
        out.sorted = outcome.sorted;
        out.sortStatus = outcome.statusText;
    }
    return true;
}

bool applySelectionOptions(std::vector<std::string> &args, GenotypeData &data, const AlleleTable &alleles, UserInterface &ui,
                           std::string *error, SelectionOptionsReport *report)
{
    SelectionOptions options;
    if (!parseSelectionOptions(args, options, error))
        return false;
    return applySelectionOptions(options, data, alleles, ui, error, report);
}

} // namespace rvk::cli
