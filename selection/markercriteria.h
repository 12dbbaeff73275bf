#pragma once

#include "selection/selectiontexts.h"
#include "settings/alleletable.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rvk {

class GenotypeData;
class UserInterface;

// The marker selection criteria of a data set and the criteria list that shows them: for each
// linkage group one header row, then one row per locus with its caption, position, criterion and
// genotype codes. The list is a model over the data set: it stores one small criterion per locus
// and computes the row texts when they are asked for, so a data set with many thousands of loci
// builds at once.
//
// Individuals that fail a criterion lose their tick in GenotypeData::Ticked when the criteria
// are applied or the criteria page is left; GenotypeData::Selectionyesno says whether the ticks
// filter the views.
class MarkerCriteria
{
public:
    enum class CriterionState { Header, None, Require, Exclude };
    enum Column { MarkerColumn, PosColumn, SelectColumn, AllelesColumn, ColumnCount };
    enum class RowShade { Plain, Tooltip, GroupHeader };
    static constexpr Rgb GroupHeaderColor = rgb(192, 220, 192);

    // Modifier keys held while a key is typed in the list.
    enum KeyModifier : unsigned {
        NoModifier = 0,
        ShiftModifier = 1,
        ControlModifier = 2,
        AltModifier = 4,     // any other modifier leaves the row unchanged
        KeypadModifier = 8,  // the key is on the numeric keypad
    };

    // One criterion: required or excluded code(s). Cross-pollinator loci compare a whole
    // two-character genotype; one code there means "carries that code".
    struct Criterion
    {
        CriterionState state = CriterionState::None;
        char codes[2] = {0, 0};

        int codeCount() const { return codes[0] == 0 ? 0 : (codes[1] == 0 ? 1 : 2); }
        // "All", "a", "!a", "ab", "!ab".
        std::string text() const;
        // The criterion of a text as text() writes it ("All" and "*" for none); nothing for any
        // other text.
        static std::optional<Criterion> fromText(std::string_view text);
        bool operator==(const Criterion &other) const
        {
            return state == other.state && codes[0] == other.codes[0] && codes[1] == other.codes[1];
        }
    };

    struct RowRef
    {
        int group = -1;
        int locus = -1; // -1 on a group header row
        bool isHeader() const { return locus < 0; }
    };

    static constexpr const char *Instructions[3] = {"> Type the code you want to select",
                                                    "> Hold CTRL to select all EXCEPT the typed code",
                                                    "> Type * (Numeric keypad) to remove a selection"};
    static const char *columnCaption(int column);
    static int columnWidth(int column); // 0: automatic
    static bool columnRightAligned(int column) { return column == SelectColumn; }

    explicit MarkerCriteria(GenotypeData &data);

    // Builds the list for the loaded data set, every criterion "All". Does nothing with one
    // individual or none. Shows the busy cursor and runs the progress bar over the loci.
    bool build(UserInterface &ui);
    // Empties the list; every load and reset of the data set does this.
    void clear();
    // Whether the list has been built for the loaded data set.
    bool isBuilt() const { return mBuilt; }

    int rowCount() const { return mBuilt ? mHeaderRows.back() : 0; }
    RowRef rowAt(int row) const;
    int rowOf(int group, int locus) const; // locus -1: the group's header row; -1 when unknown
    std::string cellText(int row, int column) const;
    CriterionState rowState(int row) const;
    RowShade rowShade(int row) const;

    // A key typed on a row: the code, or "*", sets the row's criterion. Returns whether the
    // criterion changed. On a cross-pollinator locus a second code typed with the same modifiers
    // after a first one completes the two-character genotype; the next code starts anew.
    bool typeKey(int row, char key, unsigned modifiers);
    // Sets a criterion directly; false for an unknown locus, a code outside "*".."z" or two codes
    // on a locus that is not a cross-pollinator's.
    bool setCriterion(int group, int locus, const Criterion &criterion);
    Criterion criterion(int group, int locus) const;
    int activeCriterionCount() const;
    // Every criterion back to "All".
    void clearCriteria();

    // Whether individual i meets the criteria of group's loci; always true while filtering is off.
    bool MeetsCriteria(int group, int individual) const;
    // The same over every group.
    bool meetsAllCriteria(int individual) const;

    // The menu's "Apply Selection Filtering": filtering on sets every tick from the criteria alone;
    // off ticks everyone and releases locks. Updates texts.statusText.
    void toggleFiltering(SelectionTexts &texts);
    // "Apply": filtering on, ticks from the criteria alone (even when it was on already).
    void apply(SelectionTexts &texts);
    // "Clear All": every criterion "All", filtering off, then the page is left. Returns the
    // label frequency as leavePage does.
    int clearAll(SelectionTexts &texts);
    // Leaving the criteria page. With filtering on, individuals failing a criterion lose their
    // tick (a tick removed by hand is never given back) and the criteria and results texts are
    // written; with filtering off everyone is ticked and the texts are emptied. Returns the
    // drawing's "Print labels every" value: 1 with filtering on, 5 with it off.
    int leavePage(SelectionTexts &texts);

    // The criteria text (Memo1) and the results text (Memo2).
    std::vector<std::string> criteriaText() const;
    std::vector<std::string> resultsText() const;

private:
    bool validRow(int row) const { return mBuilt && row >= 0 && row < rowCount(); }
    bool validLocus(int group, int locus) const;
    bool groupIsCrossPollinator(int group) const;
    bool passes(const Criterion &criterion, int group, int locus, int individual) const;
    // Clears the ticks of individuals failing any criterion; one pass over each criterion's codes.
    void untickFailing();
    std::string locusCaption(int group, int locus) const;

    GenotypeData &mData;
    bool mBuilt = false;
    // Group g's header is row mHeaderRows[g], its loci follow; the last entry is the row count.
    std::vector<int> mHeaderRows;
    // Criterion of locus l of group g at mCriteria[mFirstLocus[g] + l].
    std::vector<int> mFirstLocus;
    std::vector<Criterion> mCriteria;
};

} // namespace rvk
