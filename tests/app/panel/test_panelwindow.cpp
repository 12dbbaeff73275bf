// The window "Panel genomics" on the panel fixture (tests/data/panel): the runs, the table
// sorted by p, Cancel, and the breeding values added to the trait table.
#include "app/association/associationpage.h"
#include "app/mainwindow.h"
#include "app/panel/panelmodels.h"
#include "app/panel/panelpicturewidget.h"
#include "app/panel/panelwindow.h"
#include "genetics/clusterorder.h"
#include "genetics/panelfixture.h"
#include "support/scripteduserinterface.h"
#include "support/tempfolder.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QTabWidget>

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

} // namespace
} // namespace rvk
