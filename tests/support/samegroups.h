#pragma once
// Checks that two data sets read the same: groups, their loci and the individuals' names.

#include "core/genotypedata.h"

#include <gtest/gtest.h>

namespace rvk::test {

inline void expectSameGroups(const GenotypeData &a, const GenotypeData &b)
{
    ASSERT_EQ(a.GroupCount(), b.GroupCount());
    for (int k = 0; k < a.GroupCount(); ++k) {
        EXPECT_EQ(a.GroupName(k), b.GroupName(k));
        EXPECT_EQ(a.GroupPopType(k), b.GroupPopType(k));
        ASSERT_EQ(a.GroupLocusCount(k), b.GroupLocusCount(k));
        for (int l = 0; l < a.GroupLocusCount(k); ++l) {
            const Tlocinfo &x = a.GroupLoci(k)[static_cast<size_t>(l)];
            const Tlocinfo &y = b.GroupLoci(k)[static_cast<size_t>(l)];
            EXPECT_EQ(x.Name, y.Name);
            EXPECT_EQ(x.Position, y.Position);
            EXPECT_EQ(x.Genotypes, y.Genotypes);
            EXPECT_EQ(x.Phase, y.Phase);
        }
    }
    EXPECT_EQ(a.IndividualNames, b.IndividualNames);
}

} // namespace rvk::test
