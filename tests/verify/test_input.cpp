// Reading a section's JSON: materials by class with overrides, the flat keys
// of the component, combinations, and every class of bad input with its
// message (which names the key, and the file and line when there is one).

#include <gtest/gtest.h>

#include <cmath>

#include "fixtures.hpp"

namespace {

using namespace ferrolit;

const std::string kBeam = R"({"Base": 300, "Altezza": 500, "Copriferro_Inf": 40, "Copriferro_Sup": 40,
 "ClasseCls": "C25/30", "ClasseAcciaio": "B450C", "stringaAs_inf": "3f20", "stringaAs_sup": "2f12",
 "fStaffe": 8, "nBracciaStaffe": 2, "passoStaffe": 200)";

VerificationInput read(const std::string& extra) { return read_verification_input(kBeam + extra + "}"); }

std::string error_of(const std::string& text, const ReadOptions& options = {}) {
    try {
        read_verification_input(text, options);
    } catch (const Error& e) {
        EXPECT_EQ(e.kind(), ErrorKind::InvalidOperation);
        return e.what();
    }
    return "(no error)";
}

TEST(VerifyInput, MaterialsByClassWithOverrides) {
    // C40/50 by the code: fcm 48, fctm = 0.30·40^(2/3) = 3.51, Ecm = 22000·4.8^0.3 = 35220, fcd = 0.85·40/1.5.
    const VerificationInput c40 = read_verification_input(
        R"({"Base": 300, "Altezza": 500, "Copriferro_Inf": 40, "Copriferro_Sup": 40, "ClasseCls": "c40/50",
            "ClasseAcciaio": "b450a", "stringaAs_inf": "3f20"})");
    EXPECT_EQ(c40.concrete.name, "C40/50");
    EXPECT_NEAR(c40.concrete.fctm, 0.30 * std::cbrt(1600.0), 1e-12);
    EXPECT_NEAR(c40.concrete.Ec, 22000 * std::pow(4.8, 0.3), 1e-9);
    EXPECT_NEAR(c40.concrete.fcd(), 0.85 * 40 / 1.5, 1e-12);
    EXPECT_NEAR(*c40.steel.eps_ud, 0.9 * 0.025, 1e-15);
    const struct {
        const char* extra;
        double fcd, fctm, Ec, fyd;
    } cases[] = {
        {R"(, "gammaC": 1.6)", 0.85 * 25 / 1.6, 0.30 * std::cbrt(625.0), 22000 * std::pow(3.3, 0.3), 450 / 1.15},
        {R"(, "gammaC": 1.6, "fcd": 14)", 14, 0.30 * std::cbrt(625.0), 22000 * std::pow(3.3, 0.3), 450 / 1.15},
        {R"(, "fcm": 35, "fctm": 2.2)", 0.85 * 25 / 1.5, 2.2, 22000 * std::pow(3.5, 0.3), 450 / 1.15},
        {R"(, "Ec": 30000, "gammaS": 1.0)", 0.85 * 25 / 1.5, 0.30 * std::cbrt(625.0), 30000, 450},
        {R"(, "fyd": 391.3, "gammaS": 1.0)", 0.85 * 25 / 1.5, 0.30 * std::cbrt(625.0), 22000 * std::pow(3.3, 0.3),
         391.3},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.extra);
        const VerificationInput in = read(k.extra);
        EXPECT_NEAR(in.concrete.fcd(), k.fcd, 1e-12);
        EXPECT_NEAR(in.concrete.fctm, k.fctm, 1e-12);
        EXPECT_NEAR(in.concrete.fctk05, 0.7 * k.fctm, 1e-12);
        EXPECT_NEAR(in.concrete.Ec, k.Ec, 1e-9);
        EXPECT_NEAR(in.steel.fyd(), k.fyd, 1e-12);
    }
    // Without a class: fck = 0.83·Rck (§11.2.10.1).
    const VerificationInput by_rck = read_verification_input(
        R"({"Base": 300, "Altezza": 500, "Copriferro_Inf": 40, "Copriferro_Sup": 40, "Rck": 30, "fyk": 450,
            "stringaAs_inf": "3f20"})");
    EXPECT_NEAR(by_rck.concrete.fck, 24.9, 1e-12);
}

TEST(VerifyInput, FlatActionsMakeTheirCombinations) {
    const VerificationInput in = read(R"(, "Ned_x": 10, "Med_y": 100, "Med_z": 20, "Taglio_y": 5, "Taglio_z": 80,
                                         "Med_Fes": 60)");
    ASSERT_EQ(in.combinations.size(), 2u);
    const Combination& u = in.combinations[0];
    EXPECT_EQ(u.name, "SLU");
    EXPECT_EQ(u.kind, CombinationKind::Ultimate);
    EXPECT_EQ(u.N, 10);
    EXPECT_EQ(u.My, 100);
    EXPECT_EQ(u.Mz, -20);  // Med_z compresses the left edge
    EXPECT_EQ(u.Vy, 5);
    EXPECT_EQ(u.Vz, 80);
    const Combination& f = in.combinations[1];
    EXPECT_EQ(f.kind, CombinationKind::Frequent);
    EXPECT_EQ(f.N, 0);
    EXPECT_EQ(f.My, 60);
    const VerificationInput list = read(R"(, "combinazioni": [{"tipo": "slu sismica", "My": 1}, {"nome": "Q",
        "tipo": "SLE quasi permanente"}], "ambiente": "Molto Aggressivo", "armature_sensibili": true,
        "TipoSezione": "Soletta", "dmax_aggregato": 16, "tolleranza_copriferro": 0)");
    EXPECT_EQ(list.combinations[0].name, "C1");
    EXPECT_EQ(list.combinations[0].kind, CombinationKind::Seismic);
    EXPECT_EQ(list.combinations[1].kind, CombinationKind::QuasiPermanent);
    EXPECT_EQ(list.environment, Environment::VeryAggressive);
    EXPECT_TRUE(list.sensitive_bars);
    EXPECT_EQ(list.member, MemberType::Slab);
    EXPECT_EQ(list.aggregate_size, 16);
    EXPECT_EQ(list.cover_tolerance, 0);
}

TEST(VerifyInput, BadInputNamesTheKey) {
    const struct {
        std::string text, message;
    } cases[] = {
        {R"({"Base": 1e400})", "numero fuori dall'intervallo di un double"},
        {R"({"Bsae": 300})", "chiave \"Bsae\": chiave sconosciuta: forse \"Base\"?"},
        {R"({"Base": "300,5"})", "chiave \"Base\": numero scritto come testo con la virgola decimale"},
        {R"({"Base": 300,5})", "numero scritto con la virgola decimale: usare il punto"},
        {R"({"Base": "300"})", "chiave \"Base\": tipo errato: atteso un numero, trovato un testo"},
        {R"({"Base": 300, "Base": 400})", "chiave \"Base\": chiave ripetuta"},
        {R"([1, 2])", "una sezione è un oggetto JSON"},
        {R"({"Base": 300)", "JSON non valido"},
        {kBeam + R"(, "fck": 30})",
         "chiave \"fck\": 30 MPa contraddice la classe \"C25/30\" di \"ClasseCls\", che ha fck = 25"},
        {kBeam + R"(, "Rck": 35})", "chiave \"Rck\": 35 MPa contraddice la classe \"C25/30\""},
        {kBeam + R"(, "fyk": 500})", "chiave \"fyk\": 500 MPa contraddice la classe \"B450C\""},
        {kBeam + R"(, "As_inf": 800})", "chiave \"As_inf\": 800 mm² non corrisponde a \"3f20\" di \"stringaAs_inf\""},
        {kBeam + R"(, "stringaAs_supY": "due da 12"})", "chiave \"stringaAs_supY\": armatura \"due da 12\""},
        {kBeam + R"(, "DescrSezione": ")" + std::string(201, 'x') + "\"}", "testo troppo lungo: al massimo 200"},
        {kBeam + R"(, "combinazioni": [{"tipo": "SLV"}]})", "chiave \"combinazioni[1].tipo\": ammessi \"SLU\""},
        {kBeam + R"(, "combinazioni": [{"tipo": "SLU", "Nx": 1}]})",
         "chiave \"combinazioni[1].Nx\": chiave sconosciuta: forse \"N\"?"},
        {kBeam + R"(, "combinazioni": [{"tipo": "SLU", "nome": "A"}, {"tipo": "SLU", "nome": "A"}]})", "nome ripetuto"},
        {kBeam + R"(, "Med_y": 1, "combinazioni": []})",
         "chiave \"combinazioni\": non si usa insieme alle azioni singole (\"Med_y\")"},
        {R"({"Base": 300, "Altezza": 500, "Copriferro_Inf": 40, "Copriferro_Sup": 40, "ClasseCls": "C26/31"})",
         "chiave \"ClasseCls\": classe di calcestruzzo sconosciuta"},
        {kBeam + R"(, "cot_theta": 3})", "chiave \"cot_theta\": ammesso tra 1 e 2,5"},
        {kBeam + R"(, "TipoSezione": "Solaio"})", "ammessi \"Trave\", \"Pilastro\", \"Soletta\""},
        {kBeam + R"(, "dmax_aggregato": 0})", "chiave \"dmax_aggregato\": dimensione massima dell'aggregato"},
        {kBeam + R"(, "tolleranza_copriferro": -1})", "chiave \"tolleranza_copriferro\": tolleranza di posa"},
        {kBeam + R"(, "tetaBielle": 60})", "chiave \"tetaBielle\": θ ammesso tra 21,8° e 45°"},
        {kBeam + R"(, "ambiente": 2, "CondizioniAmbientali": 2})", "chiave \"ambiente\": tipo errato"},
        {kBeam + R"(, "ambiente": "aggressivo", "CondizioniAmbientali": 3})", "contraddice \"ambiente\""},
        {kBeam + R"(, "contorno": [[0, 0], [1, 0], [0, 1]]})", "chiave \"Base\": non si usa con la forma \"poligono\""},
        {kBeam + R"(, "fori": []})", "chiave \"fori\": vale solo con la forma \"poligono\""},
        {R"({"forma": "poligono", "contorno": [[0, 0], [300, 0], [300, 500], [0, 500]], "ClasseCls": "C25/30",
            "ClasseAcciaio": "B450C"})",
         "chiave \"barre\": valore mancante"},
        {R"({"forma": "poligono", "contorno": [[0, 0], [300, 0], [0, 500], [300, 500]], "ClasseCls": "C25/30"})",
         "chiave \"contorno\":"},
        {R"({"Base": 300, "Altezza": 500, "Copriferro_Inf": 40, "Copriferro_Sup": 470})",
         "chiave \"Copriferro_Sup\": i due copriferri superano"},
        {kBeam + R"(, "copriferro": 30})", "chiave \"Copriferro_Inf\": faccia inferiore data due volte"},
        {R"({"Base": 300, "Altezza": 500, "ClasseCls": "C25/30", "ClasseAcciaio": "B450C",
            "copriferro": {"inferiore": 30, "superiore": 30, "sinistro": 30}})",
         "chiave \"copriferro.destro\": manca la faccia \"destro\""},
        {R"({"Base": 300, "Altezza": 500, "ClasseCls": "C25/30", "copriferro": {"inferiore": 30, "sopra": 30}})",
         "chiave \"copriferro.sopra\": chiave sconosciuta"},
        {R"({"Base": 800, "BaseInf": 300, "SpessoreT": 150, "Altezza": 600, "copriferro": 30,
            "ClasseCls": "C25/30", "ClasseAcciaio": "B450C", "larghezza_armatura_ala": 900})",
         "chiave \"larghezza_armatura_ala\": ammessa tra la larghezza dell'anima (BaseInf 300 mm)"},
        {kBeam + R"(, "sismica": 1})", "chiave \"sismica\": tipo errato: atteso un oggetto {...}"},
        {kBeam + R"(, "sismica": {"elemento": "trave"}})", "chiave \"sismica.classe_duttilita\": valore mancante"},
        {kBeam + R"(, "sismica": {"classe_duttilita": "C", "elemento": "trave"}})", "ammesse \"A\" o \"B\""},
        {kBeam + R"(, "sismica": {"classe_duttilita": "A", "elemento": "trave", "q0": 3}})",
         "chiave \"sismica.T1\": indicare q0, T1 e Tc insieme"},
        {kBeam + R"(, "sismica": {"classe_duttilita": "A", "elemento": "pilastro", "luce_netta": 3000}})",
         "chiave \"sismica.luce_netta\": non si applica a questo elemento: indicare \"altezza_netta\""},
        {kBeam + R"(, "sismica": {"classe_duttilita": "B", "elemento": "trave", "mu_phi": 0,5}})", "virgola decimale"},
        {kBeam + R"(, "sismica": {"classe_duttilita": "B", "elemento": "trave", "T1": 0}})",
         "chiave \"sismica.T1\": periodo proprio ammesso tra 0,001 e 10 s"},
        {kBeam + R"(, "sismica": {"classe_duttilita": "B", "elemento": "trave", "zona": true}})",
         "chiave \"sismica.zona\": chiave sconosciuta"},
        {kBeam + R"(, "stringaAs_circ": "8f16"})", "chiave \"stringaAs_circ\": vale solo con le forme"},
        {kBeam + R"(, "rm": 2})", "chiave \"rm\": rapporto tra i momenti d'estremità"},
        {R"({"forma": "anulare", "diametro": 400, "diametro_interno": 400})", "chiave \"diametro_interno\": deve"},
        {R"({"forma": "circolare", "diametro": 400, "stringaAs_circ": "8f16"})", "chiave \"copriferro\": valore manc"},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(k.text);
        EXPECT_NE(error_of(k.text).find(k.message), std::string::npos) << error_of(k.text);
    }
}

// With a source, every message starts with the file and the line of its key.
TEST(VerifyInput, MessagesCarryFileAndLine) {
    const std::string text = kBeam + ",\n  \"combinazioni\": [\n    {\"tipo\": \"SLU\"},\n    {\"tpo\": 1}\n  ]\n}";
    EXPECT_EQ(error_of(text, {"sezione.json", 10}).rfind("sezione.json:15: chiave \"combinazioni[2].tpo\"", 0), 0u)
        << error_of(text, {"sezione.json", 10});
    // The same parts travel apart, for hosts that point at the field.
    try {
        read_verification_input(text, {"sezione.json", 10});
        ADD_FAILURE() << "no error";
    } catch (const InputError& e) {
        EXPECT_EQ(e.key(), "combinazioni[2].tpo");
        EXPECT_EQ(e.line(), 15);
        EXPECT_EQ(e.source(), "sezione.json");
    }
    EXPECT_EQ(error_of("{\"Base\": 300,\n \"Base\": 1}", {"a.json", 1})
                  .rfind("a.json:2: chiave \"Base\": chiave ripetuta", 0),
              0u);
    EXPECT_EQ(error_of("{\"Base\": 300,\n \"Altezza\": 5,,\n}", {"a.json", 1}).rfind("a.json:2: JSON non valido", 0),
              0u);
    EXPECT_EQ(error_of("{\n\"Base\": 300,5}", {"a.json", 1}).rfind("a.json:2: numero scritto con la virgola", 0), 0u);
}

TEST(VerifyInput, UnitPlausibilityWarns) {
    const VerificationInput in = read_verification_input(
        R"({"Base": 30, "Altezza": 50, "Copriferro_Inf": 4, "Copriferro_Sup": 4, "ClasseCls": "C25/30",
            "ClasseAcciaio": "B450C", "stringaAs_inf": "2f8", "combinazioni": [{"tipo": "SLU", "My": 20000}],
            "DeltaN": 1})");
    std::string all;
    for (const std::string& w : in.warnings) all += w + "\n";
    EXPECT_NE(all.find("Base = 30 mm"), std::string::npos) << all;
    EXPECT_NE(all.find("Altezza = 50 mm"), std::string::npos) << all;
    EXPECT_NE(all.find("momento oltre 10000 kNm"), std::string::npos) << all;
    EXPECT_NE(all.find("\"DeltaN\" ignorato"), std::string::npos) << all;
}

// The echoed input, read back, gives the same result: with the component's
// covers, and with clear covers on a T whose top bars spread over the flange.
TEST(VerifyInput, EchoedInputReadsBackToTheSameResult) {
    const std::string combinations = R"("combinazioni": [{"tipo": "SLU", "My": 100, "Vz": 80},
        {"tipo": "SLE frequente", "N": 50, "My": 70}])";
    for (const VerificationInput& in :
         {read(R"(, "fcd": 14.17, "ambiente": "aggressivo", "kt": 0.5, "sismica": {"classe_duttilita": "A",
                "elemento": "pilastro", "zona_critica": false, "altezza_netta": 3000, "mu_phi": 8}, )" +
               combinations),
          read_verification_input(R"({"Base": 800, "BaseInf": 300, "SpessoreT": 150, "Altezza": 600,
            "ClasseCls": "C25/30", "ClasseAcciaio": "B450C",
            "copriferro": {"inferiore": 30, "superiore": 25, "sinistro": 35, "destro": 35},
            "larghezza_armatura_ala": 700, "stringaAs_inf": "4f20", "stringaAs_sup": "6f12", )" +
                                  combinations + "}"),
          read_verification_input(R"({"forma": "anulare", "diametro": 600, "diametro_interno": 300, "copriferro": 40,
            "stringaAs_circ": "12f16", "ClasseCls": "C25/30", "ClasseAcciaio": "B450C", "l0_y": 6000, "rm": 0.5,
            "phi_ef": 1, "fStaffe": 8, "nBracciaStaffe": 2, "passoStaffe": 150,
            "combinazioni": [{"tipo": "SLU", "N": 1500, "My": 100, "Vz": 80}]})")}) {
        const VerificationResult first = verify(in);
        const std::string json = to_json(first);
        const std::size_t at = json.find("\"input\": ");
        ASSERT_NE(at, std::string::npos);
        const VerificationResult again = verify(read_verification_input(json.substr(at + 9, json.rfind('}') - at - 9)));
        ASSERT_EQ(first.checks.size(), again.checks.size());
        for (std::size_t i = 0; i < first.checks.size(); ++i)
            EXPECT_NEAR(first.checks[i].ratio, again.checks[i].ratio, 1e-12);
    }
}

// Where the layers' bars lie, by hand (stirrups ø8). A clear cover c puts a
// bar's centre at c + 8 + φ/2 from its face: 3f20 at 30 + 8 + 10 = 48 mm,
// spread over 48…252 mm of a 300 mm width; the component's covers put every
// centre at the cover (40), the clear cover then 40 − 10 − 8 = 22 mm. A T
// 800/300 × 600 holds its top bars over the web (250…550 mm): 4f16 at
// 30 + 8 + 8 = 46 mm from the faces, 296…504 mm, or with
// larghezza_armatura_ala 700 over 50…750 mm of the flange: 96…704 mm. Side
// layers (sides at 25 mm clear): 2f14 at y = 25 + 8 + 7 = 40 mm, between the
// corner bars at z 48 and 500 − 44 = 456 mm, a third of the way each: 184 and
// 320 mm. 2f20+1f16 puts the ø16 in the middle, 2 mm lower than the ø20.
TEST(VerifyInput, LayersLieAtTheirCovers) {
    const std::string rect = R"({"Base": 300, "Altezza": 500, "stringaAs_inf": "3f20", "stringaAs_sup": "2f12", )";
    const std::string tee = R"({"Base": 800, "BaseInf": 300, "SpessoreT": 150, "Altezza": 600, "copriferro": 30,
        "stringaAs_inf": "3f20", "stringaAs_sup": "4f16", )";
    const std::string sides = rect + R"("copriferro": {"inferiore": 30, "superiore": 30, "sinistro": 25, "destro": 25},
        "stringaAs_supY": "2f14")";
    struct Case {
        std::string text, layer;
        std::size_t first, last;  // the layer's bars compared (in placement order)
        double y0, y1, z0, z1;    // mm, centres of those two bars
        double clear, centre;     // mm, the layer's record
    };
    const std::vector<Case> cases = {
        {rect + R"("copriferro": 30)", "As_inf", 0, 2, 48, 252, 48, 48, 30, 48},
        {rect + R"("copriferro": 30)", "As_sup", 0, 1, 44, 256, 456, 456, 30, 44},
        {rect + R"("Copriferro_Inf": 40, "Copriferro_Sup": 40)", "As_inf", 0, 2, 40, 260, 40, 40, 22, 40},
        {tee + R"("ambiente": "ordinario")", "As_sup", 0, 3, 296, 504, 554, 554, 30, 46},
        {tee + R"("larghezza_armatura_ala": 700)", "As_sup", 0, 3, 96, 704, 554, 554, 30, 46},
        {sides, "As_supY", 0, 1, 40, 40, 184, 320, 25, 40},
        {sides, "As_inf", 0, 2, 43, 257, 48, 48, 30, 48},
        {R"({"Base": 300, "Altezza": 500, "stringaAs_inf": "2f20+1f16", "copriferro": 30)", "As_inf", 0, 1, 48, 150, 48,
         46, 30, 48},
    };
    for (const Case& k : cases) {
        const std::string text = k.text + R"(, "ClasseCls": "C25/30", "ClasseAcciaio": "B450C",
            "fStaffe": 8, "nBracciaStaffe": 2, "passoStaffe": 200,
            "combinazioni": [{"tipo": "SLU", "My": 50}]})";
        SCOPED_TRACE(text);
        const VerificationResult r = verify(read_verification_input(text));
        std::vector<PlacedBar> bars;
        for (const PlacedBar& b : r.bars)
            if (b.layer == k.layer) bars.push_back(b);
        ASSERT_GT(bars.size(), k.last);
        EXPECT_NEAR(bars[k.first].y, k.y0, 1e-9);
        EXPECT_NEAR(bars[k.last].y, k.y1, 1e-9);
        EXPECT_NEAR(bars[k.first].z, k.z0, 1e-9);
        EXPECT_NEAR(bars[k.last].z, k.z1, 1e-9);
        for (const LayerRecord& l : r.layers) {
            if (l.name != k.layer) continue;
            EXPECT_NEAR(l.clear_cover, k.clear, 1e-9);
            EXPECT_NEAR(l.cover, k.centre, 1e-9);
        }
    }
}

}  // namespace
