#include "selection/markercriteria.h"

#include "core/genotypedata.h"
#include "core/textformat.h"
#include "core/userinterface.h"
#include "selection/selectionlists.h"

#include <algorithm>
#include <cctype>

namespace rvk {

namespace {

bool isCode(char c) { return c >= '*' && c <= 'z'; }
char upper(char c) { return static_cast<char>(std::toupper(static_cast<unsigned char>(c))); }

} // namespace

// ---------------------------------------------------------------------------------------------
// Criterion

std::string MarkerCriteria::Criterion::text() const
{
    if (state != CriterionState::Require && state != CriterionState::Exclude)
        return "All";
    std::string result = state == CriterionState::Exclude ? "!" : "";
    for (int k = 0; k < codeCount(); ++k)
        result += codes[k];
    return result;
}

std::optional<MarkerCriteria::Criterion> MarkerCriteria::Criterion::fromText(std::string_view text)
{
    Criterion criterion;
    if (text.empty() || text == "*" || (text.size() == 3 && upper(text[0]) == 'A' && upper(text[1]) == 'L' && upper(text[2]) == 'L'))
        return criterion;
    criterion.state = CriterionState::Require;
    if (text.front() == '!') {
        criterion.state = CriterionState::Exclude;
        text.remove_prefix(1);
    }
    if (text.empty() || text.size() > 2)
        return std::nullopt;
    for (size_t k = 0; k < text.size(); ++k) {
        if (!isCode(text[k]))
            return std::nullopt;
        criterion.codes[k] = text[k];
    }
    return criterion;
}

// ---------------------------------------------------------------------------------------------
// The list

const char *MarkerCriteria::columnCaption(int column)
{
    switch (column) {
    case MarkerColumn: return "Marker";
    case PosColumn: return "Pos";
    case SelectColumn: return "Select";
    case AllelesColumn: return " Alleles";
    default: return "";
    }
}

int MarkerCriteria::columnWidth(int column)
{
    switch (column) {
    case MarkerColumn: return 200;
    case PosColumn: return 100;
    case SelectColumn: return 80;
    default: return 0;
    }
}

MarkerCriteria::MarkerCriteria(GenotypeData &data)
    : mData(data)
{
}

bool MarkerCriteria::build(UserInterface &ui)
{
    clear();
    if (mData.nind <= 1)
        return false;
    const long long total = mData.TotalLocusCount();
    ui.setBusy(true);
    ui.setProgress(0, total);
    const int groups = mData.GroupCount();
    mHeaderRows.clear();
    mFirstLocus.clear();
    mHeaderRows.reserve(static_cast<size_t>(groups) + 1);
    mFirstLocus.reserve(static_cast<size_t>(groups) + 1);
    int row = 0;
    int locus = 0;
    for (int g = 0; g < groups; ++g) {
        mHeaderRows.push_back(row);
        mFirstLocus.push_back(locus);
        const int count = mData.GroupLocusCount(g);
        row += 1 + count;
        locus += count;
    }
    mHeaderRows.push_back(row);
    mFirstLocus.push_back(locus);
    mCriteria.assign(static_cast<size_t>(locus), Criterion{});
    mBuilt = true;
    ui.setProgress(total, total);
    ui.setProgress(0, 0);
    ui.setBusy(false);
    return true;
}

void MarkerCriteria::clear()
{
    mBuilt = false;
    mHeaderRows.assign(1, 0);
    mFirstLocus.assign(1, 0);
    mCriteria.clear();
    mCriteria.shrink_to_fit();
}

MarkerCriteria::RowRef MarkerCriteria::rowAt(int row) const
{
    if (!validRow(row))
        return {};
    const auto next = std::upper_bound(mHeaderRows.begin(), mHeaderRows.end(), row);
    const int group = static_cast<int>(next - mHeaderRows.begin()) - 1;
    return {group, row - mHeaderRows[static_cast<size_t>(group)] - 1};
}

int MarkerCriteria::rowOf(int group, int locus) const
{
    if (!mBuilt || group < 0 || group + 1 >= static_cast<int>(mHeaderRows.size()))
        return -1;
    const int header = mHeaderRows[static_cast<size_t>(group)];
    if (locus < 0)
        return header;
    if (header + 1 + locus >= mHeaderRows[static_cast<size_t>(group) + 1])
        return -1;
    return header + 1 + locus;
}

bool MarkerCriteria::validLocus(int group, int locus) const
{
    // The data set may have changed since the build; rows whose locus is gone show nothing.
    if (!mBuilt || group < 0 || group >= mData.GroupCount() || group + 1 >= static_cast<int>(mFirstLocus.size()))
        return false;
    const int count = mFirstLocus[static_cast<size_t>(group) + 1] - mFirstLocus[static_cast<size_t>(group)];
    return locus >= 0 && locus < count && locus < mData.GroupLocusCount(group);
}

bool MarkerCriteria::groupIsCrossPollinator(int group) const { return mData.GroupPopType(group) == "cp"; }

std::string MarkerCriteria::locusCaption(int group, int locus) const
{
    const Tlocinfo &l = mData.GroupLoci(group)[static_cast<size_t>(locus)];
    std::string caption = " " + l.Name;
    if (mData.popt == "cp" && l.Name.find('{') == std::string::npos)
        caption += " " + l.SegType;
    return caption;
}

std::string MarkerCriteria::cellText(int row, int column) const
{
    const RowRef ref = rowAt(row);
    if (ref.group < 0)
        return {};
    if (ref.isHeader()) {
        if (ref.group >= mData.GroupCount())
            return {};
        if (column == MarkerColumn)
            return "Linkage-group " + formatText("%d", {ref.group + 1});
        if (column == PosColumn)
            return " <" + mData.GroupName(ref.group) + ">";
        return {};
    }
    if (!validLocus(ref.group, ref.locus))
        return {};
    const Tlocinfo &l = mData.GroupLoci(ref.group)[static_cast<size_t>(ref.locus)];
    switch (column) {
    case MarkerColumn: return locusCaption(ref.group, ref.locus);
    case PosColumn: return formatText("%3.1f ", {l.Position});
    case SelectColumn: return criterion(ref.group, ref.locus).text();
    case AllelesColumn: return l.Genotypes;
    default: return {};
    }
}

MarkerCriteria::CriterionState MarkerCriteria::rowState(int row) const
{
    const RowRef ref = rowAt(row);
    if (ref.group < 0 || ref.isHeader())
        return CriterionState::Header;
    return criterion(ref.group, ref.locus).state;
}

MarkerCriteria::RowShade MarkerCriteria::rowShade(int row) const
{
    if (cellText(row, MarkerColumn).find("Linkage-group") != std::string::npos)
        return RowShade::GroupHeader;
    return row % 2 == 0 ? RowShade::Tooltip : RowShade::Plain;
}

// ---------------------------------------------------------------------------------------------
// Criteria

bool MarkerCriteria::typeKey(int row, char key, unsigned modifiers)
{
    const RowRef ref = rowAt(row);
    if (ref.group < 0 || ref.isHeader() || !validLocus(ref.group, ref.locus))
        return false;
    if (modifiers & AltModifier)
        return false;
    const bool shift = modifiers & ShiftModifier;
    const bool control = modifiers & ControlModifier;
    Criterion next;
    const bool star = (key == '*' && !control) || (key == '8' && shift && !control && !(modifiers & KeypadModifier));
    if (!star) {
        char code = 0;
        if (std::isalpha(static_cast<unsigned char>(key))) {
            code = static_cast<char>(std::tolower(static_cast<unsigned char>(key)));
            if (shift)
                code = upper(code);
        } else if (std::isdigit(static_cast<unsigned char>(key)) && !shift) {
            code = key;
        } else {
            return false;
        }
        next.state = control ? CriterionState::Exclude : CriterionState::Require;
        next.codes[0] = code;
        const Criterion current = criterion(ref.group, ref.locus);
        if (groupIsCrossPollinator(ref.group) && current.state == next.state && current.codeCount() == 1) {
            next.codes[0] = current.codes[0];
            next.codes[1] = code;
        }
    }
    const Criterion old = criterion(ref.group, ref.locus);
    if (old == next)
        return false;
    return setCriterion(ref.group, ref.locus, next);
}

bool MarkerCriteria::setCriterion(int group, int locus, const Criterion &criterion)
{
    if (!validLocus(group, locus))
        return false;
    Criterion stored = criterion;
    if (stored.state != CriterionState::Require && stored.state != CriterionState::Exclude) {
        stored = Criterion{};
    } else {
        if (stored.codeCount() == 0 || !isCode(stored.codes[0]) || (stored.codes[1] != 0 && !isCode(stored.codes[1])))
            return false;
        if (stored.codeCount() == 2 && !groupIsCrossPollinator(group))
            return false;
    }
    mCriteria[static_cast<size_t>(mFirstLocus[static_cast<size_t>(group)] + locus)] = stored;
    return true;
}

MarkerCriteria::Criterion MarkerCriteria::criterion(int group, int locus) const
{
    if (!validLocus(group, locus))
        return {};
    return mCriteria[static_cast<size_t>(mFirstLocus[static_cast<size_t>(group)] + locus)];
}

int MarkerCriteria::activeCriterionCount() const
{
    return static_cast<int>(std::count_if(mCriteria.begin(), mCriteria.end(), [](const Criterion &c) {
        return c.state == CriterionState::Require || c.state == CriterionState::Exclude;
    }));
}

void MarkerCriteria::clearCriteria() { std::fill(mCriteria.begin(), mCriteria.end(), Criterion{}); }

bool MarkerCriteria::passes(const Criterion &criterion, int group, int locus, int individual) const
{
    if (criterion.state != CriterionState::Require && criterion.state != CriterionState::Exclude)
        return true;
    const std::string &codes = mData.GroupLoci(group)[static_cast<size_t>(locus)].Genotypes;
    bool match;
    if (groupIsCrossPollinator(group)) {
        // A genotype is compared without regard to case, as a pair or by the one code it carries.
        const size_t at = static_cast<size_t>(individual) * 2;
        const char first = at < codes.size() ? upper(codes[at]) : 0;
        const char second = at + 1 < codes.size() ? upper(codes[at + 1]) : 0;
        if (criterion.codeCount() == 2)
            match = first == upper(criterion.codes[0]) && second == upper(criterion.codes[1]);
        else
            match = first == upper(criterion.codes[0]) || second == upper(criterion.codes[0]);
    } else {
        const size_t at = static_cast<size_t>(individual);
        match = at < codes.size() && codes[at] == criterion.codes[0];
    }
    return criterion.state == CriterionState::Require ? match : !match;
}

bool MarkerCriteria::MeetsCriteria(int group, int individual) const
{
    if (!mData.Selectionyesno || !mBuilt || group < 0 || group >= mData.GroupCount())
        return true;
    const int count = mData.GroupLocusCount(group);
    for (int l = 0; l < count; ++l) {
        const Criterion c = criterion(group, l);
        if (!passes(c, group, l, individual))
            return false;
    }
    return true;
}

bool MarkerCriteria::meetsAllCriteria(int individual) const
{
    for (int g = 0; g < mData.GroupCount(); ++g)
        if (!MeetsCriteria(g, individual))
            return false;
    return true;
}

void MarkerCriteria::untickFailing()
{
    if (!mBuilt || !mData.Selectionyesno)
        return;
    const int n = static_cast<int>(mData.Ticked.size());
    for (int g = 0; g < mData.GroupCount(); ++g) {
        const int count = mData.GroupLocusCount(g);
        for (int l = 0; l < count; ++l) {
            const Criterion c = criterion(g, l);
            if (c.state != CriterionState::Require && c.state != CriterionState::Exclude)
                continue;
            for (int i = 0; i < n; ++i)
                if (mData.Ticked[static_cast<size_t>(i)] && !passes(c, g, l, i))
                    mData.Ticked[static_cast<size_t>(i)] = 0;
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Applying

void MarkerCriteria::toggleFiltering(SelectionTexts &texts)
{
    if (!mData.Selectionyesno) {
        mData.Selectionyesno = true;
        texts.statusText = SelectionTexts::CriteriaSet;
        mData.Ticked.assign(mData.IndividualNames.size(), 1);
        if (mData.Locked.size() != mData.Ticked.size())
            mData.Locked.resize(mData.Ticked.size(), 0);
        untickFailing();
        mData.RebuildSelectedIndices();
    } else {
        mData.Selectionyesno = false;
        texts.statusText = SelectionTexts::NoSelection;
        SelectionList::selectAll(mData);
    }
}

void MarkerCriteria::apply(SelectionTexts &texts)
{
    mData.Selectionyesno = false;
    toggleFiltering(texts);
}

int MarkerCriteria::clearAll(SelectionTexts &texts)
{
    clearCriteria();
    mData.Selectionyesno = false;
    texts.statusText = SelectionTexts::NoSelection;
    return leavePage(texts);
}

int MarkerCriteria::leavePage(SelectionTexts &texts)
{
    if (mData.Selectionyesno) {
        untickFailing();
        mData.RebuildSelectedIndices();
        texts.Memo1 = criteriaText();
        texts.Memo2 = resultsText();
        return 1;
    }
    SelectionList::selectAll(mData);
    texts.clearMemos();
    return 5;
}

std::vector<std::string> MarkerCriteria::criteriaText() const
{
    std::vector<std::string> lines;
    lines.push_back("Selected in :");
    for (int g = 0; g < mData.GroupCount(); ++g)
        lines.push_back(mData.GroupName(g) + " <" + mData.GroupFileName(g) + ">");
    lines.push_back("Selection criteria:");
    if (!mBuilt)
        return lines;
    for (int g = 0; g < mData.GroupCount(); ++g) {
        const int count = mData.GroupLocusCount(g);
        for (int l = 0; l < count; ++l) {
            const Criterion c = criterion(g, l);
            if (c.state != CriterionState::Require && c.state != CriterionState::Exclude)
                continue;
            const int row = rowOf(g, l);
            lines.push_back(locusCaption(g, l) + " <group " + formatText("%d", {g + 1}) + " @ " + cellText(row, PosColumn)
                            + " > " + c.text());
        }
    }
    return lines;
}

std::vector<std::string> MarkerCriteria::resultsText() const
{
    std::vector<std::string> lines(1);
    const size_t n = std::min(mData.Ticked.size(), mData.IndividualNames.size());
    for (size_t i = 0; i < n; ++i)
        if (mData.Ticked[i])
            lines.push_back(formatText("Nr. %3d  [", {static_cast<long long>(i) + 1}) + mData.IndividualNames[i] + "]");
    lines.front() = formatText("%d", {static_cast<long long>(lines.size() - 1)}) + " individuals selected:";
    return lines;
}

} // namespace rvk
