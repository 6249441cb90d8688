// Every member of a building in one run: the example building computed by
// hand at its governing points, the same table in another program's
// conventions, and the errors that stay with their own member.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>

#include "ferrolit/ferrolit.h"
#include "ferrolit/members.hpp"

namespace {

using namespace ferrolit;

std::string read_file(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

const std::string kDir = FERROLIT_EXAMPLES "/building";
const std::string kModel = read_file(kDir + "/model.json");
const std::string kForces = read_file(kDir + "/forces.csv");

const EnvelopeCheck& check_of(const MemberResult& m, const std::string& id) {
    for (const EnvelopeCheck& e : m.checks)
        if (e.check.id == id) return e;
    throw std::runtime_error("no check " + id);
}

MembersResult example(int jobs) {
    MembersOptions options;
    options.base_directory = kDir;
    options.jobs = jobs;
    return verify_members(kModel, options);
}

// T1 (300×500, d = 440 mm, 3f20 = 942 mm², C28/35 fcd = 15,87 MPa, B450C fyd = 391,3 MPa, ø8/200 two legs):
//   M_Rd by the stress block, top bars ignored: x = As·fyd/(0,8·b·fcd) = 96,8 mm,
//     M_Rd = As·fyd·(d − 0,4·x) = 368,6·0,4013 = 147,9 kNm; at midspan (x = 2,5 m) SLU1 My = 100 kNm.
//   V_Rsd = 0,9·d·Asw/s·fyd·cot θ = 0,9·440·0,503·391,3·2,5 = 194,7 kN; at the supports SLU1 Vz = 80 kN,
//     equal at x = 0 and x = 5 m: the first station governs.
// T2 carries 0,9 of T1's forces on the same section: every ratio of a resistance is 0,9 of T1's.
TEST(Members, ExampleBuildingByHandAtItsGoverningPoints) {
    for (const int jobs : {1, 2}) {
        const MembersResult r = example(jobs);
        ASSERT_EQ(r.members.size(), 3u);
        for (const MemberResult& m : r.members) ASSERT_TRUE(m.error.empty()) << m.id << ": " << m.error;
        EXPECT_EQ(r.checked, 54u);
        const MemberResult &t1 = r.members[0], &t2 = r.members[1];
        const struct {
            const char* id;
            double x;
            const char* combination;
            double demand, capacity, tolerance;  // capacity by hand, relative tolerance
        } rows[] = {
            {"bending", 2.5, "SLU1", 100, 147.9, 0.01},
            {"shear_z", 0, "SLU1", 80, 194.7, 0.001},
            {"crack_width", 2.5, "QP", -1, -1, 0},
        };
        for (const auto& row : rows) {
            const EnvelopeCheck& e = check_of(t1, row.id);
            EXPECT_EQ(e.x, row.x) << row.id;
            EXPECT_EQ(e.check.combination, row.combination) << row.id;
            if (row.capacity > 0) {
                EXPECT_NEAR(*e.check.demand, row.demand, 1e-9) << row.id;
                EXPECT_NEAR(*e.check.capacity, row.capacity, row.tolerance * row.capacity) << row.id;
            }
            if (std::string(row.id) != "crack_width") {
                EXPECT_NEAR(check_of(t2, row.id).check.ratio, 0.9 * e.check.ratio, 1e-9) << row.id;
            }
        }
        // Governing: the largest ratio of the envelope, a detailing rule has no station.
        double worst = 0;
        for (const EnvelopeCheck& e : t1.checks) worst = std::max(worst, e.check.ratio);
        EXPECT_EQ(t1.checks[*t1.governing].check.ratio, worst);
        EXPECT_EQ(t1.max_ratio, worst);
        EXPECT_FALSE(check_of(t1, "cover").x.has_value());
        EXPECT_EQ(t1.stations.size(), 3u);
    }
}

// The table's rows of a member, as numbers: station, combination, N, Vy, Vz, T, My, Mz.
struct Row {
    double x;
    std::string combination;
    double v[6];
};
std::vector<Row> rows_of(const std::string& member) {
    std::vector<Row> rows;
    std::istringstream in(kForces);
    std::string line;
    std::getline(in, line);
    while (std::getline(in, line)) {
        std::replace(line.begin(), line.end(), ',', '.');
        std::replace(line.begin(), line.end(), ';', ' ');
        std::istringstream cells(line);
        std::string id;
        Row r{};
        cells >> id >> r.x >> r.combination;
        for (double& v : r.v) cells >> v;
        if (id == member) rows.push_back(r);
    }
    return rows;
}

// The column's envelope is the worst of verify() on its section at each station alone.
TEST(Members, EnvelopeIsTheWorstOfEachStationVerifiedAlone) {
    const MembersResult r = example(2);
    const MemberResult& p1 = r.members[2];
    const nlohmann::json model = nlohmann::json::parse(kModel);
    std::map<std::string, double> worst;
    std::map<std::string, std::pair<double, std::string>> where;
    for (const double x : {0.0, 1.5, 3.0}) {
        nlohmann::json section = model["sezioni"]["P40x40"];
        section["TipoSezione"] = "Pilastro";
        for (const char* key : {"l0_y", "l0_z"}) section[key] = model["membrature"][2][key];
        for (const Row& row : rows_of("P1")) {
            if (row.x != x) continue;
            section["combinazioni"].push_back({{"nome", row.combination},
                                               {"tipo", model["combinazioni"][row.combination]},
                                               {"N", row.v[0]},
                                               {"Vy", row.v[1]},
                                               {"Vz", row.v[2]},
                                               {"T", row.v[3]},
                                               {"My", row.v[4]},
                                               {"Mz", row.v[5]}});
        }
        for (const CheckResult& c : verify(read_verification_input(section.dump())).checks)
            if (!worst.count(c.id) || c.ratio > worst[c.id])
                worst[c.id] = c.ratio, where[c.id] = {x, c.combination.value_or("")};
    }
    ASSERT_EQ(p1.checks.size(), worst.size());
    for (const EnvelopeCheck& e : p1.checks) {
        EXPECT_NEAR(e.check.ratio, worst[e.check.id], 1e-12) << e.check.id;
        if (e.x) {
            EXPECT_EQ(std::make_pair(*e.x, *e.check.combination), where[e.check.id]) << e.check.id;
        }
    }
}

// Another program's export: its headers, N positive in tension, N, Nm and mm, no column of kinds.
TEST(Members, ForeignTableReadThroughConventions) {
    std::ostringstream csv;
    csv << "Elem,Station,OutputCase,P,V2,V3,T,M2,M3\n";
    for (const char* member : {"T1", "T2", "P1"})
        for (const Row& r : rows_of(member))
            csv << member << "," << r.x * 1000 << "," << r.combination << "," << -r.v[0] * 1000 << "," << r.v[1] * 1000
                << "," << r.v[2] * 1000 << "," << r.v[3] * 1000 << "," << r.v[4] * 1000 << "," << r.v[5] * 1000 << "\n";
    nlohmann::json model = nlohmann::json::parse(kModel);
    model["convenzioni"] = nlohmann::json::parse(R"({
        "colonne": {"membratura": "Elem", "ascissa": "Station", "combinazione": "OutputCase",
                    "N": "P", "Vy": "V2", "Vz": "V3", "My": "M2", "Mz": "M3"},
        "segni": {"N": -1}, "unita": {"forze": "N", "momenti": "Nm", "ascissa": "mm"}})");
    const MembersResult theirs = verify_members(model.dump(), csv.str(), {});
    const MembersResult ours = example(1);
    ASSERT_EQ(theirs.members.size(), ours.members.size());
    for (std::size_t i = 0; i < ours.members.size(); ++i) {
        ASSERT_TRUE(theirs.members[i].error.empty()) << theirs.members[i].error;
        ASSERT_EQ(theirs.members[i].checks.size(), ours.members[i].checks.size());
        for (std::size_t k = 0; k < ours.members[i].checks.size(); ++k) {
            const EnvelopeCheck &a = theirs.members[i].checks[k], &b = ours.members[i].checks[k];
            EXPECT_NEAR(a.check.ratio, b.check.ratio, 1e-9) << b.check.id;
            EXPECT_EQ(a.x.has_value(), b.x.has_value());
            if (a.x) {
                EXPECT_NEAR(*a.x, *b.x, 1e-9);
            }
            EXPECT_EQ(a.check.combination, b.check.combination);
        }
    }
}

// Each member's trouble is its own: the others are verified, and the C entry point still returns 0.
TEST(Members, ErrorsStayWithTheirMember) {
    const std::string model = R"({
      "sezioni": {"S": {"Base": 300, "Altezza": 500, "Copriferro_Inf": 60, "Copriferro_Sup": 60,
                        "stringaAs_inf": "3f20", "stringaAs_sup": "2f16", "ClasseCls": "C28/35", "ClasseAcciaio": "B450C"}},
      "membrature": [{"id": "OK", "sezione": "S"}, {"id": "NOSEC", "sezione": "Z"}, {"id": "NOROWS", "sezione": "S"},
                     {"id": "BADNUM", "sezione": "S"}, {"id": "NOKIND", "sezione": "S"},
                     {"id": "APART", "sezione": "S"}, {"id": "TWICE", "sezione": "S"},
                     {"id": "BADKEY", "sezione": "S", "lunghezza": 3}, {"id": "BADTYPE", "sezione": "S", "tipo": "arco"}],
      "combinazioni": {"C1": "SLU"},
      "sollecitazioni": [
        {"membratura": "OK", "ascissa": 0, "combinazione": "C1", "My": 50},
        {"membratura": "NOSEC", "ascissa": 0, "combinazione": "C1"},
        {"membratura": "BADNUM", "ascissa": 0, "combinazione": "C1", "My": "cinque"},
        {"membratura": "NOKIND", "ascissa": 0, "combinazione": "C9"},
        {"membratura": "APART", "ascissa": 0, "combinazione": "C1"},
        {"membratura": "GHOST", "ascissa": 0, "combinazione": "C1"},
        {"membratura": "APART", "ascissa": 1, "combinazione": "C1"},
        {"membratura": "TWICE", "ascissa": 1, "combinazione": "C1"},
        {"membratura": "TWICE", "ascissa": 1.0000001, "combinazione": "C1"},
        {"membratura": "BADKEY", "ascissa": 0, "combinazione": "C1"},
        {"membratura": "BADTYPE", "ascissa": 0, "combinazione": "C1"}]})";
    const std::pair<const char*, const char*> expected[] = {
        {"OK", ""},
        {"NOSEC", "sezione \"Z\" assente"},
        {"NOROWS", "nessuna riga"},
        {"BADNUM", "riga 3: My \"cinque\" non è un numero"},
        {"NOKIND", "combinazione \"C9\" senza tipo"},
        {"APART", "non consecutive"},
        {"TWICE", "ripetuta all'ascissa 1 m"},
        {"BADKEY", "chiave sconosciuta \"lunghezza\""},
        {"BADTYPE", "tipo \"arco\""},
    };
    char* json = nullptr;
    ASSERT_EQ(ferrolit_verify_members_json(model.c_str(), nullptr, &json), 0);
    const nlohmann::json r = nlohmann::json::parse(json);
    ferrolit_json_free(json);
    ASSERT_EQ(r["members"].size(), std::size(expected));
    EXPECT_FALSE(r["verified"].get<bool>());
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        const nlohmann::json& m = r["members"][i];
        EXPECT_EQ(m["id"], expected[i].first);
        if (*expected[i].second == '\0')
            EXPECT_TRUE(m["verified"].get<bool>() && !m.contains("error")) << m.dump();
        else
            EXPECT_NE(m.value("error", "").find(expected[i].second), std::string::npos) << m.dump();
    }
    EXPECT_NE(r["warnings"][0].get<std::string>().find("GHOST"), std::string::npos);
}

// A model or a table that cannot be read at all is an input error naming the key or the line.
TEST(Members, UnusableModelOrTableIsAnInputError) {
    const std::string ok =
        R"({"sezioni": {"S": {"Base": 300, "Altezza": 500}}, "membrature": [{"id": "A", "sezione": "S"}])";
    const struct {
        std::string model, forces, key, problem;
    } cases[] = {
        {"[1]", "", "", "oggetto"},
        {ok + "}", "", "sollecitazioni", "manca"},
        {ok + R"(, "convenzioni": {"segni": {"N": 2}}})", "x", "convenzioni.segni.N", "1 e -1"},
        {ok + R"(, "convenzioni": {"unita": {"forze": "kgf"}}})", "x", "convenzioni.unita.forze", "\"kN\""},
        {ok + "}", "membratura;combinazione\nA;C1\n", "", "manca la colonna \"ascissa\""},
    };
    for (const auto& c : cases) {
        try {
            c.forces.empty() ? verify_members(c.model) : verify_members(c.model, c.forces, {});
            ADD_FAILURE() << c.model;
        } catch (const InputError& e) {
            EXPECT_EQ(e.key(), c.key) << e.what();
            EXPECT_NE(e.problem().find(c.problem), std::string::npos) << e.what();
        }
    }
}

}  // namespace
