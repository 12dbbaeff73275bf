// rvk-cli render: the window's picture of the opened data, written as an image file.
#include "cli/clicommand.h"
#include "cli/clisession.h"
#include "core/textformat.h"
#include "render/drawcontext.h"
#include "genetics/associationplotdata.h"
#include "genetics/backcrosscodes.h"
#include "genetics/fdr.h"
#include "genetics/traittable.h"
#include "io/traitfile.h"
#include "render/allinoneview.h"
#include "render/individualview.h"
#include "render/linkagegroupview.h"
#include "render/picturefiles.h"
#include "render/viewpicture.h"
#include "stats/markerstatistics.h"

#include <algorithm>
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
    std::string view = "group";
    int group = 1;
    int individual = 1;
    int first = 1, last = 0;
    double zoomPercent = 100.0;
    bool blackAndWhite = false;
    std::string settings;
    int height = 0;
    int width = 1000; // the all-in-one view fills the width of the image area
    std::string out;
    std::string traits; // the trait file of the association view
    // The comparison colouring: against the reference individual, or by whose allele with a donor.
    std::string reference;
    std::string donor;
};

// Parses the arguments; returns an error text, empty on success.
std::string parseRenderOptions(const std::vector<std::string> &args, RenderOptions &o)
{
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string &arg = args[i];
        auto value = [&]() -> std::optional<std::string> {
            if (i + 1 >= args.size())
                return std::nullopt;
            return args[++i];
        };
        auto integer = [&](int &target, int minimum) -> bool {
            const auto text = value();
            const auto number = text ? parseInteger(*text) : std::nullopt;
            if (!number || *number < minimum || *number > 1'000'000)
                return false;
            target = static_cast<int>(*number);
            return true;
        };
        if (arg == "--view") {
            const auto text = value();
            if (!text || (*text != "group" && *text != "individual" && *text != "all" && *text != "association"))
                return "--view takes group, individual, all or association";
            o.view = *text;
        } else if (arg == "--group") {
            if (!integer(o.group, 1))
                return "--group takes a group number from 1";
        } else if (arg == "--individual") {
            if (!integer(o.individual, 1))
                return "--individual takes an individual number from 1";
        } else if (arg == "--range") {
            const auto text = value();
            const size_t dash = text ? text->find('-') : std::string::npos;
            const auto a = dash != std::string::npos ? parseInteger(text->substr(0, dash)) : std::nullopt;
            const auto b = dash != std::string::npos ? parseInteger(text->substr(dash + 1)) : std::nullopt;
            if (!a || !b || *a < 1 || *b < *a)
                return "--range takes FIRST-LAST individual numbers, for example 1-50";
            o.first = static_cast<int>(*a);
            o.last = static_cast<int>(*b);
        } else if (arg == "--zoom") {
            const auto text = value();
            const auto number = text ? parseDecimal(*text) : std::nullopt;
            if (!number || *number < 10 || *number > 2000)
                return "--zoom takes a percentage from 10 to 2000";
            o.zoomPercent = *number;
        } else if (arg == "--bw") {
            o.blackAndWhite = true;
        } else if (arg == "--settings") {
            const auto text = value();
            if (!text)
                return "--settings takes a settings file";
            o.settings = *text;
        } else if (arg == "--height") {
            if (!integer(o.height, 50))
                return "--height takes a height in pixels from 50";
        } else if (arg == "--width") {
            if (!integer(o.width, 100))
                return "--width takes a width in pixels from 100";
        } else if (arg == "--traits") {
            const auto text = value();
            if (!text)
                return "--traits takes a trait file";
            o.traits = *text;
        } else if (arg == "--reference" || arg == "--donor") {
            const auto text = value();
            if (!text || text->empty())
                return arg + " takes an individual's name";
            (arg == "--reference" ? o.reference : o.donor) = *text;
        } else if (arg == "--out") {
            const auto text = value();
            if (!text)
                return "--out takes a picture file";
            o.out = *text;
        } else if (arg.size() > 1 && arg[0] == '-') {
            return "unknown option " + arg;
        } else {
            o.files.push_back(arg);
        }
    }
    if (o.files.empty())
        return "no data file named";
    if (o.out.empty())
        return "no picture named with --out";
    if ((o.view == "association") != !o.traits.empty())
        return "--view association and --traits T.qua go together";
    if (!isPictureExtension(pictureExtension(o.out)))
        return "the picture must end in .png, .jpg, .svg, .pdf or .emf";
    if (!o.donor.empty() && o.reference.empty())
        return "--donor needs --reference";
    if (!o.reference.empty() && (o.blackAndWhite || o.view == "association"))
        return "--reference colours the group, individual and all-in-one views, not in black and white";
    return {};
}

int runRender(const std::vector<std::string> &args, CommandContext &context)
{
    std::vector<std::string> rest = args;
    SelectionOptions selection;
    std::string selectionError;
    if (!parseSelectionOptions(rest, selection, &selectionError)) {
        context.err << "rvk-cli render: " << selectionError << "\n" << Usage;
        return 2;
    }
    RenderOptions o;
    if (const std::string error = parseRenderOptions(rest, o); !error.empty()) {
        context.err << "rvk-cli render: " << error << "\n" << Usage;
        return 2;
    }
    CliSession session(context);
    if (!session.open(o.files, selection))
        return 1;
    if (!o.settings.empty() && !session.loadSettingsFile(o.settings))
        return 1;
    const GenotypeData &data = session.data;
    if (o.group > data.GroupCount()) {
        context.err << "rvk-cli render: there are " << data.GroupCount() << " linkage groups, not " << o.group << "\n";
        return 1;
    }
    if (o.individual > data.nind || o.first > data.nind) {
        context.err << "rvk-cli render: there are " << data.nind << " individuals\n";
        return 1;
    }

    DrawContext draw;
    draw.options = session.settings.drawing;
    if (o.blackAndWhite)
        draw.options.setColorMode(DrawingOptions::ColorMode::BlackAndWhite);
    if (!o.reference.empty()) {
        for (const std::string *name : {&o.reference, &o.donor}) {
            if (!name->empty() && findIndividualByName(data, *name) < 0) {
                context.err << "rvk-cli render: \"" << *name << "\" is not an individual of the data set\n";
                return 2;
            }
        }
        if (o.donor == o.reference) {
            context.err << "rvk-cli render: the reference and the donor must be two different individuals\n";
            return 2;
        }
        draw.options.setColorMode(DrawingOptions::ColorMode::Comparison);
        draw.options.compareReference = o.reference;
        draw.options.compareDonor = o.donor;
    }
    draw.zoom = o.zoomPercent / 100.0;
    if (o.height > 0)
        draw.visibleHeight = o.height;
    draw.group = o.group - 1;
    draw.firstIndividual = o.first;
    draw.lastIndividual = o.last > 0 ? std::min(o.last, data.nind) : data.nind;
    draw.currentIndividual = o.individual;
    draw.skipUnselected = data.Selectionyesno;

    ViewPicture picture;
    if (o.view == "individual") {
        picture = drawIndividualView(data, session.settings.alleles, draw);
    } else if (o.view == "association") {
        // The association plot of "Plot Assoc." after a correlation run, every trait plotted.
        const TraitFileContents contents = TraitFileReader::readFile(o.traits);
        std::string failure = contents.error;
        if (contents.ok()) {
            AssociationPlotInput plot;
            plot.drawing = draw.options;
            plot.clientWidth = o.width;
            plot.zoom = draw.zoom;
            picture = drawCorrelationAssociationPlot(data, session.settings.alleles,
                                                     TraitTable::fromColumns(contents.columns, contents.rowCount), plot,
                                                     DefaultFdrLevel, &failure);
        }
        if (!failure.empty()) {
            context.err << failure << "\n";
            return 1;
        }
    } else if (o.view == "all") {
        // The all-in-one view draws each locus's major allele in its consensus row.
        refreshMajorAlleles(session.data, session.settings.alleles);
        picture = drawAllInOneView(data, session.settings.alleles, draw, o.width);
    } else {
        picture = drawLinkageGroupView(data, session.settings.alleles, draw);
    }
    std::string error, written;
    if (!savePictureFile(picture, o.out, pictureExtension(o.out), written, error)) {
        context.err << error << "\n";
        return 1;
    }
    return 0;
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
