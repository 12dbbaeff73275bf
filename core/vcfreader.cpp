// VCF and BCF files through htslib: plain, bgzipped or BCF, with an index for regions when the
// file has one.
#include "core/platformimport.h"
#include "core/readexception.h"

#include <htslib/bgzf.h>
#include <htslib/hfile.h>
#include <htslib/hts.h>
#include <htslib/hts_log.h>
#include <htslib/kstring.h>
#include <htslib/tbx.h>
#include <htslib/vcf.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <optional>
#include <unordered_set>

namespace rvk {

namespace {

std::string fileNameOf(const std::string &path) { return std::filesystem::path(path).filename().string(); }

struct HtsCloser
{
    void operator()(htsFile *f) const { hts_close(f); }
    void operator()(bcf_hdr_t *h) const { bcf_hdr_destroy(h); }
    void operator()(bcf1_t *r) const { bcf_destroy(r); }
    void operator()(hts_idx_t *i) const { hts_idx_destroy(i); }
    void operator()(tbx_t *t) const { tbx_destroy(t); }
    void operator()(hts_itr_t *i) const { hts_itr_destroy(i); }
};
template <typename T> using HtsPointer = std::unique_ptr<T, HtsCloser>;

// htslib writes its own complaints to standard error; the reader tells the person itself.
struct QuietHtslib
{
    QuietHtslib() : mLevel(hts_get_log_level()) { hts_set_log_level(HTS_LOG_OFF); }
    ~QuietHtslib() { hts_set_log_level(mLevel); }
    enum htsLogLevel mLevel;
};

// How far the reading is, in bytes of the file as stored.
long long storedOffset(htsFile *file)
{
    if (file->format.compression == bgzf || file->format.format == bcf)
        if (BGZF *compressed = hts_get_bgzfp(file))
            return static_cast<long long>(bgzf_tell(compressed) >> 16);
    if (file->format.compression == no_compression && file->fp.hfile)
        return static_cast<long long>(htell(file->fp.hfile));
    return 0;
}

// A BCF file gives the length of its header and of each record before them, and htslib sets
// aside what a length claims before it reads a byte: a damaged length would have it reserve
// gigabytes. No header or record of genotypes comes near a gigabyte.
constexpr uint64_t GreatestBcfLength = uint64_t(1) << 30;

// The little-endian 32-bit word `offset` bytes into what comes next in the stream, where it lies
// within the block in memory (nearly always); nothing otherwise.
std::optional<uint64_t> peekWord(BGZF *stream, int offset)
{
    if (!stream || bgzf_peek(stream) < 0 || stream->block_length - stream->block_offset < offset + 4)
        return std::nullopt;
    const auto *w = static_cast<const unsigned char *>(stream->uncompressed_block) + stream->block_offset + offset;
    return uint64_t(w[0]) | uint64_t(w[1]) << 8 | uint64_t(w[2]) << 16 | uint64_t(w[3]) << 24;
}

class VcfFileReader
{
public:
    VcfFileReader(const std::string &path, const PlatformImportOptions &options, const PlatformReadHooks &hooks)
        : mPath(path), mName(fileNameOf(path)), mOptions(options), mHooks(hooks)
    {
    }

    PlatformData read()
    {
        QuietHtslib quiet;
        mFile.reset(hts_open(mPath.c_str(), "r"));
        if (!mFile)
            throw readexception("Unable to open " + mPath);
        const htsExactFormat format = hts_get_format(mFile.get())->format;
        if (format != vcf && format != bcf)
            throw readexception(mName + " is not a VCF or BCF file");
        // A bgzipped file ends in an empty block: without it the file was cut short, and its last
        // records would be lost without a word. (No decompression threads: htslib's threaded
        // reader takes a damaged block for the end of the file.)
        if (mFile->format.compression == bgzf)
            if (BGZF *compressed = hts_get_bgzfp(mFile.get()); compressed && bgzf_check_EOF(compressed) == 0)
                throw readexception(mName + ": the file is truncated (its end-of-file block is missing)");
        if (format == bcf)
            if (const auto text = peekWord(hts_get_bgzfp(mFile.get()), 5); text && *text > GreatestBcfLength)
                throw readexception(mName + ": the BCF header is damaged (its length claims " + std::to_string(*text) + " bytes)");
        mHeader.reset(bcf_hdr_read(mFile.get()));
        if (!mHeader)
            throw readexception(mName + ": the VCF header cannot be read");
        selectSamples();
        const int samples = bcf_hdr_nsamples(mHeader.get());
        if (samples == 0)
            throw readexception(mName + ": the header names no samples, so there are no genotypes to read");
        if (!bcf_hdr_idinfo_exists(mHeader.get(), BCF_HL_FMT, bcf_hdr_id2int(mHeader.get(), BCF_DT_ID, "GT")))
            throw readexception(mName + ": the header defines no GT field, so there are no genotypes to read");

        PlatformData data;
        for (int i = 0; i < samples; ++i)
            data.samples.emplace_back(mHeader->samples[i]);
        SiteCollector collector(mOptions, samples);
        mTotal = static_cast<long long>(std::filesystem::file_size(mPath));
        mRecord.reset(bcf_init());

        GenomeRegion region;
        const bool hasRegion = !mOptions.region.empty();
        if (hasRegion && !parseGenomeRegion(mOptions.region, region))
            throw readexception("\"" + mOptions.region + "\" is not a region (CHROM or CHROM:FROM-TO)");
        if (hasRegion && openRegionIterator()) {
            while (nextInRegion())
                if (!take(collector, samples)) {
                    data.cancelled = true;
                    return data;
                }
        } else {
            int status = 0;
            for (;;) {
                checkNextRecordLength(format);
                if ((status = bcf_read(mFile.get(), mHeader.get(), mRecord.get())) != 0)
                    break;
                if (hasRegion && !region.contains(bcf_seqname_safe(mHeader.get(), mRecord.get()), mRecord->pos + 1)) {
                    ++collector.report().outsideRegion;
                    ++mRecordNumber;
                    continue;
                }
                if (!take(collector, samples)) {
                    data.cancelled = true;
                    return data;
                }
            }
            if (status < -1)
                failAfterLastRecord();
        }
        if (mHooks.progress)
            mHooks.progress(mTotal, mTotal);
        collector.finish(data);
        data.report.samplesNotFound = mSamplesNotFound;
        return data;
    }

private:
    void selectSamples()
    {
        if (mOptions.samplesFile.empty())
            return;
        const std::vector<std::string> wanted = readSampleList(mOptions.samplesFile);
        std::unordered_set<std::string> present;
        for (int i = 0; i < bcf_hdr_nsamples(mHeader.get()); ++i)
            present.insert(mHeader->samples[i]);
        std::string list;
        for (const std::string &sample : wanted) {
            if (!present.count(sample)) {
                mSamplesNotFound.push_back(sample);
                continue;
            }
            if (sample.find(',') != std::string::npos)
                throw readexception(mOptions.samplesFile + ": the sample name \"" + sample + "\" holds a comma");
            list += (list.empty() ? "" : ",") + sample;
        }
        if (list.empty())
            throw readexception(mName + ": none of the samples of " + mOptions.samplesFile + " is in the file");
        if (bcf_hdr_set_samples(mHeader.get(), list.c_str(), 0) != 0)
            throw readexception(mName + ": the samples of " + mOptions.samplesFile + " cannot be selected");
    }

    bool openRegionIterator()
    {
        if (hts_get_format(mFile.get())->format == bcf) {
            mIndex.reset(bcf_index_load(mPath.c_str()));
            if (!mIndex)
                return false;
            mIterator.reset(bcf_itr_querys(mIndex.get(), mHeader.get(), mOptions.region.c_str()));
        } else {
            mTabix.reset(tbx_index_load(mPath.c_str()));
            if (!mTabix)
                return false;
            mIterator.reset(tbx_itr_querys(mTabix.get(), mOptions.region.c_str()));
        }
        if (!mIterator)
            throw readexception(mName + ": the index knows no region \"" + mOptions.region + "\"");
        return true;
    }

    bool nextInRegion()
    {
        int status = 0;
        if (mTabix) {
            status = tbx_itr_next(mFile.get(), mTabix.get(), mIterator.get(), &mLine);
            if (status >= 0 && vcf_parse(&mLine, mHeader.get(), mRecord.get()) != 0)
                failAfterLastRecord();
        } else {
            status = bcf_itr_next(mFile.get(), mIterator.get(), mRecord.get());
            // Unlike bcf_read, the index's iterator leaves the chosen samples to its caller.
            if (status >= 0 && mHeader->keep_samples && bcf_subset_format(mHeader.get(), mRecord.get()) != 0)
                failAfterLastRecord();
        }
        if (status < -1)
            failAfterLastRecord();
        return status >= 0;
    }

    [[noreturn]] void failAfterLastRecord(const std::string &reason = "the file is truncated or malformed")
    {
        std::string where = "record " + std::to_string(mRecordNumber + 1);
        if (!mLastSite.empty())
            where += " (after " + mLastSite + ")";
        throw readexception(mName + ": reading stopped at " + where + ": " + reason);
    }

    // A BCF record starts with the lengths of its two parts (see GreatestBcfLength).
    void checkNextRecordLength(htsExactFormat format)
    {
        if (format != bcf)
            return;
        BGZF *stream = hts_get_bgzfp(mFile.get());
        const auto shared = peekWord(stream, 0), individual = peekWord(stream, 4);
        if (shared && individual && *shared + *individual > GreatestBcfLength)
            failAfterLastRecord("its length is damaged (it claims " + std::to_string(*shared + *individual) + " bytes)");
    }

    // Codes one record and hands it on; false when the person cancelled.
    bool take(SiteCollector &collector, int samples)
    {
        ++mRecordNumber;
        bcf1_t *record = mRecord.get();
        const char *chrom = bcf_seqname_safe(mHeader.get(), record);
        const long long position = record->pos + 1;
        // A position that is no number is read as 0, a line short of its columns is flagged.
        // Contigs and tags the header does not declare are fine: htslib declares them itself.
        if ((record->errcode & (BCF_ERR_NCOLS | BCF_ERR_LIMITS | BCF_ERR_CTG_INVALID)) || record->pos < 0) {
            --mRecordNumber;
            failAfterLastRecord();
        }
        if ((mRecordNumber & 1023) == 0) {
            if (mHooks.progress)
                mHooks.progress(storedOffset(mFile.get()), mTotal);
            if (mHooks.cancelRequested && mHooks.cancelRequested())
                return false;
        }
        mLastSite = std::string(chrom) + ":" + std::to_string(position);
        PlatformImportReport &report = collector.report();
        if (record->n_allele > 2) {
            ++report.sitesRead;
            ++report.multiAllelic;
            return true;
        }
        // htslib ends the whole program when asked for genotypes stored as anything but whole
        // numbers (a damaged FORMAT column can do that): such a record is refused first.
        bcf_unpack(record, BCF_UN_FMT);
        const bcf_fmt_t *gt = bcf_get_fmt(mHeader.get(), record, "GT");
        if (!gt)
            throw readexception(mName + ": record " + std::to_string(mRecordNumber) + " (" + mLastSite + ") has no GT field");
        if (gt->type != BCF_BT_INT8 && gt->type != BCF_BT_INT16 && gt->type != BCF_BT_INT32)
            throw readexception(mName + ": record " + std::to_string(mRecordNumber) + " (" + mLastSite
                                + ") has a GT field that holds no genotypes");
        const int values = bcf_get_genotypes(mHeader.get(), record, &mGenotypes, &mGenotypeCapacity);
        if (values <= 0)
            throw readexception(mName + ": record " + std::to_string(mRecordNumber) + " (" + mLastSite + ") has no GT field");
        const int ploidy = values / samples;
        if (ploidy < 1 || ploidy > 2 || ploidy * samples != values) {
            ++report.sitesRead;
            ++report.otherPloidy;
            return true;
        }
        std::string &codes = collector.codes();
        codes.resize(static_cast<size_t>(samples));
        bool haploidOnly = true;
        for (int i = 0; i < samples; ++i) {
            const int32_t *call = mGenotypes + static_cast<ptrdiff_t>(i) * ploidy;
            const bool second = ploidy == 2 && call[1] != bcf_int32_vector_end;
            char code = MissingCallCode;
            if (!bcf_gt_is_missing(call[0]) && call[0] != bcf_int32_vector_end && (!second || !bcf_gt_is_missing(call[1]))) {
                const int a = bcf_gt_allele(call[0]);
                if (!second) {
                    code = a == 0 ? 'A' : 'B';
                } else {
                    const int b = bcf_gt_allele(call[1]);
                    code = a != b ? 'H' : (a == 0 ? 'A' : 'B');
                }
            }
            haploidOnly = haploidOnly && !second;
            codes[static_cast<size_t>(i)] = code;
        }
        bcf_unpack(record, BCF_UN_STR);
        const char *id = record->d.id;
        std::string name = id && !(id[0] == '.' && id[1] == '\0') ? std::string(id) : std::string(chrom) + "_" + std::to_string(position);
        collector.addSite(chrom, position, std::move(name), haploidOnly);
        return true;
    }

    std::string mPath, mName;
    const PlatformImportOptions &mOptions;
    const PlatformReadHooks &mHooks;
    HtsPointer<htsFile> mFile;
    HtsPointer<bcf_hdr_t> mHeader;
    HtsPointer<bcf1_t> mRecord;
    HtsPointer<hts_idx_t> mIndex;
    HtsPointer<tbx_t> mTabix;
    HtsPointer<hts_itr_t> mIterator;
    kstring_t mLine = {0, 0, nullptr};
    int32_t *mGenotypes = nullptr;
    int mGenotypeCapacity = 0;
    long long mRecordNumber = 0;
    long long mTotal = 0;
    std::string mLastSite;
    std::vector<std::string> mSamplesNotFound;

public:
    ~VcfFileReader()
    {
        free(mGenotypes);
        free(mLine.s);
    }
};

} // namespace

PlatformData readVcfFile(const std::string &path, const PlatformImportOptions &options, const PlatformReadHooks &hooks)
{
    return VcfFileReader(path, options, hooks).read();
}

} // namespace rvk
