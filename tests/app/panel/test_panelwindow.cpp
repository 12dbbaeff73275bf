// The window "Panel genomics" on the panel fixture (tests/data/panel): the runs, the table
// sorted by p, Cancel, and the breeding values added to the trait table.
#include "app/association/associationpage.h"
#include "app/mainwindow.h"
#include "app/panel/panelmodels.h"
#include "app/panel/panelpicturewidget.h"
#include "app/panel/panelwindow.h"
#include "genetics/clusterorder.h"
#include "genetics/panelfixture.h"
#include "render/pictureexport.h"
#include "support/scripteduserinterface.h"
#include "support/tempfolder.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QImage>
#include <QSpinBox>
#include <QTabWidget>

#include <cmath>
#include <fstream>
#include <iterator>
#include <memory>

namespace rvk {
namespace {

struct PanelWindowFixture
{
    PanelWindowFixture()
    {
        MainWindowOptions options;
        options.programFolder = folder.path().string() + "/";
        options.settingsFile = folder.file("rvk.ini");
        window = std::make_unique<MainWindow>(options, &ui);
        window->openDataFiles({QString::fromStdString(test::panelPath("panel.rvk"))});
        // "Import trait data" of the trait file.
        ui.openChoices.push_back({test::panelPath("panel.qua")});
        associationPage(*window)->ImportTraitFile();
        panel = panelWindow(*window);
    }

    test::TempFolder folder;
    test::ScriptedUserInterface ui;
    std::unique_ptr<MainWindow> window;
    PanelWindow *panel = nullptr;
};

TEST(PanelWindow, IsOpenedFromAdvancedAnalyses)
{
    PanelWindowFixture f;
    ASSERT_NE(f.panel, nullptr);
    bool found = false;
    for (QAction *menu : f.window->menuBar()->actions())
        if (menu->menu())
            for (QAction *action : menu->menu()->actions())
                if (action->text() == QStringLiteral("Panel genomics...")) {
                    action->trigger();
                    found = true;
                }
    EXPECT_TRUE(found);
    EXPECT_FALSE(f.panel->isHidden());
}

TEST(PanelWindow, MixedModelTableIsSortedByPAndCancelKeepsTheResults)
{
    PanelWindowFixture f;
    f.panel->runMixedModelClick();
    ASSERT_TRUE(f.panel->mixedModel());
    MixedModelTableModel *model = f.panel->mixedModelTable();
    ASSERT_EQ(model->rowCount(), 88);
    for (int r = 1; r < model->rowCount(); ++r)
        ASSERT_LE(model->test(r - 1).test.p, model->test(r).test.p);
    // GEMMA's strongest marker of the two traits (lmm_t1.txt, lmm_t2.txt) heads the table.
    double smallest = 1.0;
    std::string strongest;
    for (const char *file : {"lmm_t1.txt", "lmm_t2.txt"})
        for (const auto &[name, test] : test::readGemmaAssoc(test::panelPath(file)))
            if (test.p < smallest) {
                smallest = test.p;
                strongest = name;
            }
    EXPECT_EQ(model->data(model->index(0, MixedModelTableModel::Locus), Qt::DisplayRole).toString().toStdString(), strongest);
    EXPECT_NEAR(model->test(0).test.p, smallest, 0.01 * smallest);

    // The pictures of the plain correlation, once the association page has run it.
    const std::string mixedTitle = f.panel->manhattan()->picture().isEmpty() ? "" : "drawn";
    EXPECT_EQ(mixedTitle, "drawn");
    associationPage(*f.window)->calc_assoc_numClick();
    f.panel->compareBox()->setChecked(true);
    EXPECT_FALSE(f.panel->manhattan()->picture().isEmpty());
    EXPECT_EQ(f.panel->log()->toPlainText().indexOf(QStringLiteral("has no correlation run")), -1);

    // A cancelled run leaves the table as it was.
    const double before = f.panel->mixedModel()->traits[0].tests[0].test.p;
    f.panel->p3dBox()->setChecked(true);
    f.panel->setCancelCheck([] { return true; });
    f.panel->runMixedModelClick();
    ASSERT_TRUE(f.panel->mixedModel());
    EXPECT_FALSE(f.panel->mixedModel()->p3d);
    EXPECT_EQ(f.panel->mixedModel()->traits[0].tests[0].test.p, before);
}

TEST(PanelWindow, KinshipPcaAndBreedingValuesInTheTraitTable)
{
    PanelWindowFixture f;
    f.panel->computeKinshipClick();
    ASSERT_TRUE(f.panel->kinship());
    EXPECT_EQ(f.panel->kinship()->size, 36);
    // In the leaf order of a tree of the lines, L36 first.
    std::vector<std::string> leaves;
    for (int i = 36; i >= 1; --i)
        leaves.push_back(i < 10 ? "L0" + std::to_string(i) : "L" + std::to_string(i));
    setLastClusterOrder({leaves});
    f.panel->treeOrderBox()->setChecked(true);
    ASSERT_EQ(f.panel->kinshipOrder().size(), 36u);
    EXPECT_EQ(f.panel->kinshipOrder().front(), 35);
    f.panel->computePcaClick();
    ASSERT_TRUE(f.panel->pca());
    EXPECT_EQ(f.panel->pca()->componentCount, 10);
    // Coloured by T2: L04 has no value (grey), the others a colour of the gradient.
    QComboBox *colour = f.panel->colourByBox();
    ASSERT_EQ(colour->count(), 4);
    colour->setCurrentIndex(colour->findText(QStringLiteral("T2")));
    const PcaPlotInput plot = f.panel->pcaPlotInput(640, 480);
    ASSERT_EQ(plot.colourValues.size(), 36u);
    EXPECT_EQ(pcaPointColour(plot, 3), PcaNoValueColour);
    EXPECT_NE(pcaPointColour(plot, 0), PcaNoValueColour);
    f.panel->runPredictionClick();
    ASSERT_TRUE(f.panel->prediction());
    f.panel->addGebvClick();
    const TraitTable &traits = associationPage(*f.window)->traitTable();
    ASSERT_EQ(traits.traitCount(), 4);
    EXPECT_EQ(traits.cell(0, 3), "T1_gebv");
    EXPECT_EQ(traits.cell(0, 4), "T2_gebv");
    // L04 has no T2 but gets its breeding value.
    const auto column = traits.lastColumnNamed("L04");
    ASSERT_TRUE(column);
    EXPECT_FALSE(traits.cell(*column, 4).empty());
}

// The pixel of a score pair on the 640 x 480 scatter: the plot area runs from 70 to 620 across
// and from 34 to 430 down, each axis over the scores' range widened by 5 % on both sides.
struct ScatterPlace
{
    std::vector<double> x, y;
    QPoint at(size_t i) const
    {
        const auto [xLow, xHigh] = std::minmax_element(x.begin(), x.end());
        const auto [yLow, yHigh] = std::minmax_element(y.begin(), y.end());
        const double xMargin = (*xHigh - *xLow) * 0.05, yMargin = (*yHigh - *yLow) * 0.05;
        const double u = (x[i] - (*xLow - xMargin)) / (*xHigh - *xLow + 2 * xMargin);
        const double v = (y[i] - (*yLow - yMargin)) / (*yHigh - *yLow + 2 * yMargin);
        return {70 + static_cast<int>(std::lround(u * 550)), 430 - static_cast<int>(std::lround(v * 396))};
    }
};

std::string fileStart(const std::string &path, size_t bytes)
{
    std::ifstream file(path, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    return text.substr(0, bytes);
}

TEST(PanelWindow, PcaScatterDrawsTheChosenComponentsColoursAGroupAndIsSaved)
{
    PanelWindowFixture f;
    f.panel->computePcaClick();
    ASSERT_TRUE(f.panel->pca());
    const PcaResult &pca = *f.panel->pca();
    // PC3 across, PC2 up.
    f.panel->xComponentBox()->setValue(3);
    f.panel->yComponentBox()->setValue(2);
    ScatterPlace place;
    for (int i = 0; i < pca.individualCount; ++i) {
        place.x.push_back(pca.score(i, 2));
        place.y.push_back(pca.score(i, 1));
    }
    const auto drawn = [&] { return renderPictureToImage(f.panel->pcaPlot()->pictureOfSize(640, 480)); };
    QImage image = drawn();
    ASSERT_EQ(image.width(), 640);
    for (size_t i = 0; i < place.x.size(); ++i)
        EXPECT_EQ(image.pixel(place.at(i)) & 0xffffff, 0x0000a0u) << i; // every dot where its PC3 and PC2 put it
    // The name under the pointer: the line with the largest PC3 at its dot.
    const size_t rightmost = static_cast<size_t>(std::max_element(place.x.begin(), place.x.end()) - place.x.begin());
    f.panel->pcaPlot()->resize(640, 480);
    const QPoint dot = place.at(rightmost);
    EXPECT_EQ(f.panel->pcaPlot()->pointerText(dot.x() + 1, dot.y()).toStdString(),
              "L" + std::string(rightmost < 9 ? "0" : "") + std::to_string(rightmost + 1));
    EXPECT_TRUE(f.panel->pcaPlot()->pointerText(71, 35).isEmpty()); // in the margin no dot reaches

    // Coloured by the group a selection list names: L01 to L06 red, the others blue.
    const std::string list = f.folder.file("group.rvl");
    std::ofstream(list, std::ios::binary) << "L01\r\nL02\r\nL03\r\nL04\r\nL05\r\nL06\r\n";
    f.ui.openChoices.push_back({list});
    f.panel->colourBySelectionListClick();
    EXPECT_EQ(f.panel->colourByBox()->currentText(), QStringLiteral("list group.rvl"));
    image = drawn();
    int checked = 0;
    for (size_t i = 0; i < place.x.size(); ++i) {
        // Dots painted over by a dot of the other colour are left out.
        bool covered = false;
        for (size_t j = 0; j < place.x.size(); ++j)
            if ((i < 6) != (j < 6) && (place.at(i) - place.at(j)).manhattanLength() <= 6)
                covered = true;
        if (covered)
            continue;
        EXPECT_EQ(image.pixel(place.at(i)) & 0xffffff, i < 6 ? 0xdc0000u : 0x0000a0u) << i;
        ++checked;
    }
    EXPECT_GT(checked, 20);

    // "Save picture" in each format, chosen by the name.
    const std::vector<std::pair<std::string, std::string>> formats = {
        {"pca.png", "\x89PNG"}, {"pca.svg", "<?xml"}, {"pca.pdf", "%PDF"}, {"pca.emf", std::string("\x01\0\0\0", 4)}};
    for (const auto &[name, start] : formats) {
        f.ui.saveChoices.push_back(f.folder.file(name));
        f.panel->savePictureClick(f.panel->pcaPlot());
        EXPECT_EQ(fileStart(f.folder.file(name), start.size()), start) << name;
    }
    f.panel->runMixedModelClick();
    f.ui.saveChoices.push_back(f.folder.file("manhattan.png"));
    f.panel->savePictureClick(f.panel->manhattan());
    EXPECT_EQ(fileStart(f.folder.file("manhattan.png"), 4), "\x89PNG");
}

} // namespace
} // namespace rvk
