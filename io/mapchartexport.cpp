#include "io/mapchartexport.h"

#include "core/datafilewriter.h"
#include "core/textformat.h"
#include "settings/alleletable.h"

#include <filesystem>

namespace rvk {

namespace {

const char *const LineEnd = "\r\n";

bool hasQtl(const Tlocinfo &locus) { return locus.QtlStart != 0.0; }

// The individual's code at a locus; for "cp" the first code of its pair.
char codeOf(const GenotypeData &data, const Tlocinfo &locus)
{
    const std::string_view codes = data.Genotype(locus, data.CurrentIndividual - 1);
    return codes.empty() ? ' ' : codes.front();
}

} // namespace

MapChartExport::MapChartExport(const GenotypeData &data, const AlleleTable &alleles, UserInterface &ui)
    : mData(data), mAlleles(alleles), mUi(ui)
{
}

int MapChartExport::colorNumber(const AlleleTable &alleles, char code)
{
    if (AlleleTable::indexOf(code) < 0 || !alleles.lookup(code).Used)
        return 0;
    int number = 1;
    for (int i = 0; i < AlleleTable::Size; ++i) {
        if (alleles.entry(i).Used)
            ++number;
        if (AlleleTable::codeOf(i) == code)
            return number;
    }
    return 0;
}

std::string MapChartExport::segmentLines(const GenotypeData &data, const AlleleTable &alleles, int group)
{
    const auto &loci = data.GroupLoci(group);
    if (loci.empty())
        return {};
    std::string text;
    auto segment = [&](double from, double to, char code) {
        text += formatText("%2.1f %2.1f", {from, to}) + " c" + std::to_string(colorNumber(alleles, code)) + LineEnd;
    };
    double start = loci.front().Position;
    double previous = loci.front().Position;
    char code = codeOf(data, loci.front());
    for (size_t i = 0; i < loci.size(); ++i) {
        if (hasQtl(loci[i]))
            continue;
        const double p = loci[i].Position;
        const double middle = previous + (p - previous) / 2;
        if (i >= 1) {
            segment(start, middle, code);
            code = codeOf(data, loci[i]);
            start = middle;
        }
        previous = p;
    }
    segment(start, loci.back().Position, code);
    return text;
}

std::string MapChartExport::chartText(const GenotypeData &data, const AlleleTable &alleles, const Options &options)
{
    std::string text;
    auto add = [&text](const std::string &line) {
        text += line;
        text += LineEnd;
    };
    const int individual = data.CurrentIndividual - 1;
    const std::string name = individual >= 0 && static_cast<size_t>(individual) < data.IndividualNames.size()
                               ? data.IndividualNames[static_cast<size_t>(individual)]
                               : std::string();
    add(";RVK derived MapChart file");
    add(";" + options.date);
    add(";" + data.CurrentGroupName);
    add(";" + options.footerText);
    add(";individual: " + std::to_string(data.CurrentIndividual) + "  [" + name + "]");
    for (int k = 0; k < data.GroupCount(); ++k) {
        add("chrom " + std::to_string(k + 1));
        std::string qtls;
        for (const Tlocinfo &locus : data.GroupLoci(k)) {
            if (hasQtl(locus))
                qtls += locus.Name
                      + formatText(" %2.1f %2.1f %2.1f %2.1f", {locus.QtlStart, locus.QtlStart, locus.QtlStart, locus.QtlEnd})
                      + " c" + std::to_string(colorNumber(alleles, codeOf(data, locus))) + LineEnd;
            else
                add(locus.Name + " " + formatText("%2.1f", {locus.Position}));
        }
        if (!qtls.empty()) {
            add("QTLs");
            text += qtls;
        }
        const std::string segments = segmentLines(data, alleles, k);
        if (!segments.empty()) {
            add("segments");
            text += segments;
        }
    }
    return text;
}

std::string MapChartExport::chartOptionsText(const AlleleTable &alleles, const Options &options)
{
    std::string text;
    auto add = [&text](const std::string &line) {
        text += line;
        text += LineEnd;
    };
    for (const char *line : {"", "[Chart Options]", "Version=20", "", "[Loci]"})
        add(line);
    add("LocusFontName=" + options.fontName);
    add("LocusFontSize=" + std::to_string(options.fontSize));
    add("");
    add("[Graphs]");
    add("LegendFontName=" + options.fontName);
    for (const char *line : {"", "[Colors]", "Transparent=1", "MaxColor=10", "16777215", "0"})
        add(line);
    for (int i = 0; i < AlleleTable::Size; ++i)
        if (alleles.entry(i).Used)
            add(std::to_string(alleles.entry(i).Color));
    for (int i = 0; i < 8; ++i)
        add("0");
    return text;
}

std::string MapChartExport::write(const std::string &chosenPath, const Options &options)
{
    std::string path = chosenPath;
    if (std::filesystem::path(path).extension().empty())
        path += ".mct";
    if (!writeFileReplacing(path, chartText(mData, mAlleles, options) + chartOptionsText(mAlleles, options), mUi))
        return {};
    return path;
}

std::string MapChartExport::ExportMapChart(bool individualView, const Options &options)
{
    if (mData.GroupCount() == 0 || !individualView) {
        mUi.warning(notIndividualViewWarning());
        return {};
    }
    const std::string chosen = mUi.saveFileName("Create MapChart data", DialogFilter, {});
    if (chosen.empty())
        return {};
    return write(chosen, options);
}

} // namespace rvk
