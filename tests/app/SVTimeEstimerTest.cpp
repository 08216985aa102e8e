#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "app/SVTimeEstimer.h"

namespace {

// A clock the test moves by hand: one tick is one millisecond.
struct ManualClock {
    int64_t now = 0;
    SVTimeEstimer Make() {
        return SVTimeEstimer([this] { return now; }, 1000);
    }
    void Advance(double seconds) { now += static_cast<int64_t>(seconds * 1000); }
};

TEST(SVTimeEstimer, WindowShrinksAsTheJobAdvances) {
    const struct {
        double fraction;
        int size;
    } cases[] = {
        {0.01, 16}, {1.0 / 16, 16}, {0.07, 8}, {0.125, 8}, {0.2, 4}, {0.25, 4},
        {0.3, 2},   {0.5, 2},       {0.6, 1},  {1.0, 1},   {1.01, 0},
    };
    for (const auto& c : cases) EXPECT_EQ(SVTimeEstimer::WindowSize(c.fraction), c.size) << c.fraction;
}

TEST(SVTimeEstimer, ExtrapolatesLinearly) {
    ManualClock clock;
    SVTimeEstimer e = clock.Make();
    e.Start();
    EXPECT_EQ(e.EstimateRemaining(), 0.0);
    clock.Advance(100);
    e.AddSample(0.5);
    EXPECT_DOUBLE_EQ(e.EstimateRemaining(), 100.0);
}

TEST(SVTimeEstimer, KeepsTheMostPessimisticOfTheWindow) {
    ManualClock clock;
    SVTimeEstimer e = clock.Make();
    e.Start();
    clock.Advance(10);
    // After 10 s these fractions (all at most 1/16) extrapolate to 300, 250 and 200 s.
    e.AddSample(1.0 / 31);
    e.AddSample(1.0 / 26);
    e.AddSample(1.0 / 21);
    EXPECT_NEAR(e.EstimateRemaining(), 300.0, 1e-9);
    clock.Advance(50);
    e.AddSample(0.75);  // past one half only the newest sample is kept
    EXPECT_NEAR(e.EstimateRemaining(), 20.0, 1e-9);
}

TEST(SVTimeEstimer, FractionAboveOneLeavesNoEstimate) {
    ManualClock clock;
    SVTimeEstimer e = clock.Make();
    e.Start();
    clock.Advance(10);
    e.AddSample(0.1);
    ASSERT_GT(e.EstimateRemaining(), 0.0);
    e.AddSample(1.5);
    EXPECT_EQ(e.EstimateRemaining(), 0.0);
}

TEST(SVTimeEstimer, ZeroOrInvalidFractionGivesNoEstimateAndNoFault) {
    ManualClock clock;
    SVTimeEstimer e = clock.Make();
    e.Start();
    clock.Advance(5);
    for (double f : {0.0, -0.2, std::numeric_limits<double>::quiet_NaN()}) {
        e.AddSample(f);
        EXPECT_EQ(e.EstimateRemaining(), 0.0) << f;
    }
    e.AddSample(0.25);
    EXPECT_DOUBLE_EQ(e.EstimateRemaining(), 15.0);
    e.AddSample(0.0);
    EXPECT_DOUBLE_EQ(e.EstimateRemaining(), 15.0);
}

TEST(SVTimeEstimer, StopAndStoppedSamplesGiveNothing) {
    ManualClock clock;
    SVTimeEstimer e = clock.Make();
    e.Start();
    clock.Advance(10);
    e.AddSample(0.5);
    e.Stop();
    EXPECT_EQ(e.EstimateRemaining(), 0.0);
    e.AddSample(0.5);
    EXPECT_EQ(e.EstimateRemaining(), 0.0);
    e.Start();
    EXPECT_EQ(e.EstimateRemaining(), 0.0);
}

TEST(SVTimeEstimer, RealClockRuns) {
    SVTimeEstimer e;
    e.Start();
    e.AddSample(0.5);
    EXPECT_GE(e.EstimateRemaining(), 0.0);
}

}  // namespace
