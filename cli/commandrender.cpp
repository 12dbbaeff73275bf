// rvk-cli render: the window's picture of the opened data, written as an image file.
#include "cli/clicommand.h"
#include "cli/clisession.h"
#include "cli/commandoutput.h"
#include "core/textformat.h"
#include "genetics/datasetpicture.h"
#include "genetics/traittable.h"
#include "io/traitfile.h"
#include "render/picturefiles.h"

#include <functional>
#include <map>
#include <optional>
#include <ostream>

namespace rvk::cli {

namespace {

constexpr const char *Usage =
    "usage: rvk-cli render FILE... [--view group|individual|all|association] [--traits T.qua] [--group N] [--individual I] [--range A-B]\n"
    "                              [--zoom PERCENT] [--bw] [--settings FILE] [--height PIXELS] [--width PIXELS] --out PICTURE\n"
    "                              [--reference NAME [--donor NAME]]\n"
    "                              [--criteria MARKER=CODE[,MARKER=!CODE...]] [--select-list FILE.rvl]\n"
    "                              [--sort all|marker:NAME|group:N|alias|allele:CODE|none]\n"
    "PICTURE ends in .png, .jpg, .svg, .pdf or .emf\n";

struct RenderOptions
{
    std::vector<std::string> files;
    DataSetPictureRequest picture;
    std::string settings;
    std::string out;
    std::string traits; // the trait file of the association view
};

// Reads a value option's text into target; an error text, empty on success.
using OptionReader = std::function<std::string(const std::optional<std::string> &text)>;

OptionReader integerReader(int &target, int minimum, const std::string &error)
{
    return [&target, minimum, error](const std::optional<std::string> &text) {
        const auto number = text ? parseInteger(*text) : std::nullopt;
        if (!number || *number < minimum || *number > 1'000'000)
            return error;
        target = static_cast<int>(*number);
        return std::string();
    };
}

OptionReader textReader(std::string &target, const std::string &error, bool emptyAllowed = true)
{
    return [&target, error, emptyAllowed](const std::optional<std::string> &text) {
        if (!text || (!emptyAllowed && text->empty()))
            return error;
        target = *text;
        return std::string();
    };
}

std::map<std::string, OptionReader> renderOptionReaders(RenderOptions &o)
{
    DataSetPictureRequest &p = o.picture;
    return {
        {"--view", [&p](const std::optional<std::string> &text) {
             if (!text || (*text != "group" && *text != "individual" && *text != "all" && *text != "association"))
                 return std::string("--view takes group, individual, all or association");
             p.view = *text;
             return std::string();
         }},
        {"--group", integerReader(p.group, 1, "--group takes a group number from 1")},
        {"--individual", integerReader(p.individual, 1, "--individual takes an individual number from 1")},
        {"--range", [&p](const std::optional<std::string> &text) {
             const size_t dash = text ? text->find('-') : std::string::npos;
             const auto a = dash != std::string::npos ? parseInteger(text->substr(0, dash)) : std::nullopt;
             const auto b = dash != std::string::npos ? parseInteger(text->substr(dash + 1)) : std::nullopt;
             if (!a || !b || *a < 1 || *b < *a)
                 return std::string("--range takes FIRST-LAST individual numbers, for example 1-50");
             p.first = static_cast<int>(*a);
             p.last = static_cast<int>(*b);
             return std::string();
         }},
        {"--zoom", [&p](const std::optional<std::string> &text) {
             const auto number = text ? parseDecimal(*text) : std::nullopt;
             if (!number || *number < 10 || *number > 2000)
                 return std::string("--zoom takes a percentage from 10 to 2000");
             p.zoomPercent = *number;
             return std::string();
         }},
        {"--settings", textReader(o.settings, "--settings takes a settings file")},
        {"--height", integerReader(p.height, 50, "--height takes a height in pixels from 50")},
        {"--width", integerReader(p.width, 100, "--width takes a width in pixels from 100")},
        {"--traits", textReader(o.traits, "--traits takes a trait file")},
        {"--reference", textReader(p.reference, "--reference takes an individual's name", false)},
        {"--donor", textReader(p.donor, "--donor takes an individual's name", false)},
        {"--out", textReader(o.out, "--out takes a picture file")},
    };
}

// The options that go together, once all are read; an error text, empty when they do.
std::string renderOptionsConflict(const RenderOptions &o)
{
    if (o.files.empty())
        return "no data file named";
    if (o.out.empty())
        return "no picture named with --out";
    if ((o.picture.view == "association") != !o.traits.empty())
        return "--view association and --traits T.qua go together";
    if (!isPictureExtension(pictureExtension(o.out)))
        return "the picture must end in .png, .jpg, .svg, .pdf or .emf";
    if (!o.picture.donor.empty() && o.picture.reference.empty())
        return "--donor needs --reference";
    if (!o.picture.reference.empty() && (o.picture.blackAndWhite || o.picture.view == "association"))
        return "--reference colours the group, individual and all-in-one views, not in black and white";
    return {};
}

// Parses the arguments; returns an error text, empty on success.
std::string parseRenderOptions(const std::vector<std::string> &args, RenderOptions &o)
{
    const std::map<std::string, OptionReader> readers = renderOptionReaders(o);
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string &arg = args[i];
        if (const auto reader = readers.find(arg); reader != readers.end()) {
            const std::optional<std::string> text = i + 1 < args.size() ? std::optional<std::string>(args[++i]) : std::nullopt;
            if (const std::string error = reader->second(text); !error.empty())
                return error;
        } else if (arg == "--bw") {
            o.picture.blackAndWhite = true;
        } else if (arg.size() > 1 && arg[0] == '-') {
            return "unknown option " + arg;
        } else {
            o.files.push_back(arg);
        }
    }
    return renderOptionsConflict(o);
}

int runRender(const std::vector<std::string> &args, CommandContext &context)
{
    std::vector<std::string> rest = args;
    SelectionOptions selection;
    RenderOptions o;
    std::string error;
    if (!parseSelectionOptions(rest, selection, &error) || !(error = parseRenderOptions(rest, o)).empty()) {
        context.err << "rvk-cli render: " << error << "\n" << Usage;
        return 2;
    }
    CliSession session(context);
    if (!session.open(o.files, selection))
        return 1;
    if (!o.settings.empty() && !session.loadSettingsFile(o.settings))
        return 1;
    bool usageFault = false;
    if (const std::string problem = dataSetPictureProblem(session.data, o.picture, usageFault); !problem.empty()) {
        context.err << "rvk-cli render: " << problem << "\n";
        return usageFault ? 2 : 1;
    }
    const DrawContext draw = dataSetDrawContext(session.data, session.settings.drawing, o.picture);
    std::optional<TraitTable> traits;
    if (o.picture.view == "association") {
        const TraitFileContents contents = TraitFileReader::readFile(o.traits);
        error = contents.error;
        if (contents.ok())
            traits = TraitTable::fromColumns(contents.columns, contents.rowCount);
    }
    ViewPicture picture;
    if (o.picture.view != "association" || traits)
        picture = drawDataSetPicture(session.data, session.settings.alleles, o.picture, draw, traits ? &*traits : nullptr, &error);
    if (!error.empty()) {
        context.err << error << "\n";
        return 1;
    }
    return CommandOutput(context, false).picture(picture, o.out) ? 0 : 1;
}

const CommandRegistration registration({"render",
                                        "render FILE... [--view group|individual|all|association] [--traits T.qua] [--group N] [--individual I] [--range A-B] "
                                        "[--zoom PERCENT] [--bw] [--settings FILE] [--height PIXELS] [--width PIXELS] --out PICTURE "
                                        "[--reference NAME [--donor NAME]] " + std::string(SelectionUsage),
                                        "draw the window's picture of the data (a linkage group, an individual, all in one, or the association plot of a trait file) into PICTURE (.png, .jpg, .svg, .pdf or .emf); "
                                        "--reference colours every segment by how it compares with that individual (same, different, heterozygous against homozygous, unknown), with --donor by whose allele it carries",
                                        &runRender});

} // namespace
} // namespace rvk::cli
