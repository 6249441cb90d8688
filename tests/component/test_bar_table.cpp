#include <gtest/gtest.h>

#include <set>
#include <thread>
#include <utility>
#include <vector>

#include "component/reinforcement/bar_table.hpp"

namespace {

using ferrolit::component::bar_table;
using ferrolit::component::BarArrangement;

// Position of n bars of d in the table.
std::size_t position(int n, int d) {
    const auto table = bar_table();
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (table[i].count == n && table[i].diameter == d) return i;
    }
    ADD_FAILURE() << n << "f" << d << " missing";
    return table.size();
}

// The arrangements stand one right after the other, in this order.
void expect_run(std::initializer_list<std::pair<int, int>> run) {
    std::size_t expected = position(run.begin()->first, run.begin()->second);
    for (const auto& [n, d] : run) {
        EXPECT_EQ(position(n, d), expected) << n << "f" << d;
        ++expected;
    }
}

TEST(BarTable, HoldsEveryArrangementOnceInAreaOrder) {
    const auto table = bar_table();
    std::set<std::pair<int, int>> seen;
    for (std::size_t i = 0; i < table.size(); ++i) {
        seen.insert({table[i].count, table[i].diameter});
        if (i > 0) {
            EXPECT_LE(table[i - 1].area, table[i].area) << i;
        }
    }
    EXPECT_EQ(seen.size(), 1400u);
    EXPECT_EQ(table.front().count, 1);
    EXPECT_EQ(table.front().diameter, 5);
    EXPECT_NEAR(table.front().area, 19.63, 0.005);
    EXPECT_EQ(table.front().rounded_area, 20);
    EXPECT_EQ(table.back().count, 100);
    EXPECT_EQ(table.back().diameter, 30);
    EXPECT_NEAR(table.back().area, 70685.83, 0.005);
    EXPECT_EQ(table.back().rounded_area, 70686);
    EXPECT_EQ(table[position(4, 12)].rounded_area, 452);
}

TEST(BarTable, TiesStandByDiameterWithTheListedExceptions) {
    expect_run({{4, 5}, {1, 10}});
    expect_run({{16, 6}, {9, 8}, {4, 12}, {1, 24}});
    // 6 mm before 5 mm in these two
    expect_run({{25, 6}, {36, 5}, {9, 10}, {1, 30}});
    expect_run({{50, 6}, {72, 5}, {18, 10}, {2, 30}});
    // areas differing in the last bit of the double keep that order
    expect_run({{44, 12}, {11, 24}, {99, 8}});
    expect_run({{27, 10}, {75, 6}, {3, 30}});
}

TEST(BarTable, ReadersOnSeveralThreadsSeeTheSameTable) {
    std::vector<double> sums(4);
    std::vector<std::thread> readers;
    for (std::size_t t = 0; t < sums.size(); ++t) {
        readers.emplace_back([&sums, t] {
            for (const BarArrangement& e : bar_table()) sums[t] += e.area * e.count;
        });
    }
    for (auto& r : readers) r.join();
    for (double s : sums) EXPECT_EQ(s, sums[0]);
}

}  // namespace
