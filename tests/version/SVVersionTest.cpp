#include <gtest/gtest.h>

#include "version/SVVersion.h"

namespace {

TEST(SVVersion, LoadGivesTheBuildVersion) {
    const SVVersion v;
    EXPECT_EQ(v.major, EXPECTED_VERSION_MAJOR);
    EXPECT_EQ(v.minor, EXPECTED_VERSION_MINOR);
    EXPECT_EQ(v.release, EXPECTED_VERSION_RELEASE);
    EXPECT_EQ(v.build, EXPECTED_VERSION_BUILD);
}

TEST(SVVersion, IsOlderThanComparesPartByPart) {
    const struct {
        SVVersion a, b;
        bool older;
    } cases[] = {
        {{1, 2, 3, 4}, {1, 2, 3, 5}, true},  {{1, 2, 3, 4}, {1, 3, 0, 0}, true},
        {{1, 2, 3, 4}, {1, 2, 3, 4}, false}, {{1, 2, 3, 4}, {1, 2, 2, 9}, false},
        {{2, 0, 0, 0}, {1, 9, 9, 9}, false}, {{1, 0, 0, 0}, {1, 0, 0, 1}, true},
        {{0, 0, 0, 0}, {0, 0, 0, 0}, false}, {{7, 1, 2, 3}, {0, 0, 0, 0}, false},
        {{1, 0, 0, 0}, {1, 0, 0, 65535}, true}, {{65535, 0, 0, 0}, {1, 65535, 65535, 65535}, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.a.IsOlderThan(c.b), c.older) << c.a.major << "." << c.a.minor << "." << c.a.release << "."
                                                 << c.a.build << " vs " << c.b.major << "." << c.b.minor << "."
                                                 << c.b.release << "." << c.b.build;
    }
}

}  // namespace
