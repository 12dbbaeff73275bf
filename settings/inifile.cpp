#include "settings/inifile.h"

#include "core/safefile.h"

#include "core/textformat.h"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>


namespace rvk {

namespace {

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
        text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t'))
        text.remove_suffix(1);
    return text;
}

std::string lowered(std::string_view text)
{
    std::string result(text);
    for (char &c : result)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return result;
}

// The form under which section and key names are compared.
std::string nameKey(std::string_view name) { return lowered(trimmed(name)); }

std::string withoutLineBreaks(std::string_view text)
{
    std::string result(text);
    for (char &c : result)
        if (c == '\r' || c == '\n')
            c = ' ';
    return result;
}

constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";

} // namespace

IniFile::IniFile(std::string path) : mPath(std::move(path)) { clear(); }

void IniFile::clear()
{
    mSections.clear();
    mSectionIndex.clear();
    mSections.emplace_back(); // the lines before the first section header
    mLineEnd = "\n";
    mByteOrderMark = false;
}

bool IniFile::load(std::string *errorText)
{
    std::error_code error;
    if (!std::filesystem::exists(mPath, error)) {
        clear();
        return true;
    }
    std::ifstream in;
    if (std::filesystem::is_regular_file(mPath, error))
        in.open(mPath, std::ios::binary);
    std::ostringstream contents;
    // An empty file gives nothing to copy, which is no error.
    if (in.is_open() && in.peek() != std::ifstream::traits_type::eof())
        contents << in.rdbuf();
    if (!in.is_open() || in.bad() || !contents) {
        if (errorText)
            *errorText = formatText("Unable to read %s", {mPath});
        clear();
        return false;
    }
    setText(contents.str());
    return true;
}

void IniFile::setText(std::string_view text)
{
    clear();
    if (text.starts_with(ByteOrderMark)) {
        mByteOrderMark = true;
        text.remove_prefix(ByteOrderMark.size());
    }
    const size_t firstBreak = text.find_first_of("\r\n");
    if (firstBreak != std::string_view::npos && text[firstBreak] == '\r')
        mLineEnd = (firstBreak + 1 < text.size() && text[firstBreak + 1] == '\n') ? "\r\n" : "\r";

    auto addLine = [this](std::string_view line) {
        Section *current = &mSections.back();
        const std::string_view content = trimmed(line);
        if (content.empty()) {
            ++current->trailingBlankLines;
            return;
        }
        if (content.front() == '[') {
            const size_t close = content.find(']');
            Section section;
            section.header = std::string(line);
            section.name = std::string(trimmed(content.substr(1, close == std::string_view::npos ? std::string_view::npos : close - 1)));
            mSectionIndex.emplace(lowered(section.name), mSections.size());
            mSections.push_back(std::move(section));
            return;
        }
        // Blank lines inside a section belong to it; only the ones at its end are kept apart.
        for (; current->trailingBlankLines > 0; --current->trailingBlankLines)
            current->lines.push_back(Line{});
        Line entry;
        entry.text = std::string(line);
        const size_t equals = content.find('=');
        if (content.front() != ';' && equals != std::string_view::npos) {
            const std::string_view key = trimmed(content.substr(0, equals));
            if (!key.empty()) {
                entry.key = std::string(key);
                entry.value = std::string(trimmed(content.substr(equals + 1)));
                current->keyIndex.emplace(lowered(key), current->lines.size());
            }
        }
        current->lines.push_back(std::move(entry));
    };

    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            addLine(text.substr(start));
            break;
        }
        addLine(text.substr(start, end - start));
        start = end + ((text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n') ? 2 : 1);
    }
}

std::string IniFile::text() const
{
    std::string out;
    if (mByteOrderMark)
        out += ByteOrderMark;
    for (size_t s = 0; s < mSections.size(); ++s) {
        const Section &section = mSections[s];
        if (section.erased)
            continue;
        if (s > 0)
            out += section.header + mLineEnd;
        for (const Line &line : section.lines)
            if (!line.erased)
                out += line.text + mLineEnd;
        for (int i = 0; i < section.trailingBlankLines; ++i)
            out += mLineEnd;
    }
    return out;
}

bool IniFile::save(std::string *errorText) const
{
    return writeFileReplacing(mPath, text(), errorText);
}

IniFile::Section *IniFile::findSection(std::string_view section)
{
    const auto found = mSectionIndex.find(nameKey(section));
    return found == mSectionIndex.end() ? nullptr : &mSections[found->second];
}

const IniFile::Section *IniFile::findSection(std::string_view section) const
{
    const auto found = mSectionIndex.find(nameKey(section));
    return found == mSectionIndex.end() ? nullptr : &mSections[found->second];
}

const IniFile::Line *IniFile::findLine(std::string_view section, std::string_view key) const
{
    const Section *found = findSection(section);
    if (!found)
        return nullptr;
    const auto line = found->keyIndex.find(nameKey(key));
    return line == found->keyIndex.end() ? nullptr : &found->lines[line->second];
}

bool IniFile::hasSection(std::string_view section) const { return findSection(section) != nullptr; }

bool IniFile::hasKey(std::string_view section, std::string_view key) const { return findLine(section, key) != nullptr; }

std::vector<std::string> IniFile::keys(std::string_view section) const
{
    std::vector<std::string> result;
    if (const Section *found = findSection(section))
        for (const Line &line : found->lines)
            if (!line.erased && !line.key.empty())
                result.push_back(line.key);
    return result;
}

std::vector<std::string> IniFile::sections() const
{
    std::vector<std::string> result;
    for (size_t s = 1; s < mSections.size(); ++s)
        if (!mSections[s].erased)
            result.push_back(mSections[s].name);
    return result;
}

std::optional<std::string> IniFile::value(std::string_view section, std::string_view key) const
{
    if (const Line *line = findLine(section, key))
        return line->value;
    return std::nullopt;
}

std::string IniFile::readString(std::string_view section, std::string_view key, std::string_view defaultValue) const
{
    if (const Line *line = findLine(section, key))
        return line->value;
    return std::string(defaultValue);
}

int IniFile::readInteger(std::string_view section, std::string_view key, int defaultValue) const
{
    const Line *line = findLine(section, key);
    if (!line)
        return defaultValue;
    const std::optional<long long> number = parseInteger(line->value);
    if (!number || *number < std::numeric_limits<int>::min() || *number > std::numeric_limits<int>::max())
        return defaultValue;
    return static_cast<int>(*number);
}

double IniFile::readFloat(std::string_view section, std::string_view key, double defaultValue) const
{
    const Line *line = findLine(section, key);
    if (!line)
        return defaultValue;
    const std::optional<double> number = parseDecimal(line->value);
    if (!number || !std::isfinite(*number))
        return defaultValue;
    return *number;
}

bool IniFile::readBool(std::string_view section, std::string_view key, bool defaultValue) const
{
    const Line *line = findLine(section, key);
    if (!line)
        return defaultValue;
    const std::optional<long long> number = parseInteger(line->value);
    return number ? *number != 0 : defaultValue;
}

IniFile::Section &IniFile::sectionForWriting(std::string_view section)
{
    if (Section *found = findSection(section))
        return *found;
    Section created;
    created.name = std::string(trimmed(section));
    created.header = "[" + created.name + "]";
    mSectionIndex.emplace(nameKey(section), mSections.size());
    mSections.push_back(std::move(created));
    return mSections.back();
}

void IniFile::writeString(std::string_view section, std::string_view key, std::string_view value)
{
    Section &target = sectionForWriting(section);
    const std::string cleanValue = withoutLineBreaks(value);
    const auto found = target.keyIndex.find(nameKey(key));
    if (found != target.keyIndex.end()) {
        Line &line = target.lines[found->second];
        line.value = cleanValue;
        line.text = line.key + "=" + cleanValue;
        return;
    }
    Line line;
    line.key = std::string(trimmed(key));
    line.value = cleanValue;
    line.text = line.key + "=" + cleanValue;
    target.keyIndex.emplace(nameKey(key), target.lines.size());
    target.lines.push_back(std::move(line));
}

void IniFile::writeInteger(std::string_view section, std::string_view key, long long value)
{
    writeString(section, key, std::to_string(value));
}

void IniFile::writeFloat(std::string_view section, std::string_view key, double value)
{
    writeString(section, key, formatGeneral(value));
}

void IniFile::writeBool(std::string_view section, std::string_view key, bool value)
{
    writeString(section, key, value ? "1" : "0");
}

bool IniFile::eraseKey(std::string_view section, std::string_view key)
{
    Section *found = findSection(section);
    if (!found)
        return false;
    const std::string lowerKey = nameKey(key);
    if (found->keyIndex.erase(lowerKey) == 0)
        return false;
    // Later duplicates go as well, so the key is really absent afterwards.
    for (Line &line : found->lines)
        if (!line.key.empty() && lowered(line.key) == lowerKey)
            line.erased = true;
    return true;
}

bool IniFile::eraseSection(std::string_view section)
{
    const std::string lowerName = nameKey(section);
    if (mSectionIndex.erase(lowerName) == 0)
        return false;
    for (size_t s = 1; s < mSections.size(); ++s)
        if (lowered(mSections[s].name) == lowerName)
            mSections[s].erased = true;
    return true;
}

} // namespace rvk
