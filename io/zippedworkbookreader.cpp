#include "io/zippedworkbookreader.h"

#include "core/textformat.h"

#include <orcus/orcus_ods.hpp>
#include <orcus/orcus_xlsx.hpp>
#include <orcus/spreadsheet/import_interface.hpp>

#include <cctype>
#include <cstdint>
#include <memory>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace rvk {

namespace {

namespace sheetimport = orcus::spreadsheet;

// What liborcus reads of a zipped workbook goes straight into a grid: the texts of the first
// worksheet's cells, numbers as "General" writes them, formulas by their stored results. Nothing
// liborcus is told is believed: a cell outside the sheet is dropped, and a cell naming a shared
// text the workbook does not hold makes the file refused (liborcus' own document model fails an
// assertion on it).
class FirstSheetCells final : public sheetimport::iface::import_sheet
{
public:
    FirstSheetCells(const std::vector<std::string> &strings, TextGrid *grid) : mStrings(strings), mGrid(grid), mFormula(*this) {}

    sheetimport::iface::import_formula *get_formula() override { return &mFormula; }

    void set_auto(sheetimport::row_t row, sheetimport::col_t col, std::string_view s) override { put(row, col, std::string(s)); }
    void set_string(sheetimport::row_t row, sheetimport::col_t col, sheetimport::string_id_t sindex) override
    {
        if (sindex < mStrings.size())
            put(row, col, mStrings[sindex]);
        else if (mGrid && inside(row, col))
            mLaterStrings.push_back({row, col, sindex}); // the strings may come after the sheet
    }
    // The strings the sheet named before the workbook's strings were read; false when one of them
    // is not in the workbook.
    bool putLaterStrings()
    {
        for (const LaterString &later : mLaterStrings) {
            if (later.index >= mStrings.size())
                return false;
            put(later.row, later.col, mStrings[later.index]);
        }
        mLaterStrings.clear();
        return true;
    }
    void set_value(sheetimport::row_t row, sheetimport::col_t col, double value) override { put(row, col, formatGeneral(value)); }
    void set_bool(sheetimport::row_t row, sheetimport::col_t col, bool value) override
    {
        put(row, col, value ? "TRUE" : "FALSE");
    }
    void set_date_time(sheetimport::row_t row, sheetimport::col_t col, int year, int month, int day, int hour, int minute,
                       double second) override
    {
        std::string text = std::to_string(year) + "-" + twoDigits(month) + "-" + twoDigits(day);
        const int seconds = static_cast<int>(second);
        if (hour != 0 || minute != 0 || seconds != 0)
            text += " " + twoDigits(hour) + ":" + twoDigits(minute) + ":" + twoDigits(seconds);
        put(row, col, std::move(text));
    }
    void set_format(sheetimport::row_t, sheetimport::col_t, size_t) override {}
    void set_format(sheetimport::row_t, sheetimport::col_t, sheetimport::row_t, sheetimport::col_t, size_t) override {}
    void fill_down_cells(sheetimport::row_t row, sheetimport::col_t col, sheetimport::row_t count) override
    {
        if (!mGrid || !inside(row, col) || count <= 0)
            return;
        const std::string text = mGrid->cell(col, row);
        for (sheetimport::row_t r = row + 1; r <= row + count && inside(r, col); ++r)
            put(r, col, text);
    }
    sheetimport::range_size_t get_sheet_size() const override { return {MaxRows, MaxColumns}; }

private:
    // The greatest sheet of the workbooks liborcus reads.
    static constexpr sheetimport::row_t MaxRows = 1048576;
    static constexpr sheetimport::col_t MaxColumns = 16384;

    static bool inside(sheetimport::row_t row, sheetimport::col_t col)
    {
        return row >= 0 && row < MaxRows && col >= 0 && col < MaxColumns;
    }
    static std::string twoDigits(int value) { return (value >= 0 && value < 10 ? "0" : "") + std::to_string(value); }
    void put(sheetimport::row_t row, sheetimport::col_t col, std::string text)
    {
        if (mGrid && inside(row, col))
            mGrid->setCell(col, row, std::move(text));
    }

    // A formula cell shows the result its workbook stored.
    class StoredResult final : public sheetimport::iface::import_formula
    {
    public:
        explicit StoredResult(FirstSheetCells &sheet) : mSheet(sheet) {}
        void set_position(sheetimport::row_t row, sheetimport::col_t col) override
        {
            mRow = row;
            mColumn = col;
            mText.clear();
        }
        void set_formula(sheetimport::formula_grammar_t, std::string_view) override {}
        void set_shared_formula_index(size_t) override {}
        void set_result_string(std::string_view value) override { mText = value; }
        void set_result_value(double value) override { mText = formatGeneral(value); }
        void set_result_bool(bool value) override { mText = value ? "TRUE" : "FALSE"; }
        void set_result_empty() override { mText.clear(); }
        void commit() override { mSheet.put(mRow, mColumn, std::move(mText)); }

    private:
        FirstSheetCells &mSheet;
        sheetimport::row_t mRow = -1;
        sheetimport::col_t mColumn = -1;
        std::string mText;
    };

    struct LaterString
    {
        sheetimport::row_t row;
        sheetimport::col_t col;
        sheetimport::string_id_t index;
    };

    const std::vector<std::string> &mStrings;
    TextGrid *mGrid; // null for the sheets after the first
    StoredResult mFormula;
    std::vector<LaterString> mLaterStrings;
};

class WorkbookStrings final : public sheetimport::iface::import_shared_strings
{
public:
    std::vector<std::string> strings;

    size_t append(std::string_view s) override
    {
        strings.emplace_back(s);
        return strings.size() - 1;
    }
    size_t add(std::string_view s) override
    {
        const auto [found, added] = mIndex.try_emplace(std::string(s), strings.size());
        return added ? append(s) : found->second;
    }
    void set_segment_font(size_t) override {}
    void set_segment_bold(bool) override {}
    void set_segment_italic(bool) override {}
    void set_segment_font_name(std::string_view) override {}
    void set_segment_font_size(double) override {}
    void set_segment_font_color(sheetimport::color_elem_t, sheetimport::color_elem_t, sheetimport::color_elem_t,
                                sheetimport::color_elem_t) override
    {
    }
    void append_segment(std::string_view s) override { mSegments += s; }
    size_t commit_segments() override
    {
        const size_t index = append(mSegments);
        mSegments.clear();
        return index;
    }

private:
    std::unordered_map<std::string, size_t> mIndex;
    std::string mSegments;
};

// Cell addresses in the A1 style ("B12", "$B$12", "Sheet1!B12"); what is not one becomes a place
// outside every sheet, where nothing is kept.
class A1Addresses final : public sheetimport::iface::import_reference_resolver
{
public:
    sheetimport::src_address_t resolve_address(std::string_view address) override
    {
        if (const size_t bang = address.rfind('!'); bang != std::string_view::npos)
            address.remove_prefix(bang + 1);
        int64_t column = 0, row = 0;
        size_t letters = 0, digits = 0;
        for (const char c : address) {
            if (c == '$')
                continue;
            if (digits == 0 && ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) && letters < 3) {
                column = column * 26 + (std::toupper(static_cast<unsigned char>(c)) - 'A' + 1);
                ++letters;
            } else if (letters > 0 && c >= '0' && c <= '9' && digits < 7) {
                row = row * 10 + (c - '0');
                ++digits;
            } else
                return {0, -1, -1};
        }
        if (letters == 0 || digits == 0 || row == 0)
            return {0, -1, -1};
        return {0, static_cast<sheetimport::row_t>(row - 1), static_cast<sheetimport::col_t>(column - 1)};
    }
    sheetimport::src_range_t resolve_range(std::string_view range) override
    {
        const size_t colon = range.find(':');
        const sheetimport::src_address_t first = resolve_address(range.substr(0, colon));
        return {first, colon == std::string_view::npos ? first : resolve_address(range.substr(colon + 1))};
    }
};

class FirstSheetFactory final : public sheetimport::iface::import_factory
{
public:
    TextGrid grid;
    bool hasSheet = false;

    sheetimport::iface::import_shared_strings *get_shared_strings() override { return &mStrings; }
    sheetimport::iface::import_reference_resolver *get_reference_resolver(sheetimport::formula_ref_context_t) override
    {
        return &mAddresses;
    }
    sheetimport::iface::import_sheet *append_sheet(sheetimport::sheet_t, std::string_view name) override
    {
        mNames.emplace_back(name);
        mSheets.push_back(std::make_unique<FirstSheetCells>(mStrings.strings, hasSheet ? nullptr : &grid));
        hasSheet = true;
        return mSheets.back().get();
    }
    sheetimport::iface::import_sheet *get_sheet(std::string_view name) override
    {
        for (size_t i = 0; i < mNames.size(); ++i)
            if (mNames[i] == name)
                return mSheets[i].get();
        return nullptr;
    }
    sheetimport::iface::import_sheet *get_sheet(sheetimport::sheet_t index) override
    {
        return index >= 0 && static_cast<size_t>(index) < mSheets.size() ? mSheets[static_cast<size_t>(index)].get() : nullptr;
    }
    void finalize() override {}

    // False when the first sheet names a string the workbook does not hold.
    bool finish() { return mSheets.empty() || mSheets.front()->putLaterStrings(); }

private:
    WorkbookStrings mStrings;
    A1Addresses mAddresses;
    std::vector<std::string> mNames;
    std::vector<std::unique_ptr<FirstSheetCells>> mSheets;
};

} // namespace

std::optional<TextGrid> readZippedWorkbook(const std::string &path, bool openDocument, std::string *reason)
{
    try {
        FirstSheetFactory factory;
        if (openDocument) {
            orcus::orcus_ods loader(&factory);
            loader.read_file(path);
        } else {
            orcus::orcus_xlsx loader(&factory);
            loader.read_file(path);
        }
        // liborcus does not always say when the archive is not of the kind it was asked for.
        if (!factory.hasSheet) {
            if (reason)
                *reason = "the workbook holds no worksheet";
            return std::nullopt;
        }
        if (!factory.finish()) {
            if (reason)
                *reason = "a cell refers to a text the workbook does not hold";
            return std::nullopt;
        }
        return std::move(factory.grid);
    } catch (const std::exception &error) {
        if (reason)
            *reason = error.what();
        return std::nullopt;
    }
}

} // namespace rvk
