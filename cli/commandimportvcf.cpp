// rvk-cli import-vcf: a VCF, BCF or HapMap file as a data file of the program's own.
#include "cli/clicommand.h"
#include "cli/clisession.h"
#include "cli/commandarguments.h"
#include "core/textformat.h"

#include <ostream>

namespace rvk::cli {

namespace {

constexpr const char *Usage = "import-vcf IN [--map FILE] [--region CHROM[:FROM-TO]] [--samples FILE] [--min-maf X] "
                              "[--max-missing X] [--popt ri|f2|dh|hap|bc] --out NAME.rvk";

int runImportVcf(const std::vector<std::string> &args, CommandContext &context)
{
    CommandArguments parsed;
    std::string error;
    if (!parseCommandArguments(args, {"--map", "--region", "--samples", "--min-maf", "--max-missing", "--popt", "--out"}, {},
                               parsed, error)
        || parsed.files.size() != 1 || parsed.value("--out").empty()) {
        context.err << "rvk-cli import-vcf: " << (error.empty() ? "one input file and --out are needed" : error) << "\n"
                    << "usage: rvk-cli " << Usage << "\n";
        return 2;
    }
    if (platformFormatOf(parsed.files.front()) == PlatformFormat::None) {
        context.err << "rvk-cli import-vcf: " << parsed.files.front()
                    << " is not named as a VCF, BCF or HapMap file (.vcf, .vcf.gz, .bcf, .hmp.txt)\n";
        return 2;
    }
    PlatformImportOptions options;
    options.mapFile = parsed.value("--map");
    options.region = parsed.value("--region");
    options.samplesFile = parsed.value("--samples");
    options.popt = parsed.value("--popt");
    for (const auto &[option, target, low, high] : {std::tuple{"--min-maf", &options.minMaf, 0.0, 0.5},
                                                   std::tuple{"--max-missing", &options.maxMissing, 0.0, 1.0}}) {
        if (!parsed.has(option))
            continue;
        const auto value = parseDecimal(parsed.value(option));
        if (!value || *value < low || *value > high) {
            context.err << "rvk-cli import-vcf: " << option << " takes a number from " << formatGeneral(low) << " to "
                        << formatGeneral(high) << "\n";
            return 2;
        }
        *target = *value;
    }

    CliSession session(context);
    session.loader.setPlatformOptions(options);
    if (!session.open(parsed.files))
        return 1;
    return session.saveDataFile(parsed.value("--out"), context.out);
}

const CommandRegistration registration({"import-vcf", Usage,
                                        "read a VCF, BCF or HapMap file (each chromosome a linkage group) and write it as a "
                                        "data file; info, render, stats, save and the exports also open these files directly",
                                        &runImportVcf});

} // namespace

} // namespace rvk::cli
