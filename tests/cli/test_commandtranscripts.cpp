// What the commands print and write, to the byte, on the example data and the fixtures of
// tests/data: the exit status, standard output and error, and every file a run leaves. The
// expected transcripts (tests/data/cli/transcripts.txt) were written by this test, with
// RVK_WRITE_TRANSCRIPTS=<that file> set, from rvk-cli as it was before its commands were cut
// down to reading options and printing what the logic returns; any change in a command's output
// shows here. Pictures are only named: their pixels are checked by the render and command tests.
// Numbers written in full precision count to ten significant digits, so that a sum taken in
// another order, which moves only the last bits, does not show as a change of the output.
#include "commandrun.h"
#include "support/tempfolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <regex>
#include <sstream>

namespace rvk::cli {
namespace {

// {P} the panel fixture, {Q} the QTL fixtures, {E} the examples, {O} the case's own output folder.
const std::pair<const char *, const char *> Cases[] = {
    {"assoc-tables-and-plots", "assoc {P}/panel.rvk --traits {P}/panel.qua --tables {O}/t --plot {O}/a.png --ld-plot T2 --out {O}/ld.svg"},
    {"assoc-anova-rtf", "assoc {E}/listeria.rvk --traits {E}/listeria.qua --anova --report {O}/r.rtf"},
    {"assoc-anova-text-and-tables", "assoc {E}/listeria.rvk --traits {E}/listeria.qua --anova --report {O}/r.txt --tables {O}/t"},
    {"assoc-selection-and-plot-options",
     "assoc {P}/panel.rvk --traits {P}/panel.qua --fdr 0.2 --plot {O}/a.svg --plot-style bar --threshold p --criteria g1m01=B"},
    {"assoc-unknown-trait", "assoc {P}/panel.rvk --traits {P}/panel.qua --ld-plot NOPE --out {O}/x.png"},
    {"assoc-bad-level", "assoc {P}/panel.rvk --traits {P}/panel.qua --fdr 2"},
    {"assoc-report-without-anova", "assoc {P}/panel.rvk --report x.rtf --traits {P}/panel.qua"},
    {"qtl-hk-permutations-and-save", "qtl {Q}/f2.rvk --traits {Q}/f2.qua --scan {O}/s.tsv --peaks {O}/p.tsv --plot {O}/q.png --perm 20 --seed 3 --save-qtl {O}/x"},
    {"qtl-cim", "qtl {Q}/bc.rvk --traits {Q}/bc.qua --method cim --step 2 --cofactors 2 --scan {O}/s.tsv --peaks {O}/p.tsv --seed 7"},
    {"qtl-em-kosambi", "qtl {Q}/dh.rvk --traits {Q}/dh.qua --method em --map-function kosambi --error-prob 0.01 --scan {O}/s.tsv --save-qtl {O}/y --seed 7"},
    {"qtl-bad-step", "qtl {Q}/f2.rvk --traits {Q}/f2.qua --scan {O}/s.tsv --step -1"},
    {"qtl-no-scan-file", "qtl {Q}/f2.rvk --traits {Q}/f2.qua"},
    {"mlm-pictures-and-comparison", "mlm {P}/panel.rvk --traits {P}/panel.qua --out {O}/r.tsv --manhattan {O}/m.png --qq {O}/q.svg --compare"},
    {"mlm-p3d-ibs-selection", "mlm {P}/panel.rvk --traits {P}/panel.qua --out {O}/r.tsv --p3d --pcs 2 --kinship ibs --criteria g1m01=B --qq {O}/q.png"},
    {"mlm-too-many-components", "mlm {P}/panel.rvk --traits {P}/panel.qua --out {O}/r.tsv --pcs 20"},
    {"pca-coloured-by-trait", "pca {P}/panel.rvk --pcs 3 --out {O}/s.tsv --plot {O}/p.png --traits {P}/panel.qua --colour T2 --axes 1,3"},
    {"pca-standardised", "pca {P}/panel.rvk --standardise --out {O}/s.tsv --plot {O}/p.svg"},
    {"pca-axis-beyond-components", "pca {P}/panel.rvk --pcs 2 --out {O}/s.tsv --plot {O}/p.svg --axes 1,4"},
    {"pca-unknown-trait", "pca {P}/panel.rvk --out {O}/s.tsv --plot {O}/p.svg --traits {P}/panel.qua --colour NOPE"},
    {"kinship-centred", "kinship {P}/panel.rvk --out {O}/k.tsv"},
    {"kinship-ibs-selection", "kinship {P}/panel.rvk --out {O}/k.tsv --method ibs --criteria g1m01=B"},
    {"kinship-no-out", "kinship {P}/panel.rvk"},
    {"predict-folds", "predict {P}/panel.rvk --traits {P}/panel.qua --seed 11 --folds 4 --out {O}/g.tsv"},
    {"predict-no-folds-ibs", "predict {P}/panel.rvk --traits {P}/panel.qua --folds 0 --kinship ibs --out {O}/g.tsv"},
    {"predict-bad-seed", "predict {P}/panel.rvk --traits {P}/panel.qua --out {O}/g.tsv --seed x"},
    {"render-group", "render {E}/listeria.rvk --out {O}/g.png"},
    {"render-individual", "render {E}/listeria.rvk --view individual --individual 3 --out {O}/i.svg"},
    {"render-all", "render {E}/listeria.rvk --view all --bw --zoom 150 --out {O}/a.png --width 800"},
    {"render-association", "render {E}/listeria.rvk --view association --traits {E}/listeria.qua --out {O}/as.png"},
    {"render-comparison", "render {E}/listeria.rvk --group 2 --range 2-5 --height 300 --out {O}/g.emf --reference L001 --donor L002"},
    {"render-bad-view", "render {E}/listeria.rvk --view bad --out {O}/x.png"},
    {"render-no-such-group", "render {E}/listeria.rvk --group 99 --out {O}/x.png"},
    {"core-annealing", "core {E}/listeria.rvk --size 10 --seed 5 --log {O}/l.txt --out {O}/s.rvl --cycles 3 --iterations 5"},
    {"core-iterative-fixed", "core {E}/listeria.rvk --size 10 --seed 5 --method iterative --criterion gw --fixed L001,L005 --out {O}/s.rvl"},
    {"core-unknown-fixed", "core {E}/listeria.rvk --size 10 --fixed NOPE --seed 1"},
    {"core-size-zero", "core {E}/listeria.rvk --size 0"},
    {"mabc-table-and-chart", "mabc {E}/listeria.rvk --recurrent L001 --donor L002 --out {O}/m.tsv --chart {O}/c.png"},
    {"mabc-spreadsheet", "mabc {E}/listeria.rvk --recurrent L001 --donor L002 --out {O}/m.xls"},
    {"mabc-unknown-donor", "mabc {E}/listeria.rvk --recurrent L001 --donor NOPE --out {O}/m.xls"},
    {"mabc-unknown-target", "mabc {E}/listeria.rvk --recurrent L001 --donor L002 --target NOPE --out {O}/m.xls"},
    {"mabc-uninformative-target", "mabc {E}/listeria.rvk --recurrent L001 --donor L002 --target D1M3 --out {O}/m.tsv"},
    {"tree-nj-cophenetic", "tree {E}/listeria.rvk --method nj --out {O}/t.nwk --picture {O}/p.svg --cophenetic"},
    {"tree-upgma-markers", "tree {E}/listeria.rvk --method upgma --between markers --out {O}/t.nwk --style circular --picture {O}/p.png"},
    {"tree-newick-file", "tree --newick {O}/../tree-nj-cophenetic/t.nwk --picture {O}/n.png --style curved"},
    {"tree-bad-method", "tree {E}/listeria.rvk --method xx --out {O}/t.nwk"},
    {"stats-global-spreadsheet", "stats global {E}/listeria.rvk --out {O}/g.xls"},
    {"stats-markers", "stats markers {E}/listeria.rvk"},
    {"stats-markers-selection-text", "stats markers {E}/listeria.rvk --out {O}/m.txt --criteria D1M3=B"},
    {"pedigree-threshold", "pedigree {E}/listeria.rvk --parents L001,L002 --out {O}/p.tsv --threshold 80"},
    {"dist-jaccard", "dist {E}/listeria.rvk --out {O}/d.txt --coefficient jaccard"},
};

std::string replaced(std::string text, const std::string &from, const std::string &to)
{
    for (size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
        text.replace(at, from.size(), to);
    return text;
}

std::uint64_t fnv1a(const std::string &bytes)
{
    std::uint64_t hash = 14695981039346656037ull;
    for (const unsigned char c : bytes)
        hash = (hash ^ c) * 1099511628211ull;
    return hash;
}

// Decimals of more than ten significant digits rounded to ten.
std::string roundedToTenDigits(const std::string &text)
{
    static const std::regex longDecimal(R"(-?[0-9]*\.[0-9]{10,}(E-?[0-9]+)?)", std::regex::icase);
    std::string result;
    auto last = text.cbegin();
    for (std::sregex_iterator it(text.begin(), text.end(), longDecimal), end; it != end; ++it) {
        result.append(last, (*it)[0].first);
        std::ostringstream number;
        number.precision(10);
        number << std::stod((*it)[0].str());
        result += number.str();
        last = (*it)[0].second;
    }
    return result.append(last, text.cend());
}

// Short texts as they are; long ones or binary files by size, lines and a digest.
std::string shown(const std::string &original)
{
    const std::string bytes = original.find('\0') == std::string::npos ? roundedToTenDigits(original) : original;
    if (bytes.size() <= 4000 && bytes.find('\0') == std::string::npos)
        return bytes.empty() || bytes.back() == '\n' ? bytes : bytes + "\n(no newline at the end)\n";
    std::ostringstream line;
    line << "(" << bytes.size() << " bytes, " << std::count(bytes.begin(), bytes.end(), '\n') << " lines, fnv1a " << std::hex << fnv1a(bytes) << ")\n";
    return line.str();
}

bool isPicture(const std::filesystem::path &path)
{
    const std::string extension = path.extension().string();
    return extension == ".png" || extension == ".svg" || extension == ".emf" || extension == ".pdf" || extension == ".jpg";
}

std::string transcript(const std::string &commandLine, const std::filesystem::path &root, const std::filesystem::path &out)
{
    std::string line = replaced(commandLine, "{P}", test::testDataPath("panel"));
    line = replaced(line, "{Q}", test::testDataPath("qtl"));
    line = replaced(line, "{E}", test::examplePath("").substr(0, test::examplePath("").size() - 1));
    line = replaced(line, "{O}", out.string());
    std::vector<std::string> args;
    std::istringstream words(line);
    for (std::string word; words >> word;)
        args.push_back(word);
    const CommandRun run = runCli(args);
    const auto neutral = [&](const std::string &text) {
        std::string result = replaced(text, root.string(), "{root}");
        result = replaced(result, test::testDataPath(""), "{data}/");
        return replaced(result, test::examplePath(""), "{examples}/");
    };
    std::string text = "status " + std::to_string(run.status) + "\n--- out\n" + shown(neutral(run.out)) + "--- err\n" + shown(neutral(run.err));
    std::map<std::string, std::filesystem::path> files;
    for (const auto &entry : std::filesystem::recursive_directory_iterator(out))
        if (entry.is_regular_file())
            files[std::filesystem::relative(entry.path(), out).generic_string()] = entry.path();
    for (const auto &[name, path] : files)
        text += "--- " + name + (isPicture(path) ? " (picture)\n" : "\n" + shown(test::readWholeFile(path.string())));
    return text;
}

// The expected transcripts by case name, from sections "=== NAME".
std::map<std::string, std::string> expectedTranscripts(const std::string &text)
{
    std::map<std::string, std::string> sections;
    std::string *current = nullptr;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("=== ", 0) == 0)
            current = &sections[line.substr(4)];
        else if (current)
            *current += line + "\n";
    }
    return sections;
}

TEST(CommandTranscripts, EveryCommandPrintsAndWritesWhatItDidBefore)
{
    test::TempFolder folder;
    const char *writeTo = std::getenv("RVK_WRITE_TRANSCRIPTS");
    const auto expected = expectedTranscripts(writeTo ? std::string() : test::readWholeFile(test::testDataPath("cli/transcripts.txt")));
    std::string written;
    for (const auto &[name, commandLine] : Cases) {
        const std::filesystem::path out = folder.path() / name;
        std::filesystem::create_directories(out);
        const std::string actual = transcript(commandLine, folder.path(), out);
        written += std::string("=== ") + name + "\n" + actual;
        if (!writeTo) {
            const auto found = expected.find(name);
            ASSERT_NE(found, expected.end()) << name;
            EXPECT_EQ(actual, found->second) << name << ": " << commandLine;
        }
    }
    if (writeTo)
        std::ofstream(writeTo, std::ios::binary) << written;
}

} // namespace
} // namespace rvk::cli
