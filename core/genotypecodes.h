#pragma once
// Genotype codes are the 81 characters "*" (42) to "z" (122); entry c - 42 of the allele table
// describes code c.

#include <array>
#include <bitset>
#include <string_view>

namespace rvk {

constexpr char FirstCode = '*';
constexpr char LastCode = 'z';
constexpr int CodeCount = LastCode - FirstCode + 1; // 81
constexpr char UnknownCode = 'U';                   // stored for any character outside the range

constexpr bool isGenotypeCode(char c)
{
    return static_cast<unsigned char>(c) >= static_cast<unsigned char>(FirstCode)
        && static_cast<unsigned char>(c) <= static_cast<unsigned char>(LastCode);
}

constexpr int codeIndex(char c) { return static_cast<unsigned char>(c) - FirstCode; }
constexpr char codeAt(int index) { return static_cast<char>(FirstCode + index); }

// Which of the 81 codes occur somewhere.
using CodeSet = std::bitset<CodeCount>;

// Marks every code of text in used; text must hold codes only.
void markCodes(std::string_view text, CodeSet &used);

} // namespace rvk
