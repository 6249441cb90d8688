#include "component/uls/domain_sweep.hpp"

#include <cmath>
#include <variant>

#include "component/uls/strip_batch.hpp"
#include "core/numeric.hpp"

namespace ferrolit::component {

Boundaries boundaries(const SweepSetup& s) {
    const double d = s.d;
    Boundaries x{};
    x[0] = detail::single((double{s.eps_ud} * s.cover_c - double{s.eps_yd} * d) / (double{s.eps_ud} - s.eps_yd));
    x[1] = 0;
    x[2] = detail::single(d * 0.166666666);
    x[3] = detail::single(d * 0.35 / 1.35);
    x[4] = detail::single(double{s.eps_cu} * d / (double{s.eps_cu} + s.eps_yd));
    x[5] = s.d;
    x[6] = s.H;
    x[7] = detail::single(2000.0 * s.H);
    return x;
}

namespace {

// A depth of exactly 0 in regions 6 and 7 is replaced by this.
constexpr float kZeroDepth = 1.0E-20f;

// The neutral-axis depths of the sweep, region by region: each region
// starts exactly at its lower boundary and advances by the step while the
// depth is not above its upper boundary.
class DepthWalker {
public:
    enum class Kind { Point, End, Stall };
    struct Next {
        Kind kind;
        int region;
        float x;
    };

    DepthWalker(const Boundaries& xb, float step) : xb_(&xb), step_(step) {}

    int region() const { return region_; }

    Next next() {
        const Boundaries& xb = *xb_;
        while (region_ <= 7) {
            const float candidate = started_ ? x_ + step_ : xb[region_ - 1];
            if (candidate <= xb[region_]) {
                if (started_ && candidate == x_) return {Kind::Stall, region_, x_};  // would never leave
                started_ = true;
                x_ = (region_ >= 6 && candidate == 0) ? kZeroDepth : candidate;
                return {Kind::Point, region_, x_};
            }
            ++region_;
            started_ = false;
        }
        return {Kind::End, 7, x_};
    }

private:
    const Boundaries* xb_;
    float step_;
    int region_ = 1;
    bool started_ = false;
    float x_ = 0;
};

struct BarStresses {
    float compression_side;  // sigma', compression positive
    float tension_side;      // sigma_t, compression positive
};

// Stresses of the two layers at depth x of region `region`.
BarStresses bar_stresses(const SweepSetup& s, int region, float x) {
    const float eps_c = region <= 3 ? detail::single(double{s.eps_ud} * (double{x} - s.cover_c) / (double{s.d} - x))
                                    : detail::single(double{s.eps_cu} * (double{x} - s.cover_c) / x);

    BarStresses b{};
    if (region == 1 || (region == 2 && eps_c < 0)) {
        b.compression_side = std::fabs(eps_c) < s.eps_yd ? detail::single(double{s.Es} * eps_c) : -s.fyd;
    } else {
        b.compression_side = eps_c < s.eps_yd ? detail::single(double{s.Es} * eps_c) : s.fyd;
    }

    if (region <= 4) {
        b.tension_side = -s.fyd;
    } else if (region <= 6) {
        const float eps_t = detail::single(-double{s.eps_cu} * (double{s.d} - x) / x);
        b.tension_side = detail::single(double{s.Es} * eps_t);
    } else {
        const float eps_t = detail::single(double{s.eps_cu} * (double{x} - s.d) / x);
        b.tension_side = eps_t < s.eps_yd ? detail::single(double{s.Es} * eps_t) : s.fyd;
    }
    return b;
}

struct PointValue {
    float Nc = 0, Mc = 0;  // concrete
    float N = 0, M = 0;    // whole point
    BarStresses bars{};
    std::int64_t strips = 0;
};

// Adds the bar layers to the concrete of a point.
void add_bars(const SweepSetup& s, int region, float x, PointValue& v) {
    v.bars = bar_stresses(s, region, x);
    const double sc = v.bars.compression_side, st = v.bars.tension_side;
    v.N = detail::single(double{v.Nc} + double{s.As_c} * sc + st * s.As_t);
    v.M = detail::single(double{v.Mc} + double{s.arm_c} * (double{s.As_c} * sc) - double{s.arm_t} * (st * s.As_t));
}

// The concrete strips of one point, in plain sequential form: the
// definition that the batched integration reproduces bit for bit. False
// when the point needs more than `budget` strips or its depths stop
// advancing.
bool concrete_scalar(const SweepSetup& s, int region, float x, std::int64_t budget, PointValue& v) {
    const StrainZone z = strain_zone(s, region, x);
    float n = 0, m = 0, y = 0;
    std::int64_t count = 0;
    while (y <= x) {
        if (count == budget) return false;
        float stress;
        if (y <= z.yr) {
            stress = s.fcd;
        } else {
            const float eta = detail::single(z.k * (double{x} - y) / z.den);
            stress = detail::single(double{s.fcd} * eta * (2.0 - eta));
        }
        const double force = double{stress} * s.strip * s.width.at(y);
        n = detail::single(n + force);
        m = detail::single(m + force * (double{s.yG} - y));
        ++count;
        const float next = y + s.strip;
        if (next == y) return false;
        y = next;
    }
    v.Nc = n;
    v.Mc = m;
    v.strips = count;
    return true;
}

// What happens after a point.
struct Go {};
struct Ended {};
struct Exhausted {
    int region;
};
using Flow = std::variant<Go, Ended, Exhausted, ErrorKind>;

class Sweeper {
public:
    Sweeper(const SweepSetup& s, const Boundaries& xb, PointLists& out, detail::FpFaultScope& fp,
            const SweepLimits& lim)
        : s_(s), xb_(xb), out_(out), fp_(fp), lim_(lim), walker_(xb, s.step) {}

    std::optional<ErrorKind> run() {
        out_.clear();
        reserve_points();
        for (;;) {
            const bool batch = walker_.region() >= 2 && static_cast<std::int64_t>(out_.count()) < lim_.max_points;
            const Flow flow = batch ? batch_points() : scalar_point();
            if (std::holds_alternative<Go>(flow)) continue;
            if (const auto* kind = std::get_if<ErrorKind>(&flow)) return *kind;
            // Running out of the work limits is a reported failure, since a
            // branch cut short would read as "outside the domain" for an
            // axial force it does not reach. Only a section without concrete
            // strength, whose region 7 may never end, stops there quietly.
            if (const auto* ex = std::get_if<Exhausted>(&flow)) {
                if (ex->region < 7 || carries_concrete(s_)) return ErrorKind::Overflow;
            }
            return std::nullopt;
        }
    }

private:
    // The flags raised so far turn any outcome into a fault.
    Flow unless_faulted(Flow flow) {
        if (auto kind = fp_.fault()) return *kind;
        return flow;
    }

    // Strips the next point may use.
    std::int64_t remaining_strips() const {
        const std::int64_t left = lim_.max_strips - out_.strips;
        return left < lim_.max_point_strips ? left : lim_.max_point_strips;
    }

    // Records a finished point and applies the end rules of region 7.
    Flow commit(int region, float x, const PointValue& v, bool stop) {
        out_.N.push_back(v.N);
        out_.M.push_back(v.M);
        out_.x.push_back(x);
        out_.strips += v.strips;
        if (x == xb_[3]) out_.N3 = v.N;
        if (stop) return Ended{};
        // Without concrete strength the moment of region 7 need never fall
        // to 0; once the concrete adds nothing and both layers carry fyd,
        // every later point would repeat this one.
        if (region == 7 && v.Nc == 0 && v.Mc == 0 && v.bars.compression_side == s_.fyd && v.bars.tension_side == s_.fyd)
            return Ended{};
        return Go{};
    }

    // One point, computed and checked on its own.
    Flow scalar_point() {
        const DepthWalker::Next next = walker_.next();
        if (next.kind == DepthWalker::Kind::End) return unless_faulted(Ended{});
        if (next.kind == DepthWalker::Kind::Stall) return unless_faulted(Exhausted{next.region});
        if (static_cast<std::int64_t>(out_.count()) >= lim_.max_points) return unless_faulted(Exhausted{next.region});
        PointValue v;
        if (next.region >= 2 && !concrete_scalar(s_, next.region, next.x, remaining_strips(), v)) {
            detail::settle(v);
            return unless_faulted(Exhausted{next.region});
        }
        add_bars(s_, next.region, next.x, v);
        bool stop = next.region == 7 && v.M <= 0;
        detail::settle(v);
        detail::settle(stop);
        if (auto kind = fp_.fault()) return *kind;
        return commit(next.region, next.x, v, stop);
    }

    // Up to kBatchLanes points integrated side by side. Any flag raised, by
    // these points or by the extra work of the batch, sends the same points
    // through scalar_point again, which finds where (and whether) the
    // sequential computation faults.
    Flow batch_points() {
        const DepthWalker saved_walker = walker_;
        const std::size_t saved_count = out_.count();
        const float saved_n3 = out_.N3;
        const std::int64_t saved_strips = out_.strips;

        LaneBatch b;
        int regions[kBatchLanes]{};
        Flow after = Go{};
        const auto room = lim_.max_points - static_cast<std::int64_t>(out_.count());
        while (b.lanes < kBatchLanes && b.lanes < room) {
            const DepthWalker::Next next = walker_.next();
            if (next.kind == DepthWalker::Kind::End) {
                after = Ended{};
                break;
            }
            if (next.kind == DepthWalker::Kind::Stall) {
                after = Exhausted{next.region};
                break;
            }
            regions[b.lanes] = next.region;
            b.x[b.lanes] = next.x;
            b.zone[b.lanes] = strain_zone(s_, next.region, next.x);
            ++b.lanes;
        }
        const int gathered = b.lanes;

        Flow flow = Go{};
        if (gathered > 0) {
            integrate_batch(s_, prefix_, b, remaining_strips());
            for (int i = 0; i < gathered && std::holds_alternative<Go>(flow); ++i) {
                if (!b.complete[i] || b.strips[i] > remaining_strips()) {
                    flow = Exhausted{regions[i]};
                    break;
                }
                PointValue v;
                v.Nc = b.N[i];
                v.Mc = b.M[i];
                v.strips = b.strips[i];
                add_bars(s_, regions[i], b.x[i], v);
                const bool stop = regions[i] == 7 && v.M <= 0;
                flow = commit(regions[i], b.x[i], v, stop);
            }
        }
        if (std::holds_alternative<Go>(flow)) flow = after;

        detail::settle(flow);
        detail::settle(out_);
        if (!fp_.fault()) return flow;

        // Replay the same points one by one.
        walker_ = saved_walker;
        out_.N.resize(saved_count + 1);
        out_.M.resize(saved_count + 1);
        out_.x.resize(saved_count + 1);
        out_.N3 = saved_n3;
        out_.strips = saved_strips;
        fp_.clear();
        for (int i = 0; i < gathered; ++i) {
            const Flow f = scalar_point();
            if (!std::holds_alternative<Go>(f)) return f;
        }
        return Go{};
    }

    // Room for the points, reserved once: regions 1 to 6 plus a region 7
    // twice as deep as the section.
    void reserve_points() {
        double estimate = 64;
        for (int k = 1; k <= 6; ++k) {
            const double lo = xb_[k - 1], hi = xb_[k];
            if (std::isfinite(lo) && std::isfinite(hi) && std::isgreaterequal(hi, lo))
                estimate += (hi - lo) / s_.step + 2;
        }
        if (std::isfinite(s_.H)) estimate += 2.0 * std::fabs(double{s_.H}) / s_.step;
        const double cap = static_cast<double>(lim_.max_points) + 1;
        const auto n = static_cast<std::size_t>(std::isless(estimate, cap) ? estimate : cap);
        out_.N.reserve(n);
        out_.M.reserve(n);
        out_.x.reserve(n);
    }

    const SweepSetup& s_;
    const Boundaries& xb_;
    PointLists& out_;
    detail::FpFaultScope& fp_;
    const SweepLimits& lim_;
    DepthWalker walker_;
    PlateauPrefix prefix_;
};

}  // namespace

std::optional<ErrorKind> sweep(const SweepSetup& s, const Boundaries& xb, PointLists& out, detail::FpFaultScope& fp,
                               const SweepLimits& limits) {
    return Sweeper(s, xb, out, fp, limits).run();
}

}  // namespace ferrolit::component
