#include "core/codecollector.h"

#include <gtest/gtest.h>

#include <random>

namespace rvk {
namespace {

// The plain reading of a line of codes: blanks and tabs dropped, anything outside "*".."z"
// stored as "U".
std::string expectedCodes(std::string_view text)
{
    std::string out;
    for (char c : text)
        if (c != ' ' && c != '\t')
            out += isGenotypeCode(c) ? c : UnknownCode;
    return out;
}

TEST(CodeCollector, AgreesWithThePlainReadingOnEveryKindOfLine)
{
    std::mt19937 random(7);
    const std::string alphabets[] = {"AHB- ", "AHB-\t ", "abcdefghijklmnop ", std::string("AB ~\x01\xC3\x7F", 8), "*z{)+ "};
    for (const std::string &alphabet : alphabets) {
        CodeCollector collector;
        for (int length : {0, 1, 15, 16, 17, 31, 64, 1000}) {
            std::string line;
            for (int i = 0; i < length; ++i)
                line += alphabet[random() % alphabet.size()];
            std::string out = "xy";
            const size_t n = collector.append(out, line);
            EXPECT_EQ(out, "xy" + expectedCodes(line)) << length;
            EXPECT_EQ(n, out.size() - 2);
        }
    }
}

TEST(CodeCollector, RemembersTheCodesThatOccurred)
{
    CodeCollector collector;
    std::string out;
    collector.append(out, std::string(40, 'A') + " BBBBB HHHHH ~" + std::string(40, 'A'));
    collector.append(out, "zz");
    const CodeSet used = collector.usedCodes();
    for (char c : std::string("ABHUz"))
        EXPECT_TRUE(used.test(static_cast<size_t>(codeIndex(c)))) << c;
    EXPECT_EQ(used.count(), 5u);
}

} // namespace
} // namespace rvk
