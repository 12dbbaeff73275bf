#include "cli/clicommand.h"
#include "commandrun.h"
#include "core/dataloader.h"
#include "render/drawcontext.h"
#include "render/linkagegroupview.h"
#include "render/pictureexport.h"
#include "settings/alleletable.h"
#include "support/scripteduserinterface.h"
#include "support/tempfolder.h"

#include <gtest/gtest.h>

#include <QImage>

#include <sstream>

namespace rvk::cli {
namespace {

int run(const std::vector<std::string> &args, std::string *err = nullptr)
{
    const CommandRun r = runCli(args);
    if (err)
        *err = r.err;
    return r.status;
}

TEST(CliRender, DrawsTheSamePictureAsTheLinkageGroupView)
{
    test::TempFolder folder;
    const std::string data = test::examplePath("listeria.rvk");
    const std::string png = folder.file("chr2.png");
    std::string err;
    ASSERT_EQ(run({"render", data, "--group", "2", "--range", "1-30", "--height", "400", "--out", png}, &err), 0) << err;

    GenotypeData genotypes;
    AlleleTable alleles;
    test::ScriptedUserInterface ui;
    const LoadOutcome outcome = DataLoader(genotypes, ui).OpenFiles({data});
    ASSERT_TRUE(outcome.completed);
    alleles.markUsed(outcome.usedCodes);
    DrawContext context;
    context.group = 1;
    context.firstIndividual = 1;
    context.lastIndividual = 30;
    context.visibleHeight = 400;
    const QImage expected = renderPictureToImage(drawLinkageGroupView(genotypes, alleles, context));
    const QImage written(QString::fromStdString(png));
    ASSERT_FALSE(written.isNull());
    EXPECT_EQ(written.size(), expected.size());
    const QImage a = written.convertToFormat(QImage::Format_RGB32), b = expected.convertToFormat(QImage::Format_RGB32);
    int differing = 0, firstX = -1, firstY = -1;
    for (int y = 0; y < std::min(a.height(), b.height()); ++y)
        for (int x = 0; x < std::min(a.width(), b.width()); ++x)
            if (a.pixel(x, y) != b.pixel(x, y) && differing++ == 0)
                firstX = x, firstY = y;
    EXPECT_EQ(differing, 0) << "first at " << firstX << "," << firstY;
}

TEST(CliRender, WritesEveryPictureFormat)
{
    test::TempFolder folder;
    // Each file begins as its format requires: the JPEG start-of-image marker, an XML or SVG
    // start, the PDF header, the EMF header record (type 1) with the signature " EMF" at byte 40.
    const struct
    {
        const char *name;
        std::string start;
        size_t at;
    } formats[] = {{"a.jpg", "\xFF\xD8\xFF", 0}, {"a.svg", "<", 0}, {"a.pdf", "%PDF-", 0}, {"a.emf", std::string("\x01\0\0\0", 4), 0},
                   {"b.emf", " EMF", 40}};
    for (const auto &format : formats) {
        std::string err;
        EXPECT_EQ(run({"render", test::examplePath("listeria.rvk"), "--view", "individual", "--individual", "5", "--bw",
                       "--out", folder.file(format.name)},
                      &err),
                  0)
            << format.name << err;
        const std::string bytes = test::readWholeFile(folder.file(format.name));
        EXPECT_GT(bytes.size(), 100u) << format.name;
        EXPECT_EQ(bytes.substr(format.at, format.start.size()), format.start) << format.name;
    }
    EXPECT_NE(test::readWholeFile(folder.file("a.svg")).find("<svg"), std::string::npos);
}

TEST(CliRender, RefusesBadArguments)
{
    test::TempFolder folder;
    const std::string data = test::examplePath("listeria.rvk");
    const std::vector<std::vector<std::string>> bad = {
        {"render", data},                                            // no --out
        {"render", data, "--out", folder.file("x.gif")},             // unknown format
        {"render", data, "--zoom", "5", "--out", folder.file("x.png")},
        {"render", data, "--range", "9-3", "--out", folder.file("x.png")},
        {"render", data, "--view", "tree", "--out", folder.file("x.png")},
    };
    for (const auto &args : bad)
        EXPECT_EQ(run(args), 2) << args.back();
    EXPECT_EQ(run({"render", data, "--group", "21", "--out", folder.file("x.png")}), 1);
    EXPECT_FALSE(std::filesystem::exists(folder.file("x.png")));
}

} // namespace
} // namespace rvk::cli
