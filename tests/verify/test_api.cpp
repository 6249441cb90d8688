// The entry points of the verification end to end: the C function, the
// batch runner on several threads, and design() reaching a passing record.

#include <gtest/gtest.h>

#include <ferrolit/ferrolit.h>
#include <atomic>
#include <ferrolit/platform.hpp>
#include <nlohmann/json.hpp>

#include "fixtures.hpp"
#include "verify/output/json_writer.hpp"

namespace {

using namespace ferrolit;
using ferrolit::test::combination;
using ferrolit::test::readme_beam;

// Centres 55 mm from the faces: 55 − 10 − 8 = 37 mm of clear cover to the stirrups, above the 35 mm that
// Tab. C4.1.IV asks for C25/30 in an ordinary environment (25 mm + 10 mm of tolerance).
const std::string kBeam = R"({"Base": 300, "Altezza": 500, "Copriferro_Inf": 55, "Copriferro_Sup": 55,
 "ClasseCls": "C25/30", "ClasseAcciaio": "B450C", "stringaAs_inf": "3f20",
 "fStaffe": 8, "nBracciaStaffe": 2, "passoStaffe": 200)";

std::string beam(const std::string& actions) { return kBeam + ", " + actions + "}"; }

TEST(VerifyC, ResultOrErrorAndAStatus) {
    const struct {
        std::string input;
        int status;
        bool verified;
        const char* key;  // ferrolit_last_error_key()
    } cases[] = {
        {beam(R"("Med_y": 100, "Taglio_z": 80)"), 0, true, ""},
        {beam(R"("Med_y": 200, "Taglio_z": 80)"), 0, false, ""},  // a result, not verified, still status 0
        {R"({"Base": 1e400})", FERROLIT_E_INVALID_OPERATION, false, ""},
        {"not json", FERROLIT_E_INVALID_OPERATION, false, ""},
        {beam(R"("combinazioni": [{"tipo": "SLV"}])"), FERROLIT_E_INVALID_OPERATION, false, "combinazioni[1].tipo"},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.input);
        char* out = nullptr;
        EXPECT_EQ(ferrolit_verify_json(k.input.c_str(), &out), k.status);
        EXPECT_STREQ(ferrolit_last_error_key(), k.key);
        ASSERT_NE(out, nullptr);
        const nlohmann::json j = nlohmann::json::parse(out);
        ferrolit_json_free(out);
        if (k.status != 0) {
            EXPECT_EQ(j.at("error").get<std::string>(), ferrolit_last_error());
            EXPECT_FALSE(j.contains("verified"));
            continue;
        }
        EXPECT_STREQ(ferrolit_last_error(), "");
        EXPECT_EQ(j.at("verified").get<bool>(), k.verified);
        for (const auto& c : j.at("checks"))
            for (const char* key : {"id", "clause", "combination", "demand", "capacity", "unit", "ratio", "verified"})
                EXPECT_TRUE(c.contains(key)) << key;
    }
}

TEST(VerifyC, NullPointersAreRefused) {
    for (auto entry : {ferrolit_verify_json, ferrolit_analyse_json}) {
        char* out = reinterpret_cast<char*>(1);
        EXPECT_EQ(entry(nullptr, &out), FERROLIT_E_INVALID_OPERATION);
        ASSERT_NE(out, nullptr);
        EXPECT_NE(std::string(out).find("\"error\""), std::string::npos);
        ferrolit_json_free(out);
        EXPECT_EQ(entry(kBeam.c_str(), nullptr), FERROLIT_E_INVALID_OPERATION);
    }
    ferrolit_json_free(nullptr);
}

TEST(VerifyC, AnUnboundedRatioIsNullAndNotVerified) {
    char* out = nullptr;
    const std::string none = R"({"Base": 300, "Altezza": 500, "Copriferro_Inf": 40, "Copriferro_Sup": 40,
        "ClasseCls": "C25/30", "ClasseAcciaio": "B450C", "stringaAs_inf": "3f20", "fStaffe": 0, "Med_y": 10})";
    ASSERT_EQ(ferrolit_verify_json(none.c_str(), &out), 0);
    const std::string text = out;
    ferrolit_json_free(out);
    EXPECT_NE(text.find("\"max_ratio\": null"), std::string::npos);
    EXPECT_NE(text.find("\"ratio\": null"), std::string::npos);
    EXPECT_NE(text.find("\"verified\": false"), std::string::npos);
    EXPECT_NE(text.find("rapporto illimitato"), std::string::npos);
}

// Lines in order whatever thread finishes first; bad lines in their place.
TEST(VerifyBatch, OrderAndBadLinesOnTwoThreads) {
    std::string flat;
    for (int i = 1; i <= 40; ++i) {
        std::string section =
            i % 7 == 0 ? "{\"Base\": " + std::to_string(i) + "}"
                       : beam(R"("DescrSezione": "S)" + std::to_string(i) + R"(", "Med_y": )" + std::to_string(i * 5));
        for (char& c : section)
            if (c == '\n') c = ' ';
        flat += section + "\n";
    }
    std::vector<BatchItem> items;
    verify_lines(flat,
                 {"b.jsonl", 2, false,
                  [](const VerificationResult& r, int line) { return std::to_string(line) + r.input.description; }},
                 [&](BatchItem&& item) { items.push_back(std::move(item)); });
    ASSERT_EQ(items.size(), 40u);
    for (int i = 1; i <= 40; ++i) {
        const BatchItem& item = items[static_cast<std::size_t>(i - 1)];
        EXPECT_EQ(item.line, i);
        if (i % 7 == 0) {
            EXPECT_FALSE(item.result.has_value());
            EXPECT_EQ(item.error.rfind("b.jsonl:" + std::to_string(i) + ": ", 0), 0u) << item.error;
        } else {
            ASSERT_TRUE(item.result.has_value()) << item.error;
            EXPECT_EQ(item.rendered, std::to_string(i) + "S" + std::to_string(i));
        }
    }
}

// Sections whose missing bars cannot be chosen, on several threads: each
// failure is its own line's error, and the process-wide message handler is
// never called.
TEST(VerifyBatch, CodeMinimumFailuresStayOnTheirThread) {
    std::atomic<int> boxes{0};
    const MessageBoxHandler previous = setMessageBoxHandler([&](const std::string&, const std::string&) { ++boxes; });
    std::string lines;
    for (int i = 0; i < 20; ++i)
        lines += R"({"Base": 30, "Altezza": 50, "Copriferro_Inf": 4, "Copriferro_Sup": 4, "ClasseCls": "C25/30", )"
                 R"("ClasseAcciaio": "B450C", "Med_y": 1})"
                 "\n";
    int errors = 0;
    verify_lines(lines, {"", 2, false, {}}, [&](BatchItem&& item) {
        errors += item.result ? 0 : 1;
        EXPECT_NE(item.error.find("impossibile scegliere l'armatura As_inf"), std::string::npos) << item.error;
    });
    setMessageBoxHandler(previous);
    EXPECT_EQ(errors, 20);
    EXPECT_EQ(boxes.load(), 0);
}

// design() chooses the bottom layer, the top layer and the stirrups; the
// record passes, and one bar less (the next lighter arrangement) would not.
TEST(VerifyDesign, ReachesAPassingRecordWithTheLeastSteel) {
    VerificationInput in = readme_beam();
    in.bottom = in.top = in.left =
        in.right = {std::nullopt, std::nullopt, 60, std::nullopt};  // cover ≥ 35 mm up to ø30
    in.stirrups.reset();
    in.combinations = {combination("U", CombinationKind::Ultimate, 0, 180, 0, 0, 150),
                       combination("QP", CombinationKind::QuasiPermanent, 0, 100)};
    const VerificationResult r = design(in);
    EXPECT_TRUE(r.verified);
    ASSERT_EQ(r.layers.size(), 2u);
    EXPECT_EQ(r.layers[0].origin, Origin::Designed);
    ASSERT_TRUE(r.stirrups.has_value());
    EXPECT_EQ(r.stirrups->origin, Origin::Designed);
    EXPECT_EQ(static_cast<int>(r.stirrups->spacing) % 25, 0);
    // The same bottom area less one bar fails.
    const std::string& bottom = r.layers[0].bars;
    const int n = std::stoi(bottom);
    VerificationInput lighter = in;
    lighter.bottom.bars = std::to_string(n - 1) + bottom.substr(bottom.find('f'));
    lighter.top.bars = r.layers[1].bars;
    lighter.stirrups = StirrupsInput{r.stirrups->diameter, r.stirrups->legs, r.stirrups->spacing};
    EXPECT_FALSE(verify(lighter).verified);
    // Nothing in the table can carry 5000 kNm in this beam.
    in.combinations = {combination("U", CombinationKind::Ultimate, 0, 5000)};
    try {
        design(in);
        ADD_FAILURE() << "no error";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("progetto non riuscito"), std::string::npos) << e.what();
    }
}

// With the block "sismica" the design meets the rules of §7.4 as well: the
// critical-zone stirrups of a CD"A" column (spacing ≤ 6·φl, ⅓ of the core,
// 125 mm) and its confinement, which the §4.1 stirrups alone would not.
TEST(VerifyDesign, SeismicColumnMeetsTheCriticalZoneRules) {
    VerificationInput in = readme_beam();
    in.bottom = in.top = {"3f20", std::nullopt, 60, std::nullopt};
    in.left = in.right = {"1f20", std::nullopt, 60, std::nullopt};  // 8 bars 140 mm apart
    in.member = MemberType::Column;
    in.shape.dimensions = {400, 400, 0, 0};
    in.stirrups.reset();
    in.seismic = SeismicInput{DuctilityClass::A, MemberType::Column, true, {}, {}, {}, 4.0, {}, {}};
    in.combinations = {combination("E", CombinationKind::Seismic, 500, 120)};
    const VerificationResult r = design(in);
    EXPECT_TRUE(r.verified);
    ASSERT_TRUE(r.stirrups.has_value());
    EXPECT_LE(r.stirrups->spacing, 6 * 20);
    for (const char* id : {"seismic_stirrups", "seismic_confinement", "ductility"})
        EXPECT_TRUE(r.governing(id).has_value()) << id;
}

// design() with torsion chooses closed stirrups and longitudinal bars that
// carry T; on a circle it chooses the bars on the circle. Each record passes,
// and its input echo verifies alike.
TEST(VerifyDesign, TorsionAndBarsOnACircle) {
    VerificationInput beam = readme_beam();
    beam.bottom = beam.top = beam.left = beam.right = {std::nullopt, std::nullopt, 60, std::nullopt};
    beam.stirrups.reset();
    Combination twisted = combination("U", CombinationKind::Ultimate, 0, 120, 0, 0, 100);
    twisted.T = 25;
    beam.combinations = {twisted};
    const VerificationInput round = read_verification_input(
        R"({"forma": "circolare", "diametro": 500, "copriferro": 40, "TipoSezione": "Pilastro", "ClasseCls": "C25/30", "ClasseAcciaio": "B450C",
            "fStaffe": 8, "nBracciaStaffe": 2, "passoStaffe": 150,
            "combinazioni": [{"nome": "U", "tipo": "SLU", "N": 2000, "My": 150, "Vz": 80}]})");
    const struct {
        const char* name;
        const VerificationInput& in;
        const char* layer;
    } rows[] = {{"torsion", beam, "As_inf"}, {"circle", round, "As_circ"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const VerificationResult r = design(row.in);
        EXPECT_TRUE(r.verified);
        ASSERT_FALSE(r.layers.empty());
        EXPECT_EQ(r.layers[0].name, row.layer);
        EXPECT_EQ(r.layers[0].origin, Origin::Designed);
        const VerificationResult again = verify(r.input);
        EXPECT_TRUE(again.verified);
        EXPECT_EQ(again.max_ratio, r.max_ratio);
    }
}

}  // namespace

// The writer's escapes, read back by a JSON parser: each special character at
// every place of a word of eight bytes and around it, among plain and UTF-8 text.
TEST(JsonWriter, StringsReadBackAsWritten) {
    for (const char special : {'"', '\\', '\n', '\r', '\t', '\x01', '\x1f'})
        for (std::size_t at = 0; at < 18; ++at) {
            std::string text = "Verifica a taglio: àè ok, " + std::string(at, 'x');
            text.insert(at, 1, special);
            verification::JsonWriter w(-1);
            w.begin_array().value(text).value(std::string_view(text).substr(0, at)).end_array();
            const nlohmann::json read = nlohmann::json::parse(w.take());
            EXPECT_EQ(read[0], text) << int(special) << " at " << at;
            EXPECT_EQ(read[1], text.substr(0, at));
        }
}
