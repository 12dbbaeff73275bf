#include "core/platformimport.h"

#include "core/readexception.h"
#include "core/textformat.h"
#include "core/textlines.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace rvk {

namespace {

bool endsWithNoCase(const std::string &text, std::string_view tail)
{
    if (text.size() < tail.size())
        return false;
    return toLower(std::string_view(text).substr(text.size() - tail.size())) == tail;
}

std::string fileNameOf(const std::string &path) { return std::filesystem::path(path).filename().string(); }

// "50,000": counts with thousands separated by commas, as the summary shows them.
std::string countText(long long n)
{
    std::string digits = std::to_string(n);
    for (int i = static_cast<int>(digits.size()) - 3; i > 0; i -= 3)
        digits.insert(static_cast<size_t>(i), ",");
    return digits;
}

std::vector<std::string> tokens(std::string_view line)
{
    std::vector<std::string> result;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r'))
            ++i;
        const size_t start = i;
        while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r')
            ++i;
        if (i > start)
            result.emplace_back(line.substr(start, i - start));
    }
    return result;
}

std::string readTextFile(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw readexception("Unable to open " + path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

PlatformFormat platformFormatOf(const std::string &path)
{
    for (std::string_view tail : {".vcf", ".vcf.gz", ".vcf.bgz", ".bcf"})
        if (endsWithNoCase(path, tail))
            return PlatformFormat::Vcf;
    for (std::string_view tail : {".hmp.txt", ".hmp.txt.gz"})
        if (endsWithNoCase(path, tail))
            return PlatformFormat::HapMap;
    return PlatformFormat::None;
}

bool PlatformImportReport::leftSomethingOut() const
{
    return sitesKept != sitesRead || outsideRegion > 0 || !samplesNotFound.empty();
}

std::string PlatformImportReport::summary(const std::string &fileName) const
{
    if (!leftSomethingOut())
        return {};
    std::string text = fileName + ": " + countText(sitesKept) + " of " + countText(sitesRead) + " sites kept.";
    std::vector<std::string> parts;
    if (multiAllelic > 0)
        parts.push_back(countText(multiAllelic) + " with more than two alleles");
    if (otherPloidy > 0)
        parts.push_back(countText(otherPloidy) + " neither haploid nor diploid");
    if (tooMuchMissing > 0)
        parts.push_back(countText(tooMuchMissing) + " with too many missing calls");
    if (belowMaf > 0)
        parts.push_back(countText(belowMaf) + " below the minimum minor-allele frequency");
    if (notInMap > 0) {
        std::string part = countText(notInMap) + " not in the map file";
        if (!sitesNotInMap.empty()) {
            part += " (";
            for (size_t i = 0; i < sitesNotInMap.size(); ++i)
                part += (i ? ", " : "") + sitesNotInMap[i];
            part += notInMap > static_cast<long long>(sitesNotInMap.size()) ? ", ...)" : ")";
        }
        parts.push_back(part);
    }
    if (outsideRegion > 0)
        parts.push_back(countText(outsideRegion) + " outside the region");
    if (!parts.empty()) {
        text += " Left out: ";
        for (size_t i = 0; i < parts.size(); ++i)
            text += (i ? "; " : "") + parts[i];
        text += ".";
    }
    if (!samplesNotFound.empty()) {
        text += " Samples of the samples file not in the file: ";
        for (size_t i = 0; i < samplesNotFound.size() && i < 10; ++i)
            text += (i ? ", " : "") + samplesNotFound[i];
        if (samplesNotFound.size() > 10)
            text += ", ... (" + countText(static_cast<long long>(samplesNotFound.size())) + " in all)";
        text += ".";
    }
    return text;
}

std::unordered_map<std::string, double> readSiteMap(const std::string &path)
{
    const std::string text = readTextFile(path);
    std::unordered_map<std::string, double> map;
    int lineNumber = 0;
    for (std::string_view line : splitLines(text)) {
        ++lineNumber;
        if (line.empty() || line.front() == ';' || line.front() == '#')
            continue;
        const std::vector<std::string> t = tokens(line);
        if (t.empty())
            continue;
        const std::string first = toLower(t[0]);
        if (t.size() >= 3 && parseDecimal(t[2])) {
            // PLINK: chromosome, name, cM, base pair.
            map[t[1]] = *parseDecimal(t[2]);
        } else if (t.size() >= 2 && parseDecimal(t[1]) && first != "chrom" && first != "group") {
            map[t[0]] = *parseDecimal(t[1]);
        } else if (first != "chrom" && first != "group") {
            throw readexception(path + ", line " + std::to_string(lineNumber) + ": \"" + std::string(line)
                                + "\" is neither a map line (name and cM) nor a PLINK map line");
        }
    }
    if (map.empty())
        throw readexception(path + " holds no map positions");
    return map;
}

std::vector<std::string> readSampleList(const std::string &path)
{
    const std::string text = readTextFile(path);
    std::vector<std::string> samples;
    for (std::string_view line : splitLines(text)) {
        const std::vector<std::string> t = tokens(line);
        if (!t.empty() && t[0].front() != '#')
            samples.push_back(t[0]);
    }
    if (samples.empty())
        throw readexception(path + " names no samples");
    return samples;
}

bool parseGenomeRegion(const std::string &text, GenomeRegion &region)
{
    const size_t colon = text.rfind(':');
    std::string range = colon == std::string::npos ? std::string() : text.substr(colon + 1);
    range.erase(std::remove(range.begin(), range.end(), ','), range.end());
    const size_t dash = range.find('-');
    const auto from = parseInteger(range.substr(0, dash));
    const auto to = dash == std::string::npos ? std::nullopt : parseInteger(range.substr(dash + 1));
    if (colon == std::string::npos || !from || (dash != std::string::npos && !to)) {
        // The whole text is a chromosome name (names may hold ":" themselves).
        if (text.empty())
            return false;
        region = GenomeRegion{text, 1, -1};
        return true;
    }
    region.chrom = text.substr(0, colon);
    region.from = *from;
    region.to = dash == std::string::npos ? *from : *to;
    return !region.chrom.empty() && region.from >= 1 && region.to >= region.from;
}

SiteCollector::SiteCollector(const PlatformImportOptions &options, int sampleCount)
    : mOptions(options), mSampleCount(sampleCount)
{
    mCodes.reserve(static_cast<size_t>(sampleCount));
    if (!options.mapFile.empty()) {
        mMap = readSiteMap(options.mapFile);
        mUseMap = true;
    }
}

void SiteCollector::addSite(const std::string &chrom, long long position, std::string name, bool haploid)
{
    ++mReport.sitesRead;
    long long missing = 0, b = 0, hets = 0;
    for (char code : mCodes) {
        missing += code == MissingCallCode;
        b += code == 'B';
        hets += code == 'H';
    }
    const long long called = mSampleCount - missing;
    if (mSampleCount > 0 && static_cast<double>(missing) > mOptions.maxMissing * mSampleCount) {
        ++mReport.tooMuchMissing;
        return;
    }
    if (mOptions.minMaf > 0.0) {
        const long long copies = haploid ? called : 2 * called;
        const long long bCopies = haploid ? b : 2 * b + hets;
        const double frequency = copies > 0 ? static_cast<double>(bCopies) / static_cast<double>(copies) : 0.0;
        if (std::min(frequency, 1.0 - frequency) < mOptions.minMaf) {
            ++mReport.belowMaf;
            return;
        }
    }
    double cM = static_cast<double>(position) / 1'000'000.0;
    if (mUseMap) {
        const auto found = mMap.find(name);
        if (found == mMap.end()) {
            ++mReport.notInMap;
            if (mReport.sitesNotInMap.size() < 10)
                mReport.sitesNotInMap.push_back(name);
            return;
        }
        cM = found->second;
    }
    mHeterozygous = mHeterozygous || hets > 0;
    auto [entry, added] = mGroupOfChrom.try_emplace(chrom, mGroups.size());
    if (added) {
        LinkageGroup group;
        group.Name = toLower(removeBlanks(chrom));
        mGroups.push_back(std::move(group));
    }
    Tlocinfo locus;
    locus.Name = std::move(name);
    locus.Position = cM;
    locus.Genotypes = mCodes;
    mGroups[entry->second].Loci.push_back(std::move(locus));
    ++mReport.sitesKept;
}

void SiteCollector::finish(PlatformData &data)
{
    data.popt = !mOptions.popt.empty() ? toLower(mOptions.popt) : (mHeterozygous ? "f2" : "ri");
    for (LinkageGroup &group : mGroups) {
        if (group.Loci.empty())
            continue;
        // Map positions need not follow the file's order; a stable sort keeps equal positions
        // in file order and leaves the loader's sort a single pass.
        std::stable_sort(group.Loci.begin(), group.Loci.end(),
                         [](const Tlocinfo &a, const Tlocinfo &b) { return a.Position < b.Position; });
        group.PopType = data.popt;
        data.groups.push_back(std::move(group));
    }
    mGroups.clear();
    data.report = mReport;
}

PlatformData readPlatformFile(const std::string &path, const PlatformImportOptions &options, const PlatformReadHooks &hooks)
{
    if (!(options.minMaf >= 0.0 && options.minMaf <= 0.5))
        throw readexception("The minimum minor-allele frequency must lie between 0 and 0.5");
    if (!(options.maxMissing >= 0.0 && options.maxMissing <= 1.0))
        throw readexception("The maximum share of missing calls must lie between 0 and 1");
    if (!options.popt.empty() && toLower(options.popt) == "cp")
        throw readexception("Platform genotypes cannot be read as cross-pollinator (cp) data");
    PlatformData data;
    switch (platformFormatOf(path)) {
    case PlatformFormat::Vcf:
        data = readVcfFile(path, options, hooks);
        break;
    case PlatformFormat::HapMap:
        data = readHapMapFile(path, options, hooks);
        break;
    case PlatformFormat::None:
        throw readexception(fileNameOf(path) + " is neither a VCF/BCF nor a HapMap file");
    }
    if (!data.cancelled && data.groups.empty())
        throw readexception(fileNameOf(path) + ": no site is left to read"
                            + (data.report.sitesRead > 0 ? " (" + data.report.summary(fileNameOf(path)) + ")" : std::string()));
    return data;
}

} // namespace rvk
