#pragma once

#include "core/genotypedata.h"
#include "core/userinterface.h"
#include "io/textgrid.h"

#include <string>
#include <vector>

namespace rvk {

class AlleleTable;

// The spreadsheet-exchange window "RVK <-> Excel data exchange" without its widgets: a free grid
// of text cells filled by pasting, by reading a spreadsheet file or from the data set; edited,
// recoded to code letters, saved as a spreadsheet file and imported as the new data set. The
// window shows grid() and calls the commands; every message goes through the UserInterface.
class SpreadsheetExchange
{
public:
    explicit SpreadsheetExchange(UserInterface &ui);

    const TextGrid &grid() const { return mGrid; }
    TextGrid &grid() { return mGrid; }   // cell edits of the window
    bool dataPasted() const { return mDataPasted; }
    bool importEnabled() const { return mImportEnabled; }
    bool recodeEnabled() const { return mRecodeEnabled; }

    // Target of pasting and of "Delete this row"; (0, 0) at start.
    void setRightClickCell(int column, int row);
    int rightClickColumn() const { return mClickColumn; }
    int rightClickRow() const { return mClickRow; }

    // "Show Headers:" "Yes" shows row 0 and column 0 as fixed headings.
    bool showHeaders = false;
    // "Impute map positions": loci are numbered 0, 1, 2, ... within their group.
    bool imputeMapPositions = false;
    // "Missing data is coded as: " (blank to ignore).
    std::string missingDataCode;

    // "Paste Excel data": tab-separated lines into the grid from the right-click cell on; a
    // field that is a number is stored with one decimal ("1" -> "1.0").
    void paste(const std::string &clipboardText);
    // "Clear": 5 x 5 empty cells; import and recode disabled.
    void clear();
    void addRow() { mGrid.appendRow(); }
    void insertColumn() { mGrid.appendColumn(); }
    // "Delete this row": asks deleteRowQuestion() first. Returns whether the row went.
    bool DeleteThisRow();
    std::string deleteRowQuestion() const;

    // "Open Excel File": open dialog, then openFile.
    bool OpenExcelFile();
    // Reads the first worksheet's used range into the grid; an unreadable file gives a message
    // and leaves the grid as it was. On success the window caption becomes "Display RVK - " + path.
    bool openFile(const std::string &path);
    // "Save Excel File": save dialog (".xls" appended to a name without extension), the grid
    // through the spreadsheet file writer, "Data saved as " + path. Returns the path or empty.
    std::string SaveExcelFile();
    std::string saveFile(const std::string &chosenPath);

    // "Recode": asks recodeQuestion(), then recode(answer).
    void Recode();
    // Replaces the texts of every row from row 2 on (columns from the first genotype column on)
    // by code letters "A", "B", ..., most frequent first when sortByFrequency; the missing-data
    // text becomes ".". Returns the log, one line per recoded row.
    std::string recode(bool sortByFrequency);
    const std::string &recodeLog() const { return mRecodeLog; }
    // The log's "Save".
    bool saveRecodeLog(const std::string &path);

    // "Import into RVK": builds the data set from the grid (its groups are replaced). Returns
    // whether a data set was built; the window then closes.
    bool ImportIntoRvk(GenotypeData &data, AlleleTable &alleles);

    // "Excel style edit": the data set in the grid form (any earlier content goes), and import
    // enabled. date is today's date as the window shows it.
    void fillFromDataSet(const GenotypeData &data, const std::string &date);

    // The texts the window shows.
    static std::string recodeQuestion()
    {
        return "Sort alleles before recode (most freq => A etc..)?\nSelect NO if your first column(s) contain(s) parental info";
    }
    static constexpr const char *NothingLoadedMessage = "no Excel data loaded/ pasted!";
    static std::string savedMessage(const std::string &path) { return "Data saved as " + path; }
    static std::string alleleCountMessage(const std::string &name, size_t length, int nind);
    static constexpr const char *OpenFilter = "Excel file|*.xls|Spreadsheet files (*.xls *.xlsx *.ods *.csv)|*.xls;*.xlsx;*.ods;*.csv";
    static constexpr const char *SaveFilter = "excel file|*.xls|text file|*.txt";

    // Where the grid's optional columns are and where the genotype cells begin.
    struct Layout
    {
        int segTypeColumn = -1;
        int phaseColumn = -1;
        bool alternative = false;
        int firstGenotypeColumn = 2;
    };
    static Layout findLayout(const TextGrid &grid);
    // The value of a header row: the text after the first "=" of column 0, or column 1.
    static std::string headerValue(const TextGrid &grid, int row);

    // The caption the main window takes after a file was read ("Display RVK - " + path).
    const std::string &captionPath() const { return mCaptionPath; }

private:
    void enableAfterData();

    UserInterface &mUi;
    TextGrid mGrid{5, 5};
    bool mDataPasted = false;
    bool mImportEnabled = false;
    bool mRecodeEnabled = false;
    int mClickColumn = 0;
    int mClickRow = 0;
    std::string mRecodeLog;
    std::string mCaptionPath;
};

} // namespace rvk
