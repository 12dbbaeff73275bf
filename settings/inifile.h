#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace rvk {

// An initialisation file: "[section]" lines opening sections and "key=value" lines in them.
//
// It behaves like the initialisation-file routines the settings files were first written with,
// so files travel between systems unchanged in meaning:
//  - section and key names are compared without regard to (ASCII) case; the first occurrence of
//    a duplicated section or key is the one that counts;
//  - blanks around names, "=" and values are ignored; CR LF and LF line ends and a UTF-8 byte
//    order mark are accepted;
//  - writing replaces an existing key in place, appends a new key at the end of its section and
//    a new section at the end of the file; everything else (other keys, comments, unknown lines)
//    is saved as it was read, with the file's own line ends.
// Values are texts; the typed readers return the default for a value that cannot be read as
// the required type. Numbers always use "." as the decimal separator.
class IniFile
{
public:
    explicit IniFile(std::string path);

    const std::string &path() const { return mPath; }

    // Reads the file. A missing file reads as an empty one (returns true); false only when the
    // file exists but cannot be read, with the reason in errorText.
    bool load(std::string *errorText = nullptr);
    // Replaces the contents by text, as if read from a file.
    void setText(std::string_view text);
    // The contents as save() would write them.
    std::string text() const;
    void clear();

    // Writes the contents to path(): to a temporary file in the same folder, then renamed over
    // the old file, so a failed save leaves the old file as it was. On failure errorText gets
    // "Unable to write to " and the path.
    bool save(std::string *errorText = nullptr) const;

    bool hasSection(std::string_view section) const;
    bool hasKey(std::string_view section, std::string_view key) const;
    // Key names of a section in file order (as spelt in the file); empty for a missing section.
    std::vector<std::string> keys(std::string_view section) const;
    std::vector<std::string> sections() const;

    // The raw value text, or nothing when the key is absent. A key with an empty value is present.
    std::optional<std::string> value(std::string_view section, std::string_view key) const;

    std::string readString(std::string_view section, std::string_view key, std::string_view defaultValue) const;
    // A whole number in decimal (optional sign); anything else, or a number out of range, gives
    // the default.
    int readInteger(std::string_view section, std::string_view key, int defaultValue) const;
    // A finite decimal number with "." as separator; anything else gives the default.
    double readFloat(std::string_view section, std::string_view key, double defaultValue) const;
    // An integer, non-zero meaning true; anything else gives the default.
    bool readBool(std::string_view section, std::string_view key, bool defaultValue) const;

    // Line breaks inside a value would split the line and are stored as blanks.
    void writeString(std::string_view section, std::string_view key, std::string_view value);
    void writeInteger(std::string_view section, std::string_view key, long long value);
    // General format: shortest text with up to 15 significant digits ("0.5", "-99").
    void writeFloat(std::string_view section, std::string_view key, double value);
    // "1" or "0".
    void writeBool(std::string_view section, std::string_view key, bool value);

    // Removes one key, or a whole section with its header and lines. Return whether anything went.
    bool eraseKey(std::string_view section, std::string_view key);
    bool eraseSection(std::string_view section);

private:
    // One line of a section: a key with its value, or any other line kept as it was.
    struct Line
    {
        std::string text;  // the original line; regenerated when the value is written
        std::string key;   // empty for lines that are not "key=value"
        std::string value; // trimmed value text
        bool erased = false;
    };
    struct Section
    {
        std::string header; // the "[name]" line as read; empty for the lines before any section
        std::string name;
        std::vector<Line> lines;
        int trailingBlankLines = 0; // kept apart so new keys go before the blank lines
        std::unordered_map<std::string, size_t> keyIndex; // lower-case key -> first line
        bool erased = false;
    };

    const Line *findLine(std::string_view section, std::string_view key) const;
    Section *findSection(std::string_view section);
    const Section *findSection(std::string_view section) const;
    Section &sectionForWriting(std::string_view section);

    std::string mPath;
    std::vector<Section> mSections; // mSections[0] holds the lines before the first header
    std::unordered_map<std::string, size_t> mSectionIndex;
    std::string mLineEnd = "\n";
    bool mByteOrderMark = false;
};

} // namespace rvk
