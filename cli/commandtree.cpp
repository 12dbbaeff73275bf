// rvk-cli tree: the NJ or UPGMA tree of a distance matrix as one Newick line, optionally its
// picture and cophenetic correlation; or the picture of a tree read from a Newick file.
#include "cli/clicommand.h"
#include "cli/clisession.h"
#include "cli/commandarguments.h"
#include "cli/cliuserinterface.h"
#include "cli/distanceoptions.h"
#include "core/safefile.h"
#include "core/systemmemory.h"
#include "genetics/cophenetic.h"
#include "genetics/treebuilder.h"
#include "io/newickreader.h"
#include "render/picturefiles.h"
#include "render/treeview.h"

#include <fstream>
#include <ostream>
#include <sstream>

namespace rvk::cli {

namespace {

constexpr const char *Usage = "tree FILE... [--between genotypes|markers] [--coefficient sm|jaccard|euclidean] "
                              "[--traits T.qua --trait-distance genotypes|traits] --method nj|upgma --out TREE.nwk [--picture P.png|.svg|.pdf|.emf|.jpg] "
                              "[--style classic|straight|circular|curved] [--cophenetic]\n"
                              "       rvk-cli tree --newick IN.nwk --picture P.png|.svg|.pdf|.emf|.jpg [--style ...]";

// The tree window's default width less its 10-pixel margin.
constexpr int PictureWidth = 790;

std::set<std::string> treeValueOptions()
{
    std::set<std::string> options = DistanceValueOptions;
    options.insert({"--method", "--out", "--picture", "--style", "--newick"});
    return options;
}

int usageError(CommandContext &context, const std::string &error)
{
    context.err << "rvk-cli tree: " << error << "\nusage: rvk-cli " << Usage << " " << SelectionUsage << "\n";
    return 2;
}

bool writePicture(const TDendroNode &root, TreeStyle style, const std::string &path, CommandContext &context)
{
    TreeDrawingOptions options;
    options.style = style;
    options.width = PictureWidth;
    std::string written, error;
    if (!savePictureFile(drawTree(root, options), path, "emf", written, error)) {
        context.err << error << "\n";
        return false;
    }
    context.out << written << "\n";
    return true;
}

// The picture of the tree of a Newick file; the exit status.
int drawNewickFile(const std::string &path, TreeStyle style, const std::string &picture, CommandContext &context)
{
    std::ifstream file(path, std::ios::binary);
    if (!file) {
        context.err << "rvk-cli tree: cannot read " << path << "\n";
        return 1;
    }
    std::stringstream text;
    text << file.rdbuf();
    std::string error;
    const ReadTreeOutcome tree = ParseNewickFile(text.str(), &error);
    if (!tree.root) {
        context.err << "rvk-cli tree: " << path << ": " << error << "\n";
        return 1;
    }
    return writePicture(*tree.root, style, picture, context) ? 0 : 1;
}

int runTree(const std::vector<std::string> &args, CommandContext &context)
{
    std::vector<std::string> rest = args;
    SelectionOptions selection;
    CommandArguments parsed;
    std::string error;
    if (!parseSelectionOptions(rest, selection, &error)
        || !parseCommandArguments(rest, treeValueOptions(), {"--cophenetic"}, parsed, error))
        return usageError(context, error);
    TreeStyle style = TreeStyle::Classic;
    if (parsed.has("--style") && !treeStyleNamed(parsed.value("--style"), style))
        return usageError(context, "--style takes classic, straight, circular or curved");
    const std::string picture = parsed.value("--picture");

    if (parsed.has("--newick")) {
        if (picture.empty() || !parsed.files.empty() || parsed.has("--cophenetic") || parsed.has("--method"))
            return usageError(context, "--newick IN.nwk draws a tree file: it takes --picture and --style only");
        return drawNewickFile(parsed.value("--newick"), style, picture, context);
    }

    const std::string method = parsed.value("--method");
    const std::string out = parsed.value("--out");
    if (method != "nj" && method != "upgma")
        return usageError(context, "--method takes nj or upgma");
    if (out.empty())
        return usageError(context, "--out TREE.nwk names the file to write");

    const DistanceRequestResult request = distanceMatrixFromOptions("tree", parsed, selection, context);
    if (!request.matrix)
        return request.status;
    const DistanceMatrix &matrix = *request.matrix;
    CliUserInterface ui(context.err);
    if (!confirmTreeMemory(matrix.size(), availableMemoryBytes(), ui)) {
        context.err << "rvk-cli tree: not enough free memory for a tree of " << matrix.size() << " entries\n";
        return 1;
    }
    const auto tree = BuildTree(matrix, method == "nj" ? TreeMethod::NeighbourJoining : TreeMethod::Upgma, &error);
    if (!tree) {
        context.err << "rvk-cli tree: " << error << "\n";
        return 1;
    }
    if (!writeFileReplacing(out, tree->newick + "\r\n", &error)) {
        context.err << error << "\n";
        return 1;
    }
    context.out << out << "\n";
    if (picture.empty() && !parsed.has("--cophenetic"))
        return 0;
    const auto root = ReadTree(tree->newick, matrix.labels());
    if (!picture.empty() && !writePicture(*root, style, picture, context))
        return 1;
    if (parsed.has("--cophenetic"))
        context.out << CopheneticCorrelation(*root, matrix).resultText() << "\n";
    return 0;
}

const CommandRegistration registration({"tree", std::string(Usage) + " " + SelectionUsage,
                                        "write the NJ or UPGMA tree of the distance matrix as one Newick line, optionally "
                                        "its picture and cophenetic correlation; or draw a Newick file",
                                        &runTree});

} // namespace
} // namespace rvk::cli
