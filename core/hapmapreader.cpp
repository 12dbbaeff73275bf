// HapMap text files (plain or gzipped): eleven fixed columns ("rs#", "alleles", "chrom", "pos",
// ...) and one column per sample, with calls as two letters ("AG") or one IUPAC letter ("R").
#include "core/platformimport.h"
#include "core/readexception.h"
#include "core/textformat.h"

#include <htslib/bgzf.h>
#include <htslib/hfile.h>
#include <htslib/hts.h>
#include <htslib/kstring.h>
#include <htslib/tbx.h>

#include <array>
#include <filesystem>
#include <memory>
#include <string_view>
#include <unordered_map>

namespace rvk {

namespace {

constexpr size_t FixedColumns = 11;

std::string fileNameOf(const std::string &path) { return std::filesystem::path(path).filename().string(); }

void splitTabs(std::string_view line, std::vector<std::string_view> &fields)
{
    fields.clear();
    size_t start = 0;
    while (true) {
        size_t end = line.find_first_of("\t ", start);
        if (end == std::string_view::npos) {
            if (start < line.size())
                fields.push_back(line.substr(start));
            return;
        }
        if (end > start)
            fields.push_back(line.substr(start, end - start));
        start = end + 1;
    }
}

// The two bases an IUPAC letter stands for; a base letter stands for itself twice.
std::array<char, 2> iupacBases(char letter)
{
    switch (letter) {
    case 'R': return {'A', 'G'};
    case 'Y': return {'C', 'T'};
    case 'S': return {'C', 'G'};
    case 'W': return {'A', 'T'};
    case 'K': return {'G', 'T'};
    case 'M': return {'A', 'C'};
    default: return {letter, letter};
    }
}

struct QuietFile
{
    void operator()(htsFile *f) const { hts_close(f); }
};

} // namespace

PlatformData readHapMapFile(const std::string &path, const PlatformImportOptions &options, const PlatformReadHooks &hooks)
{
    const std::string name = fileNameOf(path);
    std::unique_ptr<htsFile, QuietFile> file(hts_open(path.c_str(), "r"));
    if (!file)
        throw readexception("Unable to open " + path);
    kstring_t text = {0, 0, nullptr};
    struct Free
    {
        kstring_t &s;
        ~Free() { free(s.s); }
    } freeText{text};

    GenomeRegion region;
    const bool hasRegion = !options.region.empty();
    if (hasRegion && !parseGenomeRegion(options.region, region))
        throw readexception("\"" + options.region + "\" is not a region (CHROM or CHROM:FROM-TO)");

    long long lineNumber = 0;
    std::vector<std::string_view> fields;
    auto fail = [&](const std::string &why) -> void {
        throw readexception(name + ", line " + std::to_string(lineNumber) + ": " + why);
    };

    // The header line names the samples.
    int status = hts_getline(file.get(), '\n', &text);
    ++lineNumber;
    if (status < 0)
        throw readexception(name + " is empty");
    std::string_view header(text.s, text.l);
    if (!header.empty() && header.back() == '\r')
        header.remove_suffix(1);
    splitTabs(header, fields);
    if (fields.size() < FixedColumns || (fields[0] != "rs#" && fields[0] != "rs"))
        fail("a HapMap file starts with the header line \"rs# alleles chrom pos ...\"");
    if (fields.size() == FixedColumns)
        fail("the header names no samples, so there are no genotypes to read");
    std::vector<std::string> allSamples(fields.begin() + FixedColumns, fields.end());

    // The columns to read: every sample, or those of the samples file in its order.
    std::vector<size_t> columns;
    PlatformData data;
    if (options.samplesFile.empty()) {
        for (size_t i = 0; i < allSamples.size(); ++i)
            columns.push_back(FixedColumns + i);
        data.samples = allSamples;
    } else {
        std::unordered_map<std::string, size_t> columnOf;
        for (size_t i = 0; i < allSamples.size(); ++i)
            columnOf.emplace(allSamples[i], FixedColumns + i);
        for (const std::string &sample : readSampleList(options.samplesFile)) {
            const auto found = columnOf.find(sample);
            if (found == columnOf.end()) {
                data.report.samplesNotFound.push_back(sample);
                continue;
            }
            columns.push_back(found->second);
            data.samples.push_back(sample);
        }
        if (columns.empty())
            throw readexception(name + ": none of the samples of " + options.samplesFile + " is in the file");
    }
    const std::vector<std::string> notFound = data.report.samplesNotFound;

    SiteCollector collector(options, static_cast<int>(columns.size()));
    const long long total = static_cast<long long>(std::filesystem::file_size(path));
    std::string chrom;
    while ((status = hts_getline(file.get(), '\n', &text)) >= 0) {
        ++lineNumber;
        std::string_view line(text.s, text.l);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        if (line.find_first_not_of(" \t") == std::string_view::npos)
            continue;
        if ((lineNumber & 1023) == 0) {
            if (hooks.progress) {
                // Compressed files tell their place in the stored bytes; plain ones in their text.
                const long long done = file->format.compression == no_compression
                                           ? static_cast<long long>(htell(file->fp.hfile))
                                           : static_cast<long long>(bgzf_tell(file->fp.bgzf) >> 16);
                hooks.progress(done, total);
            }
            if (hooks.cancelRequested && hooks.cancelRequested()) {
                data.cancelled = true;
                return data;
            }
        }
        splitTabs(line, fields);
        if (fields.size() != FixedColumns + allSamples.size())
            fail("the line has " + std::to_string(fields.size()) + " columns, the header " + std::to_string(FixedColumns + allSamples.size()));
        chrom.assign(fields[2]);
        const auto position = parseInteger(fields[3]);
        if (!position)
            fail("the position \"" + std::string(fields[3]) + "\" is not a whole number");
        if (hasRegion && !region.contains(chrom, *position)) {
            ++collector.report().outsideRegion;
            continue;
        }
        // "A/G": the first allele is coded "A", the second "B".
        const std::string_view alleles = fields[1];
        std::array<char, 2> allele{'\0', '\0'};
        int alleleCount = 0;
        for (size_t i = 0; i < alleles.size(); ++i) {
            if (alleles[i] == '/')
                continue;
            if (alleleCount < 2)
                allele[static_cast<size_t>(alleleCount)] = static_cast<char>(std::toupper(static_cast<unsigned char>(alleles[i])));
            ++alleleCount;
        }
        if (alleleCount > 2) {
            ++collector.report().sitesRead;
            ++collector.report().multiAllelic;
            continue;
        }
        if (alleleCount == 0)
            fail("the alleles column \"" + std::string(alleles) + "\" names no allele");
        auto indexOf = [&allele](char base) -> int {
            base = static_cast<char>(std::toupper(static_cast<unsigned char>(base)));
            return base == allele[0] ? 0 : (base == allele[1] && allele[1] != '\0' ? 1 : -1);
        };
        std::string &codes = collector.codes();
        codes.resize(columns.size());
        for (size_t k = 0; k < columns.size(); ++k) {
            const std::string_view call = fields[columns[k]];
            std::array<char, 2> bases{'N', 'N'};
            if (call.size() == 2)
                bases = {call[0], call[1]};
            else if (call.size() == 1)
                bases = iupacBases(static_cast<char>(std::toupper(static_cast<unsigned char>(call[0]))));
            const int a = indexOf(bases[0]), b = indexOf(bases[1]);
            codes[k] = a < 0 || b < 0 ? MissingCallCode : (a != b ? 'H' : (a == 0 ? 'A' : 'B'));
        }
        collector.addSite(chrom, *position, std::string(fields[0]), false);
    }
    if (status < -1)
        throw readexception(name + ": reading stopped after line " + std::to_string(lineNumber)
                            + ": the file is truncated or damaged");
    if (hooks.progress)
        hooks.progress(total, total);
    collector.finish(data);
    data.report.samplesNotFound = notFound;
    return data;
}

} // namespace rvk
