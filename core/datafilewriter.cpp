#include "core/datafilewriter.h"

#include "core/textformat.h"
#include "core/textlines.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

namespace rvk {

std::string replaceExtensionAtFirstDot(const std::string &path, const std::string &extension)
{
    const size_t slash = path.find_last_of('/');
    const size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const size_t dot = path.find('.', nameStart);
    return (dot == std::string::npos ? path : path.substr(0, dot)) + extension;
}

namespace {

// A name as the reader builds it: the name token, then " <...>" and " (...)" when the record
// carried those annotations. The reader wants them after the position, so they are taken apart.
struct NameParts
{
    std::string bare;
    std::string segregation;
    std::string annotation;
};

bool endsWithBracketed(const std::string &text, char open, char close, size_t &start)
{
    if (text.empty() || text.back() != close)
        return false;
    const size_t blank = text.rfind(' ');
    if (blank == std::string::npos || blank + 1 >= text.size() || text[blank + 1] != open)
        return false;
    start = blank;
    return true;
}

NameParts splitName(const std::string &name)
{
    NameParts parts;
    parts.bare = name;
    size_t start = 0;
    if (endsWithBracketed(parts.bare, '(', ')', start)) {
        parts.annotation = parts.bare.substr(start + 1);
        parts.bare.resize(start);
    }
    if (endsWithBracketed(parts.bare, '<', '>', start)) {
        parts.segregation = parts.bare.substr(start + 1);
        parts.bare.resize(start);
    }
    return parts;
}

// The name as a token the reader cuts back out whole: in double quotes when it is empty, holds
// blanks or would make the line a comment. A double quote inside a name cannot be written and
// becomes a single quote.
std::string nameToken(std::string name)
{
    for (char &c : name)
        if (c == '"')
            c = '\'';
    const bool quote = name.empty() || name.find_first_of(" \t") != std::string::npos || name.front() == ';';
    return quote ? "\"" + name + "\"" : name;
}

// Whether the multi-group reader would take line for a header line or a block start.
bool looksLikeHeader(std::string_view line)
{
    return classifyHeaderWords(line) != 0;
}

} // namespace

DataFileWriter::DataFileWriter(const GenotypeData &data, UserInterface &ui) : mData(data), mUi(ui) {}

std::string DataFileWriter::locusLine(const Tlocinfo &locus, bool crossPollinator)
{
    const NameParts parts = splitName(locus.Name);
    std::string position;
    if (!crossPollinator && (locus.QtlStart != 0.0 || locus.QtlEnd != 0.0))
        // A QTL interval travels in the position token, so the locus stays a QTL locus.
        position = formatText("%2.1f/%2.1f/%2.1f", {locus.Position, locus.QtlStart, locus.QtlEnd});
    else
        position = formatText("%2.1f", {locus.Position});

    std::string segregation = parts.segregation;
    if (segregation.empty() && crossPollinator)
        segregation = locus.SegType;
    std::string tail;
    const std::string phase = locus.Phase;
    for (const std::string *piece : std::initializer_list<const std::string *>{&segregation, &phase, &parts.annotation}) {
        if (piece->empty())
            continue;
        if (!tail.empty())
            tail += ' ';
        tail += *piece;
    }
    return nameToken(parts.bare) + "  " + position + " " + tail;
}

std::string DataFileWriter::genotypeLine(std::string_view genotypes)
{
    std::string line;
    line.reserve(genotypes.size() + genotypes.size() / 5 + 2);
    // A line starting with ";" would be dropped as a comment; a leading blank keeps it.
    if (!genotypes.empty() && genotypes.front() == ';')
        line += ' ';
    for (size_t i = 0; i < genotypes.size(); ++i) {
        line += genotypes[i];
        if (i % 5 == 4)
            line += ' ';
    }
    return line;
}

std::string DataFileWriter::namesLine(const std::vector<std::string> &names)
{
    std::string line;
    for (std::string name : names) {
        for (char &c : name)
            if (c == '"')
                c = '\'';
        line += '"' + name + "\" ";
    }
    return line;
}

std::string DataFileWriter::fileText(const GenotypeData &data, std::vector<std::string> *misread)
{
    const bool crossPollinator = data.IsCrossPollinator();
    std::string text;
    auto add = [&text](const std::string &line) {
        text += line;
        text += '\n';
    };

    add("nchrom=" + std::to_string(data.GroupCount()));
    add("nind=" + std::to_string(data.nind));
    add("popt=" + data.popt);
    for (int k = 0; k < data.GroupCount(); ++k) {
        add("");
        add("name=" + data.GroupName(k));
        add("nloc=" + std::to_string(data.GroupLocusCount(k)));
        for (const Tlocinfo &locus : data.GroupLoci(k)) {
            const std::string first = locusLine(locus, crossPollinator);
            const std::string codes = genotypeLine(locus.Genotypes);
            if (misread) {
                if (looksLikeHeader(first))
                    misread->push_back(first);
                // A cp continuation line is searched for annotations, and "ALIAS" ends any record.
                if (looksLikeHeader(codes) || codes.find("ALIAS") != std::string::npos
                    || (crossPollinator && codes.find('>') != std::string::npos))
                    misread->push_back(codes);
            }
            add(first);
            add(codes);
        }
    }
    add("Alias");
    const std::string names = namesLine(data.IndividualNames);
    if (misread && looksLikeHeader(names))
        misread->push_back(names);
    add(names);
    return text;
}

std::string DataFileWriter::readBackWarning(const std::vector<std::string> &lines)
{
    std::string text = "These lines of the saved file will not read back as written (a name holding \"name\", \"nind\", "
                       "\"popt\" or \"nchrom\", or codes the reader takes for other things):";
    text += '\r';
    for (const std::string &line : lines) {
        text += line.size() > 60 ? line.substr(0, 60) + "..." : line;
        text += '\r';
    }
    return text;
}

std::string DataFileWriter::SaveDataFile(const WrittenHook &written)
{
    if (mData.GroupCount() == 0)
        return {};
    const std::string chosen = mUi.saveFileName("Save RVK data", DialogFilter, mData.CurrentFilePath);
    if (chosen.empty())
        return {};
    return save(chosen, written);
}

std::string DataFileWriter::save(const std::string &chosenPath, const WrittenHook &written)
{
    const std::string path = replaceExtensionAtFirstDot(chosenPath, ".rvk");
    std::vector<std::string> misread;
    const std::string text = fileText(mData, &misread);
    if (!writeFileReplacing(path, text, mUi))
        return {};
    if (written)
        written(path);
    if (!misread.empty())
        mUi.warning(readBackWarning(misread));
    mUi.information(savedMessage(path));
    return path;
}

} // namespace rvk
