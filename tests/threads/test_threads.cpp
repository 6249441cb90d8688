// Independent registries on separate threads. Each thread drives its own
// registry along the whole workflow (creation, materials, bars and stirrups by
// the code, both domains, shear, crack width, design failures with their
// message boxes and beeps, an arithmetic fault, the C interface's per-thread
// status) and must get, bit for bit, what one thread alone gets. Meanwhile
// another thread keeps installing the process-wide hooks. Under
// ThreadSanitizer (make tsan) any data race among them is reported.

#include <gtest/gtest.h>

#include <atomic>
#include <bit>
#include <cstdint>
#include <latch>
#include <string>
#include <thread>
#include <vector>

#include <ferrolit/ferrolit.h>
#include <ferrolit/ferrolit.hpp>

namespace {

using namespace ferrolit;

// What a workflow produced, in order: numbers by their bits, texts as they are.
struct Record {
    std::vector<std::uint32_t> numbers;
    std::vector<std::string> texts;

    void add(float x) { numbers.push_back(std::bit_cast<std::uint32_t>(x)); }
    void add(const std::vector<float>& xs) {
        numbers.push_back(static_cast<std::uint32_t>(xs.size()));
        for (float x : xs) add(x);
    }
    void add(std::string text) { texts.push_back(std::move(text)); }
};

// The hooks are per process and run on the thread whose call shows the box
// or beeps: one handler writing to a per-thread record serves every thread.
thread_local Record* sink = nullptr;

void install_hooks() {
    setMessageBoxHandler([](const std::string& text, const std::string& title) {
        if (sink != nullptr) sink->add("box " + title + ": " + text);
    });
    setBeepHandler([] {
        if (sink != nullptr) sink->add("beep");
    });
}

struct Shape {
    bool tee;
    const char* kind;
    float base, web, height, flange;
    float med_y, med_z, ned, shear_y, shear_z;
    std::int16_t n_min, d_min, d_max, legs;
};

const Shape kShapes[] = {
    {false, "Trave", 300, 0, 500, 0, 100, 0, 0, 0, 80, 2, 12, 20, 2},
    {false, "Pilastro", 400, 0, 400, 0, 80, 40, 900, 30, 50, 4, 14, 24, 2},
    {true, "Trave", 800, 300, 600, 150, 250, 0, -100, 0, 150, 2, 14, 24, 2},
    // Too narrow for 20 bars of 20 mm, and stirrups without legs: the
    // design procedures fail, show their boxes and beep.
    {false, "Trave", 150, 0, 300, 0, 50, 0, 0, 0, 20, 20, 20, 20, 0},
};
constexpr int kShapeCount = static_cast<int>(std::size(kShapes));

std::string outcome(bool go_on, const std::string& msg) { return (go_on ? "ok: " : "stop: ") + msg; }

void design(clsGenVerSez& r, ferrolit::component::Section& s, const Shape& shape, Record& out) {
    for (PosizioneFerri layer :
         {PosizioneFerri::As_inf, PosizioneFerri::As_sup, PosizioneFerri::As_infY, PosizioneFerri::As_supY}) {
        bool go_on = false;
        std::string msg;
        r.ImpostaFerriNorm(layer, go_on, msg);
        out.add(outcome(go_on, msg));
    }
    bool go_on = false;
    std::string msg;
    r.aumentaFerri(PosizioneFerri::As_inf, go_on, msg);
    out.add(outcome(go_on, msg));
    out.add(r.EstraiFerriMin(1e6f, 100, 2, 12, 20, go_on, msg));
    out.add(outcome(go_on, msg));
    for (const std::string& text : {s.stringaAs_inf(), s.stringaAs_sup(), s.stringaAs_infY(), s.stringaAs_supY()})
        out.add(text);
    for (float area : {s.As_inf(), s.As_sup(), s.As_infY(), s.As_supY()}) out.add(area);
    s.nBracciaStaffe(shape.legs);
    r.ImpostaStaffeNorm();
    for (float x : {s.fStaffe(), s.passoStaffe(), s.Astaffe_ml(), s.AstaffeMin(), s.AsMin(), s.AsMax()}) out.add(x);
}

void verify(ferrolit::component::Section& s, bool tee, Record& out) {
    for (const char* direction : {"Y", "Z"}) {
        bool go_on = false;
        std::string msg;
        if (tee)
            dynamic_cast<clsSezT&>(s).CalcolaNMDominioSezT(direction, go_on, msg);
        else
            dynamic_cast<clsSezRett&>(s).CalcolaNMDominioSezRett(direction, go_on, msg);
        out.add(outcome(go_on, msg));
        std::vector<float> n, m;
        if (*direction == 'Y') {
            s.Ny_Dominio(n);
            s.My_Dominio(m);
        } else {
            s.Nz_Dominio(n);
            s.Mz_Dominio(m);
        }
        out.add(n);
        out.add(m);
        out.add(s.Vrd_cls(direction));
        out.add(s.Vrsd(direction));
        out.add(s.Vrcd(direction));
    }
    for (float x : {s.MrdY(), s.MrdZ(), s.xnY(), s.xnZ(), s.SigmaInfY(), s.SigmaSupY(), s.SigmaInfZ(), s.SigmaSupZ()})
        out.add(x);
    bool go_on = false;
    std::string msg;
    s.CalcolaWkFessure(go_on, msg);
    out.add(outcome(go_on, msg));
    for (float x : {s.Wk(), s.EPSsm(), s.DELTAsm()}) out.add(x);
    // An arithmetic fault raised on this thread is this thread's alone.
    const float fyk = s.fyk();
    s.fyk(0);
    try {
        out.add(s.percMaxAs());
    } catch (const Error& e) {
        out.add(std::string("error: ") + e.what());
    }
    s.fyk(fyk);
}

// The whole workflow of one shape through the C++ interface.
Record workflow(const Shape& shape) {
    Record out;
    sink = &out;
    clsGenVerSez r;
    if (shape.tee)
        r.CreaSezT(shape.kind, "S", shape.base, shape.web, shape.height, shape.flange, 40, 40, shape.med_y, shape.med_z,
                   shape.ned, shape.shear_y, shape.shear_z, shape.n_min, shape.d_min, shape.d_max);
    else
        r.CreaSezRett(shape.kind, "S", shape.base, shape.height, 40, 40, shape.med_y, shape.med_z, shape.ned,
                      shape.shear_y, shape.shear_z, shape.n_min, shape.d_min, shape.d_max);
    r.CreaMateriale_Sezione("C25/30", 30, 25, 1.5f, 0.85f, 33, 2.56f, 1.8f, 3.3f, 31476, 0.002f, 0.0035f, 14.17f, 1.19f,
                            "B450C", 450, 1.15f, 200000, 391.3f, 0.0019565f, 0.0675f);
    const std::shared_ptr<ferrolit::component::Section> s = r.Sezioni()->Item(r.SezioneCorrente());
    design(r, *s, shape, out);
    verify(*s, shape.tee, out);
    sink = nullptr;
    return out;
}

// The C interface keeps each thread's last status and description apart.
void c_interface(int n, Record& out) {
    ferrolit_object* registry = nullptr;
    out.add(std::to_string(ferrolit_create("clsGenVerSez", &registry)));
    ferrolit_value number = ferrolit_int16(static_cast<std::int16_t>(n + 1));
    ferrolit_value section = FERROLIT_VALUE_EMPTY;
    const ferrolit_status failed = ferrolit_call(registry, "SezRet", &number, 1, &section);
    out.add(std::to_string(failed) + " " + ferrolit_last_error());
    ferrolit_value text = ferrolit_string("3f16+2f12");
    ferrolit_value area = FERROLIT_VALUE_EMPTY;
    out.add(std::to_string(ferrolit_call(registry, "EstraiAs", &text, 1, &area)) + " [" + ferrolit_last_error() + "]");
    out.add(area.u.single);
    ferrolit_release(registry);
}

Record job(int n) {
    Record out = workflow(kShapes[n % kShapeCount]);
    c_interface(n, out);
    return out;
}

constexpr int kThreads = 4;
constexpr int kRounds = 6;

TEST(ThreadSafety, IndependentRegistriesGiveWhatOneThreadGives) {
    setDecimalSeparator('.');
    install_hooks();

    // The threads go first, so that they also share the first use of the
    // library's tables.
    std::vector<std::vector<Record>> results(kThreads, std::vector<Record>(kRounds));
    std::atomic<bool> done{false};
    std::thread churn([&done] {
        while (!done.load()) {
            install_hooks();
            std::this_thread::yield();
        }
    });
    std::vector<std::thread> workers;
    std::latch start(kThreads);
    for (int t = 0; t < kThreads; ++t)
        workers.emplace_back([t, &results, &start] {
            start.arrive_and_wait();  // all at once
            for (int round = 0; round < kRounds; ++round) results[t][round] = job(t + round);
        });
    for (std::thread& w : workers) w.join();
    done = true;
    churn.join();

    for (int t = 0; t < kThreads; ++t) {
        for (int round = 0; round < kRounds; ++round) {
            SCOPED_TRACE("thread " + std::to_string(t) + ", round " + std::to_string(round));
            const Record alone = job(t + round);
            EXPECT_EQ(results[t][round].texts, alone.texts);
            EXPECT_EQ(results[t][round].numbers, alone.numbers);
        }
    }
}

// The workflow really goes where the comparison needs it to: domains, messages,
// beeps and the fault all show up in the record.
TEST(ThreadSafety, TheWorkflowReachesEveryStep) {
    setDecimalSeparator('.');
    install_hooks();
    const Record narrow = job(3);
    auto has = [&](const std::string& part) {
        for (const std::string& t : narrow.texts)
            if (t.find(part) != std::string::npos) return true;
        return false;
    };
    EXPECT_TRUE(has("box Armatura Minima S: "));
    EXPECT_TRUE(has("beep"));
    EXPECT_TRUE(has("stop: "));
    EXPECT_TRUE(has("error: Divisione per zero"));
    EXPECT_TRUE(has("9 Indice non compreso nell'intervallo"));
    EXPECT_TRUE(has("0 []"));
    const Record beam = job(0);
    EXPECT_GT(beam.numbers.size(), 500u);  // both branches of points
}

}  // namespace
