#pragma once

// What the tests of the verification share: the README's beam built in C++
// and the lookup of a check in a result.

#include <gtest/gtest.h>

#include <ferrolit/verify.hpp>
#include <string>

namespace ferrolit::test {

// 300 × 500, C25/30, B450C, covers 40 mm to the bar centres, stirrups ø8/200
// with two legs; no combination yet.
inline VerificationInput readme_beam(const std::string& bottom = "3f20", const std::string& top = "2f12") {
    VerificationInput in;
    in.description = "T1";
    in.shape.dimensions = {300, 500, 0, 0};
    in.bottom = {bottom, std::nullopt, 40, std::nullopt};
    in.top = {top, std::nullopt, 40, std::nullopt};
    in.left.cover = 40;
    in.right.cover = 40;
    in.stirrups = StirrupsInput{8, 2, 200};
    return in;
}

inline Combination combination(const std::string& name, CombinationKind kind, double N, double My, double Mz = 0,
                               double Vy = 0, double Vz = 0) {
    return {name, kind, N, My, Mz, Vy, Vz};
}

// The check of a family for a combination (empty name: a detailing rule, the first of its family).
inline const CheckResult& find_check(const VerificationResult& r, const std::string& id,
                                     const std::string& combination = "", int nth = 0) {
    for (const CheckResult& c : r.checks)
        if (c.id == id && c.combination.value_or("") == combination && nth-- == 0) return c;
    ADD_FAILURE() << "no check " << id << " for \"" << combination << "\"";
    static const CheckResult none;
    return none;
}

inline double detail(const CheckResult& c, const std::string& name) {
    for (const Detail& d : c.details)
        if (d.name == name) return d.value;
    ADD_FAILURE() << "no detail " << name << " in " << c.id;
    return 0;
}

}  // namespace ferrolit::test
