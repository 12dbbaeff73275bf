#include "settings/datasetsettings.h"

#include "core/dataloader.h"
#include "settings/displaysettings.h"
#include "settings/inifile.h"
#include "settings/recentfiles.h"
#include "settings/settingsfile.h"

#include "support/scripteduserinterface.h"
#include "support/tempfolder.h"

#include <gtest/gtest.h>

namespace rvk {
namespace {

// What a load hands to the settings, taken as the window takes it: the codes, the file to
// remember, then the data set's own settings file.
struct LoadIntoSettings : ::testing::Test
{
    test::TempFolder folder;
    GenotypeData data;
    test::ScriptedUserInterface ui;
    DisplaySettings settings{"/opt/rvk/"};
    RecentFiles recent{settings.recentFiles};
    std::string ini = folder.file("rvk.ini");

    LoadOutcome open(const std::string &path)
    {
        const LoadOutcome outcome = DataLoader(data, ui).OpenFiles({path});
        settings.alleles.markUsed(outcome.usedCodes);
        bool changed = false;
        std::string error;
        if (!outcome.rememberedFile.empty()) {
            EXPECT_TRUE(recent.remember(outcome.rememberedFile, ini, changed, error)) << error;
        }
        if (!outcome.dataSetSettings.empty()) {
            EXPECT_TRUE(loadSettingsWithData(outcome.dataSetSettings, data, settings, &error)) << error;
        }
        return outcome;
    }
};

TEST_F(LoadIntoSettings, MultiGroupFileEntersTheRecentListOnceAndItsFile)
{
    const std::string path = folder.write("two.rvk", "nchrom=2\nnind=2\npopt=f2\nname=g1\nnloc=1\nm1 0 AB\nname=g2\nnloc=1\nm2 0 HA\n");
    open(path);
    EXPECT_EQ(recent.entry(0), path);
    EXPECT_EQ(recent.entry(1), "/opt/rvk/example.rvk");
    EXPECT_TRUE(settings.alleles.lookup('H').Used);
    EXPECT_FALSE(settings.alleles.lookup('a').Used);
    IniFile stored(ini);
    ASSERT_TRUE(stored.load());
    EXPECT_EQ(stored.readString("recent", "1", ""), path);

    // Opening the same file again does not shift the list.
    data.Reset();
    open(path);
    EXPECT_EQ(recent.entry(1), "/opt/rvk/example.rvk");
}

TEST_F(LoadIntoSettings, DataSetSettingsSetTheTicksAndTheRecentList)
{
    DisplaySettings stored("/opt/rvk/");
    stored.selected = {true, false};
    stored.recentFiles = {"/x/one.rvk", "/x/two.rvk", "/x/three.rvk"};
    stored.alleles.setColor(codeIndex('a'), rgb(1, 2, 3));
    ASSERT_TRUE(saveSettings(folder.file("data.rvs"), stored));

    open(folder.write("data.rvk", "name=g\nnloc=1\nnind=3\npopt=f2\nm1 1.0 abc\n"));
    // Individual 3 is not in the file's list and stays ticked.
    EXPECT_EQ(data.Ticked, (std::vector<char>{1, 0, 1}));
    EXPECT_EQ(data.SelectedIndices, (std::vector<int>{0, 2}));
    EXPECT_EQ(recent.entry(1), "/x/two.rvk");
    EXPECT_EQ(settings.alleles.lookup('a').Color, rgb(1, 2, 3));
    // Loading settings keeps what the data use.
    EXPECT_TRUE(settings.alleles.lookup('c').Used);
}

} // namespace
} // namespace rvk
