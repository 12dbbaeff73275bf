#pragma once
// Readable names for the cases of parameterised suites: a case's description turned into a
// test name (letters, digits and single underscores), with its index appended to keep the names
// distinct when two descriptions read alike.

#include <gtest/gtest.h>

#include <cctype>
#include <string>

namespace rvk::test {

inline std::string caseName(const std::string &description)
{
    std::string name;
    for (const char ch : description) {
        if (std::isalnum(static_cast<unsigned char>(ch)))
            name += ch;
        else if (!name.empty() && name.back() != '_')
            name += '_';
    }
    while (!name.empty() && name.back() == '_')
        name.pop_back();
    return name.empty() ? "empty" : name;
}

// A name generator for INSTANTIATE_TEST_SUITE_P that names each case by describe(param).
template <typename Describe> auto namedBy(Describe describe)
{
    return [describe](const auto &info) { return caseName(describe(info.param)) + "_" + std::to_string(info.index); };
}

} // namespace rvk::test
