#include "core/phases.h"

#include "core/readexception.h"

#include <array>
#include <cstring>

namespace rvk {

namespace {

// Counter bits a rule adds to.
enum : unsigned { C1 = 1, R1 = 2, C2 = 4, R2 = 8 };

struct CodePairRule
{
    const char *reference;
    const char *current;
    unsigned counters;
};

struct TypePairRules
{
    const char *referenceType;
    const char *currentType;
    std::initializer_list<CodePairRule> rules;
};

// Every counting rule, one row per (reference code, current code) pair. Type pairs not listed
// count nothing. "<abxcd>" against itself is computed, not listed.
const std::initializer_list<TypePairRules> &cpRules()
{
    static const std::initializer_list<TypePairRules> rules = {
        {"<abxaa>", "<abxaa>", {{"aa", "aa", C1}, {"ab", "ab", C1}, {"ab", "aa", R1}, {"aa", "ab", R1}}},
        {"<abxaa>", "<abxab>", {{"aa", "aa", C1}, {"ab", "bb", C1}, {"ab", "aa", R1}, {"aa", "bb", R1}}},
        {"<abxab>", "<abxaa>", {{"aa", "aa", C1}, {"bb", "ab", C1}, {"aa", "ab", R1}, {"bb", "aa", R1}}},
        {"<abxab>", "<abxab>", {{"aa", "aa", C1 | C2}, {"bb", "bb", C1 | C2}, {"aa", "bb", R1 | R2}, {"bb", "aa", R1 | R2}}},
        {"<aaxab>", "<aaxab>", {{"aa", "aa", C2}, {"ab", "ab", C2}, {"aa", "ab", R2}, {"ab", "aa", R2}}},
        {"<aaxab>", "<abxab>", {{"aa", "aa", C2}, {"ab", "bb", C2}, {"ab", "aa", R2}, {"aa", "bb", R2}}},
        {"<abxab>", "<aaxab>", {{"aa", "aa", C2}, {"bb", "ab", C2}, {"aa", "ab", R2}, {"bb", "aa", R2}}},
        {"<lmxll>", "<lmxll>", {{"ll", "ll", C1}, {"ml", "ml", C1}, {"ml", "ll", R1}, {"ll", "ml", R1}}},
        {"<lmxll>", "<efxeg>", {{"ll", "ee", C1}, {"ml", "fg", C1}, {"ml", "ee", R1}, {"ll", "fe", R1}}},
        {"<lmxll>", "<hkxhk>", {{"ll", "hh", C1}, {"ml", "kk", C1}, {"ml", "hh", R1}, {"ll", "kk", R1}}},
        {"<lmxll>", "<abxcd>",
         {{"ll", "ac", C1}, {"ll", "ad", C1}, {"ml", "bc", C1}, {"ml", "bd", C1},
          {"ml", "ac", R1}, {"ml", "ad", R1}, {"ll", "bc", R1}, {"ll", "bd", R1}}},
        {"<hkxhk>", "<hkxhk>", {{"hh", "hh", C1 | C2}, {"kk", "kk", C1 | C2}, {"hh", "kk", R1 | R2}, {"kk", "hh", R1 | R2}}},
        {"<hkxhk>", "<lmxll>", {{"hh", "ll", C1}, {"kk", "ml", C1}, {"hh", "ml", R1}, {"kk", "ll", R1}}},
        {"<hkxhk>", "<efxeg>",
         {{"hh", "ee", C1 | C2}, {"kk", "fg", C1 | C2}, {"hh", "fe", R1 | C2}, {"kk", "eg", R1 | C2},
          {"hh", "eg", C1 | R2}, {"kk", "fe", C1 | R2}, {"hh", "fg", R1 | R2}, {"kk", "ee", R1 | R2}}},
        {"<hkxhk>", "<nnxnp>", {{"hh", "nn", C2}, {"kk", "np", C2}, {"hh", "np", R2}, {"kk", "nn", R2}}},
        {"<hkxhk>", "<abxcd>",
         {{"hh", "ac", C1 | C2}, {"kk", "bd", C1 | C2}, {"hh", "bd", R1 | R2}, {"kk", "ac", R1 | R2},
          {"hh", "bc", R1 | C2}, {"kk", "ad", R1 | C2}, {"hh", "ad", C1 | R2}, {"kk", "bc", C1 | R2}}},
        {"<nnxnp>", "<nnxnp>", {{"nn", "nn", C2}, {"np", "np", C2}, {"nn", "np", R2}, {"np", "nn", R2}}},
        {"<nnxnp>", "<hkxhk>", {{"nn", "hh", C2}, {"np", "kk", C2}, {"np", "hh", R2}, {"nn", "kk", R2}}},
        {"<nnxnp>", "<efxeg>",
         {{"nn", "ee", C2}, {"nn", "fe", C2}, {"np", "fg", C2}, {"np", "eg", C2},
          {"nn", "fg", R2}, {"nn", "eg", R2}, {"np", "ee", R2}, {"np", "fe", R2}}},
        {"<nnxnp>", "<abxcd>",
         {{"nn", "ac", C2}, {"nn", "bc", C2}, {"np", "ad", C2}, {"np", "bd", C2},
          {"nn", "ad", R2}, {"nn", "bd", R2}, {"np", "ac", R2}, {"np", "bc", R2}}},
        {"<abxcd>", "<hkxhk>",
         {{"ac", "hh", C1 | C2}, {"bd", "kk", C1 | C2}, {"bd", "hh", R1 | R2}, {"ac", "kk", R1 | R2},
          {"bc", "hh", R1 | C2}, {"ad", "kk", R1 | C2}, {"ad", "hh", C1 | R2}, {"bc", "kk", C1 | R2}}},
        {"<abxcd>", "<lmxll>",
         {{"ac", "ll", C1}, {"ad", "ll", C1}, {"bc", "ml", C1}, {"bd", "ml", C1},
          {"ac", "ml", R1}, {"ad", "ml", R1}, {"bc", "ll", R1}, {"bd", "ll", R1}}},
        {"<abxcd>", "<efxeg>",
         {{"ac", "ee", C1 | C2}, {"ad", "eg", C1 | C2}, {"bc", "fe", C1 | C2}, {"bd", "fg", C1 | C2},
          {"ac", "fe", R1 | C2}, {"ad", "fg", R1 | C2}, {"bc", "ee", R1 | C2}, {"bd", "eg", R1 | C2},
          {"ac", "eg", C1 | R2}, {"ad", "ee", C1 | R2}, {"bc", "fg", C1 | R2}, {"bd", "fe", C1 | R2},
          {"ac", "fg", R1 | R2}, {"ad", "fe", R1 | R2}, {"bc", "eg", R1 | R2}, {"bd", "ee", R1 | R2}}},
        {"<abxcd>", "<nnxnp>",
         {{"ac", "nn", C2}, {"bc", "nn", C2}, {"ad", "np", C2}, {"bd", "np", C2},
          {"ad", "nn", R2}, {"bd", "nn", R2}, {"ac", "np", R2}, {"bc", "np", R2}}},
    };
    return rules;
}

inline char lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; }

// A pair of lower-case code characters as one number, for table look-ups.
inline int pairKey(char a, char b) { return (static_cast<unsigned char>(lower(a)) << 8) | static_cast<unsigned char>(lower(b)); }

std::string phaseText(unsigned c1, unsigned r1, unsigned c2, unsigned r2)
{
    std::string phase = "{--}";
    if (c1 != 0 || r1 != 0)
        phase[1] = c1 > r1 ? '0' : '1';
    if (c2 != 0 || r2 != 0)
        phase[2] = c2 > r2 ? '0' : '1';
    return phase;
}

} // namespace

std::string CpPhase(std::string_view referenceType, std::string_view currentType, std::string_view referenceGenotypes,
                    std::string_view currentGenotypes)
{
    unsigned c1 = 0, r1 = 0, c2 = 0, r2 = 0;
    const size_t individuals = referenceGenotypes.size() / 2;
    auto codeAt = [](std::string_view text, size_t i, size_t offset) -> char {
        const size_t at = 2 * i + offset;
        return at < text.size() ? lower(text[at]) : '\0';
    };
    const std::string refType = [&] { std::string t(referenceType); for (char &ch : t) ch = lower(ch); return t; }();
    const std::string curType = [&] { std::string t(currentType); for (char &ch : t) ch = lower(ch); return t; }();

    if (refType == "<abxcd>" && curType == "<abxcd>") {
        for (size_t i = 0; i < individuals; ++i) {
            const char ra = codeAt(referenceGenotypes, i, 0), rb = codeAt(referenceGenotypes, i, 1);
            const char ca = codeAt(currentGenotypes, i, 0), cb = codeAt(currentGenotypes, i, 1);
            auto informative = [](char first, char second) {
                return (first == 'a' || first == 'b') && (second == 'c' || second == 'd');
            };
            if (!informative(ra, rb) || !informative(ca, cb))
                continue;
            if (ra == ca && rb == cb) {
                ++c1;
                ++c2;
            } else if (rb == cb) {
                ++r1;
                ++c2;
            } else if (ra == ca) {
                ++c1;
                ++r2;
            } else {
                ++r1;
                ++r2;
            }
        }
        return phaseText(c1, r1, c2, r2);
    }

    const TypePairRules *pair = nullptr;
    for (const TypePairRules &candidate : cpRules())
        if (refType == candidate.referenceType && curType == candidate.currentType) {
            pair = &candidate;
            break;
        }
    if (!pair)
        return "{--}";
    for (size_t i = 0; i < individuals; ++i) {
        const int r = pairKey(codeAt(referenceGenotypes, i, 0), codeAt(referenceGenotypes, i, 1));
        const int c = pairKey(codeAt(currentGenotypes, i, 0), codeAt(currentGenotypes, i, 1));
        for (const CodePairRule &rule : pair->rules) {
            if (r == pairKey(rule.reference[0], rule.reference[1]) && c == pairKey(rule.current[0], rule.current[1])) {
                c1 += (rule.counters & C1) ? 1 : 0;
                r1 += (rule.counters & R1) ? 1 : 0;
                c2 += (rule.counters & C2) ? 1 : 0;
                r2 += (rule.counters & R2) ? 1 : 0;
                break;
            }
        }
    }
    return phaseText(c1, r1, c2, r2);
}

std::string HaploidPhase(std::string_view referenceGenotypes, std::string_view currentGenotypes)
{
    long same = 0, different = 0;
    const size_t n = std::min(referenceGenotypes.size(), currentGenotypes.size());
    for (size_t i = 0; i < n; ++i) {
        const char r = lower(referenceGenotypes[i]);
        const char c = lower(currentGenotypes[i]);
        if ((r != 'a' && r != 'b') || (c != 'a' && c != 'b'))
            continue;
        if (r == c)
            ++same;
        else
            ++different;
    }
    return same < different ? "{1}" : "{0}";
}

void CompletePhases(std::vector<Tlocinfo> &loci, const std::string &popt)
{
    const bool haploid = popt == "hap" || popt == "dh" || popt == "dh1";
    if (popt != "cp" && !haploid)
        return;
    if (loci.empty())
        throw readexception("A linkage group of population type " + popt + " needs at least one locus");

    if (haploid) {
        loci[0].setPhase("{0}");
        for (size_t s = 1; s < loci.size(); ++s) {
            const Tlocinfo &reference = loci[s - 1];
            Tlocinfo &current = loci[s];
            if (current.Phase.empty()) {
                const bool coupling = HaploidPhase(reference.Genotypes, current.Genotypes) == "{0}";
                const bool referenceZero = reference.Phase == "{0}";
                current.setPhase(coupling == referenceZero ? "{0}" : "{1}");
            }
        }
        return;
    }

    size_t reference = 0;
    Tlocinfo &first = loci[0];
    if (first.Phase.empty()) {
        const std::string &type = first.SegType;
        if (type == "<abxaa>" || type == "<lmxll>")
            first.setPhase("{0-}");
        else if (type == "<aaxab>" || type == "<nnxnp>")
            first.setPhase("{-0}");
        else if (type == "<abxab>" || type == "<abxcd>" || type == "<efxeg>" || type == "<hkxhk>")
            first.setPhase("{00}");
    }
    for (size_t s = 1; s < loci.size(); ++s) {
        Tlocinfo &current = loci[s];
        const Tlocinfo &ref = loci[reference];
        const std::string phase = CpPhase(ref.SegType, current.SegType, ref.Genotypes, current.Genotypes);
        if (current.Phase.empty())
            current.setPhase(phase);
        if (current.SegType != "<abxab>" && phase.find('1') == std::string::npos)
            reference = s;
    }
}

} // namespace rvk
