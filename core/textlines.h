#pragma once
// Small text helpers of the data-file reader, all working on views into one buffer.

#include <string>
#include <string_view>
#include <vector>

namespace rvk {

// Cuts text into lines. Line ends may be LF, CR LF or CR; a UTF-8 byte-order mark at the start
// and trailing blanks, tabs and other control characters of every line are dropped, so files
// written on other systems read exactly like plain ones.
std::vector<std::string_view> splitLines(std::string_view text);
void splitLines(std::string_view text, std::vector<std::string_view> &lines);
// The same cut of a piece of a file whose line separator is known (LF, or CR in a file without
// any LF); no byte-order mark is looked for.
void splitLinesAt(std::string_view text, char separator, std::vector<std::string_view> &lines);
// A line without its trailing blanks, tabs and other control characters.
std::string_view trimLineEnd(std::string_view line);
// Whether text starts with a UTF-8 byte-order mark.
bool startsWithByteOrderMark(std::string_view text);

// Whether text contains needle, comparing ASCII letters without regard to case. needle must be
// given in lower case.
bool containsNoCase(std::string_view text, std::string_view needle);

// The first byte in [p, end) that is one of the lower-case letters a or b in either case, or
// null. Scans many bytes at a time: genotype lines rarely hold the letters of the keys.
const char *findLetterNoCase(const char *p, const char *end, char a, char b);
// The same for three letters.
const char *findLetterNoCase(const char *p, const char *end, char a, char b, char c);

// Which key words a line of a multi-group file holds: "nind", "name", "popt" in any case and
// "nchrom" in lower case, found in one pass.
enum HeaderWord : unsigned { HasNind = 1, HasName = 2, HasPopt = 4, HasNchrom = 8 };
unsigned classifyHeaderWords(std::string_view line);
// The same words, and besides whether the line holds "individual names" (any case): what the
// cutting of a multi-group file needs to know of every line, in one pass.
enum BlockLineWord : unsigned { HasIndividualNames = 16 };
unsigned classifyBlockLine(std::string_view line);

std::string removeBlanks(std::string_view text); // drops every blank and tab
bool isBlankOnly(std::string_view text);         // empty after dropping blanks and tabs
std::string toLower(std::string_view text);

// Cuts the next token from the front of line (blank- or tab-separated, or in double quotes when
// a quote comes before the first blank) and leaves the rest of the line in line.
std::string cutToken(std::string_view &line);

} // namespace rvk
