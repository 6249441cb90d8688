// Fuzz target: the code engine on arbitrary polygons, bars and materials.
//
// The input is read as a section: an outline and up to two holes (vertices
// on a coarse grid, so that collinear, repeated and crossing edges are
// common, now and then a value that is no number or far too large), up to
// eight bars, a concrete and a steel with their options. A section the
// engine refuses must be refused with ferrolit::Error; one it accepts must
// answer every question without crashing or hanging, and its answers must
// obey the laws of an interaction domain:
//  - N_Rd,min < 0 < N_Rd,max;
//  - a resisting moment found at N lies on the ray of the action, and the
//    action is inside exactly when its ratio is at most 1;
//  - a domain is closed and stays within [N_Rd,min, N_Rd,max], passing
//    N_Rd,max only by what hardening steel adds beyond the pivot strain;
//  - a contour is closed;
//  - a service state either converges to the actions or fails with Error.

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "ferrolit/analysis.hpp"
#include "fuzz_check.hpp"

namespace {

namespace fa = ferrolit::analysis;

class Bytes {
public:
    Bytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    std::uint8_t byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    // A coordinate in mm: mostly a 25 mm grid over ±1600 mm, sometimes an
    // unusable number.
    double coordinate() {
        const std::uint8_t b = byte();
        if (b == 255) return special(byte());
        return (static_cast<int>(b) - 128) * 12.5;
    }
    static double special(std::uint8_t b) {
        static const double kSpecial[] = {std::numeric_limits<double>::quiet_NaN(),
                                          std::numeric_limits<double>::infinity(), 1e300, -0.0, 1e-300};
        return kSpecial[b % 5];
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

fa::Ring ring(Bytes& in, int most) {
    const int n = 3 + in.byte() % (most - 2);
    fa::Ring r;
    for (int i = 0; i < n; ++i) r.push_back({in.coordinate(), in.coordinate()});
    return r;
}

fa::Concrete concrete(Bytes& in) {
    static const char* const kClasses[] = {"C20/25", "C25/30", "C45/55", "C60/75", "C90/105"};
    fa::Concrete c = fa::Concrete::of_class(kClasses[in.byte() % 5]);
    c.law = static_cast<fa::ConcreteLaw>(in.byte() % 3);
    if (in.byte() == 7) c.fck = in.special(in.byte());
    return c;
}

fa::Steel steel(Bytes& in) {
    fa::Steel s = fa::Steel::of_class(in.byte() % 2 ? "B450C" : "B450A");
    const std::uint8_t b = in.byte();
    if (b % 4 == 0) s.eps_ud.reset();
    if (b % 4 == 1 && s.eps_ud) s.hardening = true;
    if (b == 9) s.Es = 0;
    return s;
}

std::string what(double N, double My, double Mz) {
    return "N " + std::to_string(N) + " My " + std::to_string(My) + " Mz " + std::to_string(Mz);
}

void check_capacity(const fa::Section& s, double N, double My, double Mz) {
    const fa::MomentCapacity c = s.resisting_moment(N, My, Mz);
    if (c.outcome != fa::Outcome::Found) return;
    FUZZ_CHECK(c.My_Rd && c.Mz_Rd && c.ratio, what(N, My, Mz));
    FUZZ_CHECK(std::isfinite(*c.ratio) && *c.ratio >= 0, what(N, My, Mz));
    // The resisting moment has the direction of the action.
    const double cross = My * *c.Mz_Rd - Mz * *c.My_Rd;
    const double dot = My * *c.My_Rd + Mz * *c.Mz_Rd;
    FUZZ_CHECK(dot >= 0 && std::fabs(cross) <= 1e-6 * (std::fabs(dot) + 1e-9), what(N, My, Mz));
    FUZZ_CHECK(c.inside == (*c.ratio <= 1 + 1e-9), what(N, My, Mz));
}

void check_closed(double first_a, double first_b, double last_a, double last_b, const char* context) {
    FUZZ_CHECK(first_a == last_a && first_b == last_b, context);
}

void exercise(const fa::Section& s, Bytes& in) {
    const double N_max = s.N_Rd_max(), N_min = s.N_Rd_min();
    FUZZ_CHECK(N_min < 0 && N_max > 0, "N_Rd,min < 0 < N_Rd,max");
    const double moment = 1 + in.byte();
    for (int k = 0; k < 3; ++k) {
        const double N = N_min + (N_max - N_min) * in.byte() / 255.0;
        const double angle = in.byte() * 6.283185307179586 / 256;
        check_capacity(s, N, moment * std::cos(angle), moment * std::sin(angle));
    }
    const fa::Domain d = s.domain(in.byte() % 2 ? fa::Axis::My : fa::Axis::Mz, 4 + in.byte() % 12);
    if (d.outcome == fa::Outcome::Found && !d.points.empty()) {
        check_closed(d.points.front().N, d.points.front().M, d.points.back().N, d.points.back().M, "domain");
        // N_Rd,max is the resistance at uniform compression. With hardening
        // steel a plane rotated about the pivot strains the bars nearer the
        // compressed edge beyond the pivot strain, where they carry a little
        // more, so the domain may pass N_Rd,max by at most that much.
        double hardening_gain = 0;
        const fa::Concrete& c = s.concrete();
        for (const fa::Bar& b : s.bars())
            hardening_gain += b.area * (s.steel().stress(c.eps_cu) - s.steel().stress(c.pivot_strain())) / 1e3;
        const double slack = 1e-9 * (N_max - N_min);
        for (const fa::DomainPoint& p : d.points)
            FUZZ_CHECK(p.N >= N_min - slack && p.N <= N_max + hardening_gain + slack,
                       "domain within [N_Rd,min, N_Rd,max]");
    }
    const fa::Contour c = s.contour(N_min + (N_max - N_min) * in.byte() / 255.0, 8 + in.byte() % 16);
    if (c.outcome == fa::Outcome::Found && !c.points.empty())
        check_closed(c.points.front().My, c.points.front().Mz, c.points.back().My, c.points.back().Mz, "contour");
    try {
        const double N = N_min + (N_max - N_min) * in.byte() / 255.0;
        const fa::ServiceState st = s.service(0.3 * N, moment * 0.3, moment * 0.1 * (in.byte() % 3));
        FUZZ_CHECK(std::isfinite(st.sigma_c_max), "service stresses are numbers");
    } catch (const ferrolit::Error&) {}
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    Bytes in(data, size);
    fa::Shape shape;
    shape.outline = ring(in, 24);
    for (int h = in.byte() % 3; h > 0; --h) shape.holes.push_back(ring(in, 8));
    std::vector<fa::Bar> bars;
    for (int b = in.byte() % 9; b > 0; --b) {
        const double y = in.coordinate(), z = in.coordinate();
        bars.push_back(fa::bar_of_diameter(y, z, 6 + in.byte() % 27));
    }
    try {
        const fa::Concrete c = concrete(in);
        const fa::Steel st = steel(in);
        fa::Options options;
        options.deduct_bar_area = in.byte() % 2 == 1;
        const fa::Section s(shape, bars, c, st, options);
        exercise(s, in);
    } catch (const ferrolit::Error&) {
        // An unusable section or value, refused with a message.
    }
    return 0;
}
