#pragma once

#include "core/genotypecodes.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace rvk {

// Collects genotype codes from the lines of a data file: drops blanks and tabs, stores every
// character outside "*".."z" as "U", and remembers which codes occurred. This is the reader's
// hot loop, so the usual case (a few distinct codes, a blank after every fifth) runs sixteen
// bytes at a time.
class CodeCollector
{
public:
    CodeCollector();

    // Appends the codes of text to out; returns how many were appended.
    size_t append(std::string &out, std::string_view text);

    CodeSet usedCodes() const;

private:
    size_t appendScalar(char *write, const char *p, const char *end);
    size_t appendVector(char *write, const char *p, const char *end);
    bool isKnown(unsigned char c) const;

    std::array<unsigned char, 256> mSeen{};
    // Codes met so far that stand for themselves, checked sixteen bytes at a time.
    std::array<unsigned char, 8> mKnown{};
    int mKnownCount = 0;
    std::vector<char> mScratch;
    bool mVector;
};

} // namespace rvk
