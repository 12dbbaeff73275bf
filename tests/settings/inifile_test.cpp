#include "settings/inifile.h"
#include "settings/programpaths.h"

#include "support/tempfolder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace rvk {
namespace {

using test::readWholeFile;
using test::TempFolder;

struct ReadCase
{
    const char *name;
    const char *text;
    const char *section;
    const char *key;
    const char *expected; // nullptr: absent
};

TEST(IniFileReading, FindsValuesWrittenOnAnySystem)
{
    const ReadCase cases[] = {
        {"plain", "[drawing]\nbarwidth=8\n", "drawing", "barwidth", "8"},
        {"section case", "[Drawing]\nbarwidth=8\n", "DRAWING", "barwidth", "8"},
        {"key case", "[drawing]\nBarWidth=8\n", "drawing", "barwidth", "8"},
        {"crlf", "[drawing]\r\nbarwidth=8\r\nspace=6\r\n", "drawing", "space", "6"},
        {"crlf no final break", "[drawing]\r\nbarwidth=8", "drawing", "barwidth", "8"},
        {"old mac line ends", "[drawing]\rbarwidth=8\rspace=6\r", "drawing", "space", "6"},
        {"byte order mark", "\xEF\xBB\xBF[drawing]\nbarwidth=8\n", "drawing", "barwidth", "8"},
        {"blanks around", "  [ drawing ]  \n  barwidth =  8  \n", "drawing", "barwidth", "8"},
        {"tabs around", "[drawing]\n\tbarwidth\t=\t8\t\n", "drawing", "barwidth", "8"},
        {"empty value is present", "[Legend]\n65=\n", "Legend", "65", ""},
        {"value with equals", "[drawing]\ncustomtext=a=b\n", "drawing", "customtext", "a=b"},
        {"inner blanks kept", "[Legend]\n65=two words\n", "Legend", "65", "two words"},
        {"first duplicate key wins", "[s]\nk=1\nk=2\n", "s", "k", "1"},
        {"first duplicate section wins", "[s]\nk=1\n[t]\n[S]\nk=2\n", "s", "k", "1"},
        {"key in other section", "[a]\nk=1\n[b]\n", "b", "k", nullptr},
        {"key before any section", "k=1\n[a]\n", "a", "k", nullptr},
        {"comment line", "[a]\n;k=1\n", "a", "k", nullptr},
        {"missing section", "", "a", "k", nullptr},
        {"blank lines inside", "[a]\n\nx=1\n\nk=2\n\n[b]\n", "a", "k", "2"},
    };
    for (const ReadCase &c : cases) {
        IniFile ini("unused.ini");
        ini.setText(c.text);
        const std::optional<std::string> value = ini.value(c.section, c.key);
        if (c.expected) {
            ASSERT_TRUE(value.has_value()) << c.name;
            EXPECT_EQ(*value, c.expected) << c.name;
            EXPECT_TRUE(ini.hasKey(c.section, c.key)) << c.name;
            EXPECT_EQ(ini.readString(c.section, c.key, "default"), c.expected) << c.name;
        } else {
            EXPECT_FALSE(value.has_value()) << c.name;
            EXPECT_EQ(ini.readString(c.section, c.key, "default"), "default") << c.name;
        }
    }
}

struct TypedCase
{
    const char *value;
    int integer;   // default 7
    double real;   // default 7.5
    bool boolean;  // default true
};

TEST(IniFileReading, TypedValuesFallBackToTheDefaultWhenUnreadable)
{
    const TypedCase cases[] = {
        {"0", 0, 0.0, false},
        {"1", 1, 1.0, true},
        {"-3", -3, -3.0, true},
        {"+12", 12, 12.0, true},
        {"0.5", 7, 0.5, true},
        {"-99", -99, -99.0, true},
        {"-99.00", 7, -99.0, true},
        {"1E-5", 7, 1e-5, true},
        {"8421504", 8421504, 8421504.0, true},
        {"0,5", 7, 7.5, true},
        {"abc", 7, 7.5, true},
        {"true", 7, 7.5, true},
        {"", 7, 7.5, true},
        {"12abc", 7, 7.5, true},
        {"99999999999", 7, 99999999999.0, true},
        {"nan", 7, 7.5, true},
        {"inf", 7, 7.5, true},
    };
    for (const TypedCase &c : cases) {
        IniFile ini("unused.ini");
        ini.setText(std::string("[s]\nk=") + c.value + "\n");
        EXPECT_EQ(ini.readInteger("s", "k", 7), c.integer) << c.value;
        EXPECT_EQ(ini.readFloat("s", "k", 7.5), c.real) << c.value;
        EXPECT_EQ(ini.readBool("s", "k", true), c.boolean) << c.value;
    }
    IniFile empty("unused.ini");
    EXPECT_EQ(empty.readInteger("s", "k", 7), 7);
    EXPECT_EQ(empty.readFloat("s", "k", 7.5), 7.5);
    EXPECT_FALSE(empty.readBool("s", "k", false));
}

struct WriteCase
{
    const char *name;
    const char *before;
    const char *section;
    const char *key;
    const char *value;
    const char *after;
};

TEST(IniFileWriting, ReplacesInPlaceAndAppendsAtTheEndOfTheSection)
{
    const WriteCase cases[] = {
        {"new file", "", "drawing", "barwidth", "8", "[drawing]\nbarwidth=8\n"},
        {"replace in place", "[a]\nx=1\nk=2\ny=3\n", "a", "k", "9", "[a]\nx=1\nk=9\ny=3\n"},
        {"replace ignores case", "[A]\nK=2\n", "a", "k", "9", "[A]\nK=9\n"},
        {"new key at end of its section", "[a]\nx=1\n[b]\ny=2\n", "a", "k", "9", "[a]\nx=1\nk=9\n[b]\ny=2\n"},
        {"new key before blank separator", "[a]\nx=1\n\n[b]\n", "a", "k", "9", "[a]\nx=1\nk=9\n\n[b]\n"},
        {"new section at end", "[a]\nx=1\n", "b", "k", "9", "[a]\nx=1\n[b]\nk=9\n"},
        {"comments kept", "; settings\n[a]\n;note\nx=1\nrubbish line\n", "a", "x", "2",
         "; settings\n[a]\n;note\nx=2\nrubbish line\n"},
        {"crlf kept", "[a]\r\nx=1\r\n", "a", "k", "9", "[a]\r\nx=1\r\nk=9\r\n"},
        {"byte order mark kept", "\xEF\xBB\xBF[a]\nx=1\n", "a", "x", "2", "\xEF\xBB\xBF[a]\nx=2\n"},
        {"blanks of other lines kept", "[a]\n x = 1 \nk=2\n", "a", "k", "3", "[a]\n x = 1 \nk=3\n"},
        {"line break in value", "", "a", "k", "one\ntwo\r\n", "[a]\nk=one two  \n"},
    };
    for (const WriteCase &c : cases) {
        IniFile ini("unused.ini");
        ini.setText(c.before);
        ini.writeString(c.section, c.key, c.value);
        EXPECT_EQ(ini.text(), c.after) << c.name;
    }
}

TEST(IniFileWriting, TypedValuesUseDecimalPointAndOneZeroBooleans)
{
    IniFile ini("unused.ini");
    ini.writeFloat("n", "half", 0.5);
    ini.writeFloat("n", "missing", -99.0);
    ini.writeFloat("n", "one", 1.0);
    ini.writeFloat("n", "third", 1.0 / 3.0);
    ini.writeInteger("n", "colour", 8421504);
    ini.writeBool("n", "yes", true);
    ini.writeBool("n", "no", false);
    EXPECT_EQ(ini.text(), "[n]\nhalf=0.5\nmissing=-99\none=1\nthird=0.333333333333333\ncolour=8421504\nyes=1\nno=0\n");
    EXPECT_EQ(ini.keys("N"), (std::vector<std::string>{"half", "missing", "one", "third", "colour", "yes", "no"}));
    EXPECT_EQ(ini.sections(), std::vector<std::string>{"n"});
}

TEST(IniFileWriting, ErasedKeysAndSectionsDisappear)
{
    IniFile ini("unused.ini");
    ini.setText("[a]\nk=1\nx=2\nK=3\n[selected]\n1=1\n2=0\n[b]\ny=1\n");
    EXPECT_TRUE(ini.eraseKey("A", "k"));
    EXPECT_FALSE(ini.hasKey("a", "k"));
    EXPECT_TRUE(ini.eraseSection("SELECTED"));
    EXPECT_FALSE(ini.hasSection("selected"));
    EXPECT_FALSE(ini.eraseSection("selected"));
    EXPECT_EQ(ini.text(), "[a]\nx=2\n[b]\ny=1\n");
    ini.writeBool("selected", "1", true);
    EXPECT_EQ(ini.text(), "[a]\nx=2\n[b]\ny=1\n[selected]\n1=1\n");
}

TEST(IniFileFile, MissingFileReadsAsEmpty)
{
    TempFolder folder;
    IniFile ini(folder.file("absent.ini"));
    EXPECT_TRUE(ini.load());
    EXPECT_TRUE(ini.sections().empty());
    EXPECT_EQ(ini.readString("recent", "1", "fallback"), "fallback");
}

TEST(IniFileFile, SaveKeepsKeysThatWereNotWritten)
{
    TempFolder folder;
    const std::string path = folder.write("rvk.ini", "[recent]\r\n1=/data/a.rvk\r\n2=/data/b.rvk\r\n[other]\r\nkeep=yes\r\n");
    IniFile ini(path);
    ASSERT_TRUE(ini.load());
    ini.writeString("RECENT", "1", "/data/c.rvk");
    ini.writeString("recent", "3", "/data/d.rvk");
    std::string error;
    ASSERT_TRUE(ini.save(&error)) << error;
    EXPECT_EQ(readWholeFile(path), "[recent]\r\n1=/data/c.rvk\r\n2=/data/b.rvk\r\n3=/data/d.rvk\r\n[other]\r\nkeep=yes\r\n");

    IniFile reread(path);
    ASSERT_TRUE(reread.load());
    EXPECT_EQ(reread.readString("other", "keep", ""), "yes");
    // No temporary file is left behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1);
}

TEST(IniFileFile, UnwritableTargetGivesTheMessageAndLeavesTheOldFile)
{
    TempFolder folder;
    {
        const std::string path = folder.file("no such folder/rvk.ini");
        IniFile ini(path);
        ini.writeString("a", "k", "1");
        std::string error;
        EXPECT_FALSE(ini.save(&error));
        EXPECT_EQ(error, "Unable to write to " + path);
    }
    {
        // A folder in the file's place cannot be replaced by the new file.
        const std::string path = folder.file("taken.ini");
        std::filesystem::create_directory(path);
        folder.write("taken.ini/inside.txt", "old");
        IniFile ini(path);
        ini.writeString("a", "k", "1");
        std::string error;
        EXPECT_FALSE(ini.save(&error));
        EXPECT_EQ(error, "Unable to write to " + path);
        EXPECT_EQ(readWholeFile(folder.file("taken.ini/inside.txt")), "old");
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.path()), {}), 1);
    }
}

TEST(IniFileFile, SaveThroughALinkChangesTheLinkedFile)
{
    TempFolder folder;
    const std::string real = folder.write("real.ini", "[a]\nk=1\n");
    const std::string link = folder.file("link.ini");
    std::filesystem::create_symlink(real, link);
    IniFile ini(link);
    ASSERT_TRUE(ini.load());
    ini.writeString("a", "k", "2");
    ASSERT_TRUE(ini.save());
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    EXPECT_EQ(readWholeFile(real), "[a]\nk=2\n");
}

TEST(ProgramPaths, SettingsFileBesideTheProgramOrInTheUserFolder)
{
    TempFolder folder;
    const std::string program = folder.path().string() + "/bin/";
    const std::string config = folder.path().string() + "/config/rvk/";
    std::filesystem::create_directory(program);
    EXPECT_EQ(defaultSettingsFilePath(program, config), program + "rvk.ini");
    // A program folder that does not exist (or cannot be written) sends the file to the user's
    // folder, which is created.
    const std::string gone = folder.path().string() + "/gone/";
    EXPECT_EQ(defaultSettingsFilePath(gone, config), config + "rvk.ini");
    EXPECT_TRUE(std::filesystem::is_directory(config));

    const std::string directory = programDirectory();
    ASSERT_FALSE(directory.empty());
    EXPECT_EQ(directory.back(), '/');
    EXPECT_TRUE(std::filesystem::is_directory(directory));
}

} // namespace
} // namespace rvk
