// The floating-point environment of the host: every public call of the C++
// interface and of the C interface leaves the host's flags, traps and
// rounding as they were, computes the same numbers whatever they are, and
// turns its faults into errors and messages even when the host traps them.

#include <gtest/gtest.h>
#include <unistd.h>

#include <bit>
#include <cfenv>
#include <cfloat>
#include <cmath>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <functional>
#include <limits>
#include <string>
#include <vector>

#if defined(__SSE__)
#include <xmmintrin.h>
#endif

#include <ferrolit/ferrolit.h>
#include <ferrolit/analysis.hpp>
#include <ferrolit/ferrolit.hpp>
#include <ferrolit/platform.hpp>

#include "support.hpp"

namespace {

using namespace ferrolit;

constexpr int kTrapped = FE_DIVBYZERO | FE_INVALID | FE_OVERFLOW;
const float kNaN = std::numeric_limits<float>::quiet_NaN();

// The call under way, named if a trap kills the process.
const char* current_call = "";

extern "C" void report_trap(int /*signal*/) {
    const char text[] = "SIGFPE, the host's trap, inside: ";
    (void)!::write(2, text, sizeof text - 1);
    (void)!::write(2, current_call, std::strlen(current_call));
    (void)!::write(2, "\n", 1);
    ::_exit(3);
}

// A host that traps the three faults (as some runtimes do) and has a flag of
// its own raised: each call must leave exactly that.
class TrappingHost : public testing::Test {
protected:
    void SetUp() override {
        previous_ = std::signal(SIGFPE, report_trap);
        std::feclearexcept(FE_ALL_EXCEPT);
        std::feraiseexcept(FE_UNDERFLOW);
        feenableexcept(kTrapped);
    }

    void TearDown() override {
        fedisableexcept(FE_ALL_EXCEPT);
        std::feclearexcept(FE_ALL_EXCEPT);
        std::signal(SIGFPE, previous_);
    }

    // Runs a call and checks the host's environment after it.
    static void run(const char* name, const std::function<void()>& call) {
        current_call = name;
        call();
        const int flags = std::fetestexcept(FE_ALL_EXCEPT);
        const int traps = fegetexcept();
        EXPECT_EQ(flags, FE_UNDERFLOW) << name << ": the host's flags changed";
        EXPECT_EQ(traps, kTrapped) << name << ": the host's traps changed";
    }

private:
    void (*previous_)(int) = SIG_DFL;
};

// The Error a call raised, as its description, or "no error".
std::string error_of(const std::function<void()>& call) {
    try {
        call();
    } catch (const Error& e) {
        return std::string("Error: ") + e.what();
    }
    return "no error";
}

// The worked beam of the shear and crack checks: 300 × 500, covers 40,
// 942 mm² below, 226 above, C25/30 and B450C, two-leg ø8 at 200.
template <class S>
S beam() {
    S s;
    test::shape_beam(s);
    test::give_design_values(s);
    s.H_Utile(460), s.fck(25), s.gammaC(1.5F), s.fctm(2.56F), s.fyk(450), s.Ec(31476), s.Med_y(100);
    s.fStaffe(8), s.nBracciaStaffe(2), s.passoStaffe(200), s.AlfaStaffe(90), s.tetaBielle(45);
    s.stringaAs_inf("3f20"), s.DeltaN(5), s.DeltaX(5);
    s.kt(0.6F), s.k1(0.8F), s.k2(0.5F), s.k3(3.4F), s.k4(0.425F);
    return s;
}

// The outcome of a member of the worked beam (or T) after a change to it:
// the Error it raised, or the message of a procedure that failed.
template <class S>
std::function<std::string()> raised(void (*change)(S&), void (*member)(S&)) {
    return [=] {
        auto s = beam<S>();
        change(s);
        return error_of([&] { member(s); });
    };
}

template <class S>
std::function<std::string()> failed(void (*change)(S&), void (*procedure)(S&, bool&, std::string&)) {
    return [=] {
        auto s = beam<S>();
        change(s);
        bool procedi = true;
        std::string msg;
        procedure(s, procedi, msg);
        return procedi ? std::string("Procedi") : msg;
    };
}

TEST_F(TrappingHost, FaultsStillBecomeErrorsAndMessages) {
    using R = clsSezRett;
    using T = clsSezT;
    const std::string division = std::string("Error: ") + describe(ErrorKind::DivisionByZero);
    const std::string invalid = std::string("Error: ") + describe(ErrorKind::InvalidOperation);
    const std::string overflow = std::string("Error: ") + describe(ErrorKind::Overflow);
    const std::string domain_failed = "Errore nel calcolo dei Valori di Nrd , Mrd\n";
    const auto domain_y = [](R& s, bool& procedi, std::string& msg) { s.CalcolaNMDominioSezRett("Y", procedi, msg); };
    const struct {
        const char* name;
        std::function<std::string()> outcome;
        std::string expected;
    } cases[] = {
        {"Vrd_cls with gammaC 0", raised<R>([](R& s) { s.gammaC(0); }, [](R& s) { (void)s.Vrd_cls("Z"); }), division},
        {"Vrd_cls with a negative fck", raised<R>([](R& s) { s.fck(-25); }, [](R& s) { (void)s.Vrd_cls("Z"); }),
         invalid},
        {"Vrsd at 0 degrees without spacing",
         raised<R>([](R& s) { s.AlfaStaffe(0), s.passoStaffe(0); }, [](R& s) { (void)s.Vrsd("Z"); }), division},
        {"Vrsd beyond a float",
         raised<R>([](R& s) { s.fyd(3e38F), s.passoStaffe(1e-3F); }, [](R& s) { (void)s.Vrsd("Y"); }), overflow},
        {"Vrcd of a T without web", raised<T>([](T& t) { t.BaseInf(0); }, [](T& t) { (void)t.Vrcd("Z"); }), invalid},
        {"percMinAs with fyk 0", raised<R>([](R& s) { s.fyk(0); }, [](R& s) { (void)s.percMinAs(); }), division},
        {"AsMin of a beam with fyk 0", raised<R>([](R& s) { s.fyk(0); }, [](R& s) { (void)s.AsMin(); }), division},
        {"percAs of a T of no area",
         raised<T>([](T& t) { t.BaseInf(0), t.SpessoreT(0); }, [](T& t) { (void)t.percAs(); }), division},
        {"NFerriMassimo of 0 mm bars",
         raised<R>([](R&) {}, [](R& s) { (void)s.NFerriMassimo(PosizioneFerri::As_inf, 0); }), division},
        {"Astaffe_ml at a spacing of 1e-40 mm",
         raised<R>([](R& s) { s.passoStaffe(1e-40F); }, [](R& s) { (void)s.Astaffe_ml(); }), overflow},
        {"the domain with eps_ud = eps_yd", failed<R>([](R& s) { s.eps_ud(s.eps_yd()); }, domain_y),
         domain_failed + "Divisione per zero"},
        {"the domain of a T of no area",
         failed<T>([](T& t) { t.Base(0), t.BaseInf(0), t.SpessoreT(0); },
                   [](T& t, bool& procedi, std::string& msg) { t.CalcolaNMDominioSezT("Y", procedi, msg); }),
         domain_failed + "Chiamata di routine o argomento non validi"},
        {"the crack width without bars",
         failed<R>([](R& s) { s.As_inf(0), s.As_sup(0); },
                   [](R& s, bool& procedi, std::string& msg) { s.CalcolaWkFessure(procedi, msg); }),
         describe(ErrorKind::DivisionByZero)},
    };
    for (const auto& c : cases) {
        std::string outcome;
        run(c.name, [&] { outcome = c.outcome(); });
        EXPECT_EQ(outcome, c.expected) << c.name;
    }

    // The same through the C interface: a status, no signal.
    ferrolit_object* section = nullptr;
    ASSERT_EQ(ferrolit_create("clsSezRett", &section), FERROLIT_OK);
    ferrolit_value angle = ferrolit_single(0);
    ferrolit_value direction = ferrolit_string("Z");
    ferrolit_status status = FERROLIT_OK;
    run("Vrsd through the C interface", [&] {
        (void)ferrolit_let(section, "Base", &(angle = ferrolit_single(300)));
        (void)ferrolit_let(section, "Altezza", &(angle = ferrolit_single(500)));
        (void)ferrolit_let(section, "AlfaStaffe", &(angle = ferrolit_single(0)));
        status = ferrolit_get(section, "Vrsd", &direction, 1, nullptr);
    });
    EXPECT_EQ(status, FERROLIT_E_DIVISION_BY_ZERO);
    ferrolit_release(section);
}

TEST_F(TrappingHost, NaNsAndOverflowsLeaveNoFlag) {
    const struct {
        const char* name;
        std::function<void()> call;
    } cases[] = {
        {"EstraiFerriMin of NaN",
         [] {
             clsGenVerSez r;
             bool procedi = true;
             std::string msg;
             (void)r.EstraiFerriMin(kNaN, 300, 2, 12, 20, procedi, msg);
         }},
        {"EstraiFerriMin of FLT_MAX",
         [] {
             clsGenVerSez r;
             bool procedi = true;
             std::string msg;
             (void)r.EstraiFerriMin(FLT_MAX, 300, 2, 12, 20, procedi, msg);
             EXPECT_EQ(msg.substr(0, 41), "Area Ferri Necessaria= 3.402823E+38 mmq\n\n");
         }},
        {"the shear members of a NaN section",
         [] {
             auto s = beam<clsSezRett>();
             s.Base(kNaN);
             for (const char* dir : {"Y", "Z"}) {
                 (void)error_of([&] { (void)s.Vrd_cls(dir); });
                 (void)error_of([&] { (void)s.Vrsd(dir); });
                 (void)error_of([&] { (void)s.Vrcd(dir); });
             }
         }},
        {"the ratios under a NaN moment",
         [] {
             auto s = beam<clsSezRett>();
             s.Med_y(kNaN);
             (void)error_of([&] { (void)s.percA1s(); });
             (void)error_of([&] { (void)s.percAs(); });
             (void)error_of([&] { (void)s.percMaxAs(); });
         }},
        {"ImpostaStaffeNorm with a NaN spacing",
         [] {
             clsGenVerSez r;
             test::create_readme_beam(r);
             test::give_materials(r);
             r.SezRet(1)->passoStaffe(kNaN);
             (void)error_of([&] { r.ImpostaStaffeNorm(); });
         }},
        {"bX at a NaN depth",
         [] {
             auto t = beam<clsSezT>();
             (void)t.bX(TipoBordo::Superiore, kNaN);
             (void)t.bX(TipoBordo::Sinistro, kNaN);
         }},
        {"H_Utile beyond a float",
         [] {
             clsSezRett s;
             s.Copriferro_Inf(-3e38F);
             s.Altezza(3e38F);
             EXPECT_TRUE(std::isinf(s.H_Utile()));
         }},
        {"Item and Remove of a NaN index, through the C interface",
         [] {
             ferrolit_object* collection = nullptr;
             ASSERT_EQ(ferrolit_create("Collection", &collection), FERROLIT_OK);
             ferrolit_value index = ferrolit_single(kNaN);
             ferrolit_value out = FERROLIT_VALUE_EMPTY;
             EXPECT_EQ(ferrolit_get(collection, "Item", &index, 1, &out), FERROLIT_E_OVERFLOW);
             EXPECT_EQ(ferrolit_call(collection, "Remove", &index, 1, nullptr), FERROLIT_E_OVERFLOW);
             ferrolit_release(collection);
         }},
    };
    for (const auto& c : cases) run(c.name, c.call);
}

// The code engine under a trapping host: degenerate inputs are refused with
// Error, and the calls of a section at the ends of its domain (where slices
// shrink to a point) and beyond it raise no trap and leave no flag.
TEST_F(TrappingHost, TheCodeEngineLeavesNoFlag) {
    namespace fa = ferrolit::analysis;
    const fa::Shape rectangle{{{0, 0}, {300, 0}, {300, 500}, {0, 500}}, {}};
    const std::vector<fa::Bar> bars{fa::bar_of_diameter(40, 40, 20), fa::bar_of_diameter(260, 40, 20),
                                    fa::bar_of_diameter(40, 460, 12)};
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        const char* name;
        std::function<void()> call;
    } cases[] = {
        {"a collinear outline",
         [&] {
             EXPECT_NE(error_of([&] { (void)fa::normalised({{{0, 0}, {100, 0}, {200, 0}}, {}}); }), "no error");
         }},
        {"a NaN strength",
         [&] {
             fa::Concrete c = fa::Concrete::of_class("C25/30");
             c.fck = std::nan("");
             EXPECT_NE(error_of([&] { fa::Section(rectangle, bars, c, fa::Steel::of_class("B450C")); }), "no error");
         }},
        {"a bar at infinity",
         [&] {
             std::vector<fa::Bar> far = bars;
             far.push_back({inf, 0, 100});
             EXPECT_NE(error_of([&] {
                           fa::Section(rectangle, far, fa::Concrete::of_class("C25/30"), fa::Steel::of_class("B450C"));
                       }),
                       "no error");
         }},
        {"the whole domain, its ends and beyond",
         [&] {
             for (const bool limit : {true, false}) {
                 fa::Steel steel = fa::Steel::of_class("B450C");
                 if (!limit) steel.eps_ud.reset();
                 const fa::Section s(rectangle, bars, fa::Concrete::of_class("C25/30"), steel);
                 for (const double N : {s.N_Rd_min(), 0.0, s.N_Rd_max(), 2 * s.N_Rd_max(), -inf}) {
                     if (std::isfinite(N)) {
                         (void)s.resisting_moment(N, 100, 0);
                         (void)s.resisting_moment(N, 0, 0);
                         (void)s.biaxial(N, 50, 50);
                         (void)s.contour(N, 12);
                         (void)s.ultimate_at(90, N);
                         (void)error_of([&] { (void)s.service(N / 4, 10, 1); });
                     } else {
                         (void)error_of([&] { (void)s.resisting_moment(N, 1, 0); });
                     }
                 }
                 (void)s.domain(fa::Axis::My, 20);
                 (void)s.domain(fa::Axis::Mz, 20);
                 (void)s.state_at({0, 0, 0});
             }
         }},
    };
    for (const auto& c : cases) run(c.name, c.call);
}

// Every member of every class of the C interface, called (or written) with
// NaN, the largest floats and 0 for its numbers, on sections that already
// hold such values: no trap fires and no flag reaches the host.
TEST_F(TrappingHost, NoMemberOfTheCInterfaceLeavesAFlag) {
    (void)setMessageBoxHandler([](const std::string&, const std::string&) {});
    (void)setBeepHandler([] {});
    ferrolit_object* registry = nullptr;
    ferrolit_object* rect = nullptr;
    ferrolit_object* tee = nullptr;
    ferrolit_object* collection = nullptr;
    ASSERT_EQ(ferrolit_create("clsGenVerSez", &registry), FERROLIT_OK);
    ASSERT_EQ(ferrolit_create("clsSezRett", &rect), FERROLIT_OK);
    ASSERT_EQ(ferrolit_create("clsSezT", &tee), FERROLIT_OK);
    ASSERT_EQ(ferrolit_create("Collection", &collection), FERROLIT_OK);
    ferrolit_value item = ferrolit_object_value(rect);
    ASSERT_EQ(ferrolit_call(collection, "Add", &item, 1, nullptr), FERROLIT_OK);
    ferrolit_value sections = ferrolit_object_value(collection);
    ASSERT_EQ(ferrolit_let(registry, "Sezioni", &sections), FERROLIT_OK);

    const struct {
        const char* cls;
        ferrolit_object* object;
    } objects[] = {{"clsSezRett", rect}, {"clsSezT", tee}, {"Collection", collection}, {"clsGenVerSez", registry}};
    std::string name;
    int calls = 0;
    for (const float number : {kNaN, FLT_MAX, -FLT_MAX, 0.0F, 3e38F}) {
        for (const auto& o : objects) {
            for (std::int32_t m = 0; m < ferrolit_member_count(o.cls); ++m) {
                const ferrolit_member_info& info = *ferrolit_member_at(o.cls, m);
                std::vector<ferrolit_value> args(static_cast<std::size_t>(info.arg_count) + 1);
                for (std::int32_t a = 0; a < info.arg_count; ++a) {
                    const std::int32_t type = info.args[a].is_output ? FERROLIT_TYPE_EMPTY : info.args[a].type;
                    const bool number_type =
                        type == FERROLIT_TYPE_SINGLE || type == FERROLIT_TYPE_INT16 || type == FERROLIT_TYPE_INT32;
                    args[static_cast<std::size_t>(a)] = number_type                    ? ferrolit_single(number)
                                                        : type == FERROLIT_TYPE_STRING ? ferrolit_string("Z")
                                                        : type == FERROLIT_TYPE_OBJECT ? ferrolit_object_value(rect)
                                                                                       : ferrolit_value{};
                }
                name = std::string(o.cls) + "." + info.name;
                run(name.c_str(), [&] {
                    ferrolit_value result = FERROLIT_VALUE_EMPTY;
                    const bool numeric =
                        info.result_type == FERROLIT_TYPE_SINGLE || info.result_type == FERROLIT_TYPE_INT16;
                    if ((info.kind & FERROLIT_KIND_LET) != 0 && numeric) {
                        ferrolit_value value = ferrolit_single(number);
                        (void)ferrolit_let(o.object, info.name, &value);
                    }
                    (void)ferrolit_call(o.object, info.name, args.data(), info.arg_count, &result);
                    ferrolit_value_clear(&result);
                    for (ferrolit_value& v : args) ferrolit_value_clear(&v);
                });
                ++calls;
            }
        }
    }
    EXPECT_GT(calls, 500);
    for (ferrolit_object* o : {registry, rect, tee, collection}) ferrolit_release(o);
    (void)setMessageBoxHandler({});
    (void)setBeepHandler({});
}

// Numbers of the README beam, bit for bit, as text.
std::string readme_beam_numbers() {
    clsGenVerSez r;
    test::create_readme_beam(r);
    test::give_materials(r);
    auto s = r.SezRet(1);
    s->As_inf(942), s->stringaAs_inf("3f20"), s->As_sup(226);
    bool procedi = true;
    std::string msg;
    s->CalcolaNMDominioSezRett("Y", procedi, msg);
    s->CalcolaWkFessure(procedi, msg);
    std::vector<float> n;
    s->Ny_Dominio(n);
    clsSezRett tiny;  // a ratio of 6.7e-42, a float only without flush to zero
    tiny.Base(300), tiny.Altezza(500), tiny.Med_y(1), tiny.As_sup(1e-36F);
    std::string text;
    for (const float x : {s->MrdY(), s->xnY(), s->Wk(), s->Vrd_cls("Z"), s->Vrsd("Z"), s->Vrcd("Y"), s->AsMin(),
                          n.back(), n[n.size() / 2], tiny.percA1s()}) {
        char bits[16];
        std::snprintf(bits, sizeof bits, "%08x ", std::bit_cast<std::uint32_t>(x));
        text += bits;
    }
    return text;
}

TEST(HostEnvironment, RoundingModeOfTheHostChangesNoNumberAndIsKept) {
    const std::string nearest = readme_beam_numbers();
    for (const int mode : {FE_UPWARD, FE_DOWNWARD, FE_TOWARDZERO}) {
        std::fesetround(mode);
        const std::string numbers = readme_beam_numbers();
        const int after = std::fegetround();
        std::fesetround(FE_TONEAREST);
        EXPECT_EQ(numbers, nearest) << "rounding mode " << mode;
        EXPECT_EQ(after, mode);
    }
}

#if defined(__SSE__)
TEST(HostEnvironment, FlushToZeroOfTheHostChangesNoNumberAndIsKept) {
    constexpr unsigned kFlushToZeroAndDenormalsAreZero = 0x8040;  // as a host built with -ffast-math has them
    const std::string normal = readme_beam_numbers();
    const unsigned csr = _mm_getcsr();
    _mm_setcsr(csr | kFlushToZeroAndDenormalsAreZero);
    const std::string numbers = readme_beam_numbers();
    const unsigned after = _mm_getcsr();
    _mm_setcsr(csr);
    EXPECT_EQ(numbers, normal);
    EXPECT_EQ(after & kFlushToZeroAndDenormalsAreZero, kFlushToZeroAndDenormalsAreZero);
}
#endif

TEST(HostEnvironment, HandlersRunInTheHostsEnvironment) {
    int seen_rounding = -1;
    (void)setMessageBoxHandler([&](const std::string&, const std::string&) { seen_rounding = std::fegetround(); });
    clsGenVerSez r;
    test::create_readme_beam(r);
    test::give_materials(r);
    r.SezRet(1)->dFerriMinimo(40);  // no bar of the table: the procedure fails and shows its box
    bool procedi = true;
    std::string msg;
    std::fesetround(FE_UPWARD);
    r.ImpostaFerriNorm(PosizioneFerri::As_inf, procedi, msg);
    const int after = std::fegetround();
    std::fesetround(FE_TONEAREST);
    (void)setMessageBoxHandler({});
    EXPECT_FALSE(procedi);
    EXPECT_EQ(seen_rounding, FE_UPWARD);
    EXPECT_EQ(after, FE_UPWARD);
}

}  // namespace
