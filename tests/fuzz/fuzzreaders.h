#pragma once
// What each fuzz target reads, one function per reader: the fuzz programs call them under the
// sanitizers, and the normal test suite runs the inputs kept from earlier findings through them.

#include "fuzzinput.h"

#include "core/datafilereader.h"
#include "core/dataloader.h"
#include "core/genotypedata.h"
#include "core/platformimport.h"
#include "core/textlines.h"
#include "io/locusmapmerger.h"
#include "io/newickreader.h"
#include "io/rtfdocument.h"
#include "io/spreadsheetexchange.h"
#include "io/spreadsheetreader.h"
#include "io/traitfile.h"
#include "selection/selectionlists.h"
#include "settings/alleletable.h"
#include "settings/displaysettings.h"
#include "settings/inifile.h"
#include "settings/settingsfile.h"

#include <exception>
#include <functional>
#include <map>

namespace rvk::fuzz {

// The data-file reader on text in memory: a single group, or the blocks of a multi-group file.
inline int fuzzDatafile(const uint8_t *data, size_t size)
{
    const std::string_view input = text(data, size);
    GenotypeData genotypes;
    SilentUserInterface ui;
    DataFileReader reader(genotypes, ui);
    reader.setSourceText(input);
    try {
        if (DataFileReader::isMultiGroupText(input))
            reader.SplitMultiGroupFile(splitLines(input), [] {});
        else
            reader.ReadGroup(splitLines(input));
    } catch (const std::exception &) {
        // A refused file is a good outcome; only crashes, hangs and memory faults are findings.
    }
    return 0;
}

// The loader on a file: the mapped-file checks, the multi-group path and the group registration.
inline int fuzzLoader(const uint8_t *data, size_t size)
{
    const std::string path = asFile(data, size, ".rvk");
    GenotypeData genotypes;
    SilentUserInterface ui;
    DataLoader loader(genotypes, ui);
    loader.OpenFiles({path});
    return 0;
}

// The locus/map merger: a map text and a locus text from one input, merged into files.
inline int fuzzMerger(const uint8_t *data, size_t size)
{
    const auto [map, locus] = split(data, size);
    SilentUserInterface ui;
    LocusMapMerger merger(ui);
    if (merger.addMapText(map, "fuzz.map")) {
        merger.setLocusText(locus, folderFile("fuzz.loc"));
        merger.merge(folderFile("merged"), true);
    }
    return 0;
}

// Newick text: the full reader of trees from other programs and the tree window's text reader.
inline int fuzzNewick(const uint8_t *data, size_t size)
{
    const std::string_view newick = text(data, size);
    std::string error;
    (void)ParseNewickFile(newick, &error);
    (void)ReadTreeText(newick, [](const std::string &) {});
    return 0;
}

// Pasted tables: the exchange window's paste, recoding and import.
inline int fuzzPaste(const uint8_t *data, size_t size)
{
    SilentUserInterface ui;
    SpreadsheetExchange exchange(ui);
    exchange.paste(std::string(text(data, size)));
    (void)exchange.recode(size % 2 == 0);
    GenotypeData genotypes;
    AlleleTable alleles;
    exchange.ImportIntoRvk(genotypes, alleles);
    return 0;
}

// Genotyping-platform files: VCF/BCF through htslib (the format is told by the bytes) and HapMap.
inline int fuzzPlatform(const uint8_t *data, size_t size)
{
    for (const char *ending : {".vcf", ".hmp.txt"}) {
        try {
            (void)readPlatformFile(asFile(data, size, ending), {});
        } catch (const std::exception &) {
        }
    }
    return 0;
}

// Selection lists (.rvl) read against a small data set.
inline int fuzzSelectionlist(const uint8_t *data, size_t size)
{
    GenotypeData genotypes;
    genotypes.nind = 4;
    genotypes.IndividualNames = {"P1", "P2", "plant 3", ""};
    genotypes.TickAll();
    std::string error;
    SelectionList::readSelectionListFile(asFile(data, size, ".rvl"), genotypes, &error);
    return 0;
}

// The initialisation-file layer on text in memory, then the same bytes as a settings file.
inline int fuzzSettings(const uint8_t *data, size_t size)
{
    IniFile ini(folderFile("fuzz.ini"));
    ini.setText(text(data, size));
    (void)ini.readString("recent", "1", "");
    (void)ini.readInteger("options", "barwidth", 8);
    (void)ini.readFloat("options", "Lenmul", 1.0);
    (void)ini.readBool("options", "autosize", true);
    ini.writeString("recent", "1", "x");
    (void)ini.text();

    DisplaySettings settings("/nonexistent/");
    std::string error;
    loadSettings(asFile(data, size, ".rvs"), settings, &error);
    return 0;
}

// Spreadsheet bytes: our own .xls worksheet-stream reader and the .csv reader (whole files, FreeXL
// and liborcus included, are the workbook target's).
inline int fuzzSpreadsheet(const uint8_t *data, size_t size)
{
    const std::string_view bytes = text(data, size);
    std::string error;
    (void)SpreadsheetReader::readWorksheetStream(bytes, &error);
    (void)SpreadsheetReader::readCsv(bytes);
    return 0;
}

// Spreadsheet files as the program opens them, by their first bytes: workbooks through FreeXL or
// liborcus (each in a child process), or text. Slow: a child process per input.
inline int fuzzWorkbook(const uint8_t *data, size_t size)
{
    std::string error;
    (void)SpreadsheetReader::read(asFile(data, size, ".xls"), &error);
    return 0;
}

// RTF files as the report window opens them.
inline int fuzzRtf(const uint8_t *data, size_t size)
{
    (void)RtfReader::read(text(data, size));
    return 0;
}

// The side files of a genotyping-platform import: a site map (the merger's layout or PLINK's) and
// a samples file from one input, and the region text of the import's options.
inline int fuzzSidefiles(const uint8_t *data, size_t size)
{
    const auto [siteMap, samples] = split(data, size);
    try {
        (void)readSiteMap(asFile(reinterpret_cast<const uint8_t *>(siteMap.data()), siteMap.size(), ".map"));
        (void)readSampleList(asFile(reinterpret_cast<const uint8_t *>(samples.data()), samples.size(), ".txt"));
    } catch (const std::exception &) {
    }
    GenomeRegion region;
    (void)parseGenomeRegion(std::string(samples.substr(0, samples.find('\n'))), region);
    return 0;
}

// Trait files (.qua).
inline int fuzzTraitfile(const uint8_t *data, size_t size)
{
    (void)TraitFileReader::readText(text(data, size));
    return 0;
}

// The readers by the names of their fuzz programs (fuzz_NAME).
inline const std::map<std::string, std::function<int(const uint8_t *, size_t)>> &fuzzReaders()
{
    static const std::map<std::string, std::function<int(const uint8_t *, size_t)>> readers{
        {"datafile", fuzzDatafile},
        {"loader", fuzzLoader},
        {"merger", fuzzMerger},
        {"newick", fuzzNewick},
        {"paste", fuzzPaste},
        {"platform", fuzzPlatform},
        {"rtf", fuzzRtf},
        {"sidefiles", fuzzSidefiles},
        {"selectionlist", fuzzSelectionlist},
        {"settings", fuzzSettings},
        {"spreadsheet", fuzzSpreadsheet},
        {"workbook", fuzzWorkbook},
        {"traitfile", fuzzTraitfile},
    };
    return readers;
}

} // namespace rvk::fuzz
