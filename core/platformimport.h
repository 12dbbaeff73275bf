#pragma once
// Genotypes from genotyping platforms: VCF/BCF files (read through htslib) and HapMap text files.
// Each chromosome becomes a linkage group, each site a locus, each sample an individual; calls
// are coded as the program's own data files code them ("A", "H", "B"), a missing call "U".

#include "core/genotypecodes.h"
#include "core/linkagegroup.h"

#include <functional>
#include <string>
#include <unordered_map>
#include <vector>

namespace rvk {

enum class PlatformFormat { None, Vcf, HapMap };

// The code of a missing call: the one the default allele table treats as missing (value -99).
// ("-" would count as an observation with the value of "H" until the user changed the table.)
constexpr char MissingCallCode = UnknownCode;

// The format a file name says: .vcf, .vcf.gz, .vcf.bgz and .bcf are VCF; .hmp.txt (also
// gzipped) is HapMap. Case is ignored.
PlatformFormat platformFormatOf(const std::string &path);

// What the person chose for an import; the defaults take every site and sample.
struct PlatformImportOptions
{
    std::string mapFile;     // cM positions by site name (a map file of the merger, or a PLINK .map)
    std::string region;      // CHROM or CHROM:FROM-TO, 1-based and inclusive
    std::string samplesFile; // one sample name per line
    double minMaf = 0.0;     // sites with a smaller minor-allele frequency are left out
    double maxMissing = 1.0; // sites with a larger share of missing calls are left out
    std::string popt;        // empty: "ri" when no heterozygous call occurs, else "f2"

    bool operator==(const PlatformImportOptions &) const = default;
};

// What was read and what was left out, told in one message after the import.
struct PlatformImportReport
{
    long long sitesRead = 0;
    long long sitesKept = 0;
    long long multiAllelic = 0;   // more than two alleles
    long long otherPloidy = 0;    // neither haploid nor diploid
    long long belowMaf = 0;
    long long tooMuchMissing = 0;
    long long notInMap = 0;
    long long outsideRegion = 0;  // read without an index and outside the region
    std::vector<std::string> samplesNotFound; // named in the samples file, absent from the file
    std::vector<std::string> sitesNotInMap;   // their names, the first few

    bool leftSomethingOut() const;
    // "FILE: 49,000 of 50,000 sites kept; left out: ..." (empty when nothing was left out).
    std::string summary(const std::string &fileName) const;
};

// The result of reading one file: groups in file order, with their loci in file order.
struct PlatformData
{
    std::vector<LinkageGroup> groups;
    std::vector<std::string> samples;
    std::string popt;
    PlatformImportReport report;
    bool cancelled = false;
};

struct PlatformReadHooks
{
    std::function<void(long long position, long long maximum)> progress;
    std::function<bool()> cancelRequested; // polled now and then; true stops the read
};

// Reads a VCF, BCF or HapMap file. A file that cannot be read raises readexception with a text
// that names the file and, where there is one, the line or record.
PlatformData readPlatformFile(const std::string &path, const PlatformImportOptions &options,
                              const PlatformReadHooks &hooks = {});

// cM positions by site name from a map file: the merger's layout (group lines "chrom X" or
// "group X", then "name position") or PLINK's (chromosome, name, cM, base pair).
std::unordered_map<std::string, double> readSiteMap(const std::string &path);

// The samples named in a samples file, one per line (blank lines and lines starting with "#"
// ignored).
std::vector<std::string> readSampleList(const std::string &path);

// Shared by the readers: filters each site, codes it, and files it under its chromosome's group.
class SiteCollector
{
public:
    SiteCollector(const PlatformImportOptions &options, int sampleCount);

    // The codes of the next site, one per sample: fill codes() and call addSite.
    std::string &codes() { return mCodes; }
    // Files the site whose codes are in codes(): hets counts the "H" calls. Applies the
    // missing-share, minor-allele-frequency and map filters.
    void addSite(const std::string &chrom, long long position, std::string name, bool haploid);

    PlatformImportReport &report() { return mReport; }
    // The groups in the order their chromosomes first appeared, without empty ones; the
    // population type chosen or deduced from the calls.
    void finish(PlatformData &data);

private:
    const PlatformImportOptions &mOptions;
    int mSampleCount;
    std::string mCodes;
    std::unordered_map<std::string, double> mMap;
    bool mUseMap = false;
    std::unordered_map<std::string, size_t> mGroupOfChrom;
    std::vector<LinkageGroup> mGroups;
    bool mHeterozygous = false;
    PlatformImportReport mReport;
};

// A region "CHROM" or "CHROM:FROM-TO" (FROM and TO 1-based, inclusive; "," allowed in numbers).
struct GenomeRegion
{
    std::string chrom;
    long long from = 1;
    long long to = -1; // -1: to the end
    bool contains(const std::string &c, long long position) const
    {
        return c == chrom && position >= from && (to < 0 || position <= to);
    }
};
// False for a text that is not such a region.
bool parseGenomeRegion(const std::string &text, GenomeRegion &region);

// Reads a VCF or BCF file through htslib; used by readPlatformFile.
PlatformData readVcfFile(const std::string &path, const PlatformImportOptions &options, const PlatformReadHooks &hooks);
// Reads a HapMap text file; used by readPlatformFile.
PlatformData readHapMapFile(const std::string &path, const PlatformImportOptions &options, const PlatformReadHooks &hooks);

} // namespace rvk
