#include "numeric/summary.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace tallo {
namespace {

const std::vector<double> kEight = {2, 4, 4, 4, 5, 5, 7, 9};  // mean 5, squared deviations 32

TEST(Summary, MomentsOfASample) {
  EXPECT_EQ(Sum(kEight), 40);
  EXPECT_EQ(Mean(kEight), 5);
  EXPECT_EQ(SumSquaredDeviations(kEight), 32);
  EXPECT_DOUBLE_EQ(SampleVariance(kEight), 32.0 / 7);
  EXPECT_EQ(PopulationVariance(kEight), 4);
  EXPECT_EQ(SumOfSquares(kEight), 232);  // 4+16+16+16+25+25+49+81
}

TEST(Summary, Extremes) {
  EXPECT_EQ(Maximum(std::vector<double>{-3, -7}), -3);
  EXPECT_EQ(Minimum(std::vector<double>{-3, -7}), -7);
  EXPECT_EQ(Minimum(kEight), 2);
  EXPECT_EQ(Maximum(kEight), 9);
}

TEST(Summary, UndefinedResultsAreNaN) {
  const std::vector<double> none;
  const std::vector<double> one = {3};
  EXPECT_EQ(Sum(none), 0);
  EXPECT_TRUE(std::isnan(Mean(none)));
  EXPECT_TRUE(std::isnan(Minimum(none)));
  EXPECT_TRUE(std::isnan(Maximum(none)));
  EXPECT_TRUE(std::isnan(SampleVariance(one)));
  EXPECT_TRUE(std::isnan(SampleVariance(none)));
  EXPECT_TRUE(std::isnan(PopulationVariance(none)));
  EXPECT_EQ(PopulationVariance(one), 0);
}

TEST(BinomialCoefficient, FactorialProducts) {
  EXPECT_EQ(BinomialCoefficient(10, 3), 120);
  EXPECT_EQ(BinomialCoefficient(5, 0), 1);
  EXPECT_EQ(BinomialCoefficient(5, 5), 1);
  EXPECT_DOUBLE_EQ(BinomialCoefficient(52, 5), 2598960);
  EXPECT_TRUE(std::isnan(BinomialCoefficient(200, 100)));  // inf / inf past 170
}

TEST(PowInt, RepeatedSquaring) {
  EXPECT_EQ(PowInt(3, 0), 1);
  EXPECT_EQ(PowInt(-2, 3), -8);
  EXPECT_EQ(PowInt(1.5, 2), 2.25);
  EXPECT_EQ(PowInt(2, 10), 1024);
  EXPECT_EQ(PowIntInt(7, 3), 343);
  EXPECT_EQ(PowIntInt(-5, 3), -125);
  EXPECT_EQ(PowIntInt(100000, 3), 1e15);       // past 32 bits, still exact
  EXPECT_EQ(PowIntInt(2000000000, 3), 8e27);   // past 64 bits, as a real power
}

}  // namespace
}  // namespace tallo
