#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <set>
#include <sstream>
#include <stdexcept>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include <ferrolit/ferrolit.h>
#include <ferrolit/ferrolit.hpp>

#include "support.hpp"

#include "capi/status.hpp"
#include "capi/units.hpp"

namespace {

// ---- small helpers over the C interface ----

struct Handle {
    ferrolit_object* p = nullptr;
    Handle() = default;
    explicit Handle(const char* cls) { EXPECT_EQ(ferrolit_create(cls, &p), FERROLIT_OK) << cls; }
    explicit Handle(ferrolit_object* owned) : p(owned) {}
    Handle(const Handle&) = delete;
    Handle& operator=(const Handle&) = delete;
    ~Handle() { ferrolit_release(p); }
};

struct Value {
    ferrolit_value v = FERROLIT_VALUE_EMPTY;
    Value() = default;
    Value(ferrolit_value x) : v(x) {}  // NOLINT: implicit for argument lists
    Value(const Value&) = delete;
    Value(Value&& o) noexcept : v(o.v) { o.v = ferrolit_value{}; }
    ~Value() { ferrolit_value_clear(&v); }
};

ferrolit_status call(ferrolit_object* o, const char* m, std::vector<ferrolit_value> args = {},
                     Value* result = nullptr) {
    return ferrolit_call(o, m, args.data(), static_cast<int32_t>(args.size()), result ? &result->v : nullptr);
}

Value get(ferrolit_object* o, const char* m) {
    Value r;
    EXPECT_EQ(ferrolit_get(o, m, nullptr, 0, &r.v), FERROLIT_OK) << m << ": " << ferrolit_last_error();
    return r;
}

ferrolit_status let(ferrolit_object* o, const char* m, ferrolit_value v) { return ferrolit_let(o, m, &v); }

// The README's beam: 300 x 500, covers 40.
void create_beam(ferrolit_object* registry) {
    std::vector<ferrolit_value> a = {ferrolit_string("Trave"), ferrolit_string("T1"), ferrolit_single(300),
                                     ferrolit_single(500),     ferrolit_single(40),   ferrolit_single(40),
                                     ferrolit_single(100),     ferrolit_single(0),    ferrolit_single(0),
                                     ferrolit_single(0),       ferrolit_single(80),   ferrolit_int16(2),
                                     ferrolit_int16(12),       ferrolit_int16(20)};
    ASSERT_EQ(call(registry, "CreaSezRett", a), FERROLIT_OK) << ferrolit_last_error();
}

// C25/30 concrete and B450C steel, with bars 3f16 below and 2f12 above.
void give_materials_and_bars(ferrolit_object* registry, ferrolit_object* section) {
    const ferrolit::test::MaterialSet& m = ferrolit::test::kC25B450C;
    std::vector<ferrolit_value> a = {
        ferrolit_string(m.ClasseCls), ferrolit_single(m.Rck),    ferrolit_single(m.fck),
        ferrolit_single(m.gammaC),    ferrolit_single(m.alfaCC), ferrolit_single(m.fcm),
        ferrolit_single(m.fctm),      ferrolit_single(m.fctk05), ferrolit_single(m.fctk95),
        ferrolit_single(m.Ec),        ferrolit_single(m.eps_c2), ferrolit_single(m.eps_cu),
        ferrolit_single(m.fcd),       ferrolit_single(m.fctd),   ferrolit_string(m.ClasseAcciaio),
        ferrolit_single(m.fyk),       ferrolit_single(m.gammaS), ferrolit_single(m.Es),
        ferrolit_single(m.fyd),       ferrolit_single(m.eps_yd), ferrolit_single(m.eps_ud)};
    ASSERT_EQ(call(registry, "CreaMateriale_Sezione", a), FERROLIT_OK) << ferrolit_last_error();
    ASSERT_EQ(let(section, "As_inf", ferrolit_single(603)), FERROLIT_OK);
    ASSERT_EQ(let(section, "stringaAs_inf", ferrolit_string("3f16")), FERROLIT_OK);
    ASSERT_EQ(let(section, "As_sup", ferrolit_single(226)), FERROLIT_OK);
    ASSERT_EQ(let(section, "stringaAs_sup", ferrolit_string("2f12")), FERROLIT_OK);
}

std::vector<std::string> member_names(const char* cls) {
    std::vector<std::string> names;
    for (int32_t i = 0; i < ferrolit_member_count(cls); ++i) names.emplace_back(ferrolit_member_at(cls, i)->name);
    return names;
}

// ---- type information ----

// Names in a text, one word each.
std::vector<std::string> words(const std::string& text) {
    std::vector<std::string> out;
    std::istringstream in(text);
    for (std::string w; in >> w;) out.push_back(w);
    return out;
}

const std::vector<std::string> kRegistryOrder = words(
    "Sezioni strDM SezRet SezT CreaSezRett CreaSezT CreaMateriale_Sezione ImpostaFerriNorm aumentaFerri "
    "SezioneCorrente EstraiFmin EstraiFmax EstraiAs ImpostaStaffeNorm EstraiFerriMin");

// The rectangle's members in interface order; the T adds BaseInf and
// SpessoreT after Base, renames the domain computation and ends with bX.
std::vector<std::string> section_order(bool tee) {
    return words(std::string("TipoSezione DescrSezione NFerriMinimo dFerriMinimo dFerriMassimo Base ") +
                 (tee ? "BaseInf SpessoreT " : "") +
                 "Altezza Copriferro_Inf Copriferro_Sup H_Utile As_sup As_inf As_supY As_infY stringaAs_sup "
                 "stringaAs_inf stringaAs_supY stringaAs_infY fStaffe nBracciaStaffe passoStaffe AlfaStaffe "
                 "tetaBielle Ned_x Med_y Med_Fes Taglio_z Med_z Taglio_y DeltaN DeltaX MrdY MrdZ ClasseCls "
                 "ClasseAcciaio Rck fck gammaC alfaCC fcm fctm fctk05 fctk95 Ec eps_c2 eps_cu fcd fctd fyk gammaS "
                 "Es eps_yd eps_ud fyd Ved NFerriMassimo Vrd_cls Vrsd Vrcd percMinAs percA1s percMaxAs percAs AsMin "
                 "AsMax AstaffeMin fStaffeMinNorm passoStaffeMinNorm passoStaffeMaxNorm Astaffe_ml Astaffa " +
                 (tee ? "CalcolaNMDominioSezT " : "CalcolaNMDominioSezRett ") +
                 "Ny_Dominio My_Dominio Nz_Dominio Mz_Dominio SigmaInfY SigmaSupY xnY SigmaInfZ SigmaSupZ xnZ "
                 "CalcolaWkFessure EPSsm DELTAsm CondizioniAmbientali kt k1 k2 k3 k4 Wk" +
                 (tee ? " bX" : ""));
}

TEST(TypeInfo, ClassesAndMembersInInterfaceOrder) {
    ASSERT_EQ(ferrolit_class_count(), 4);
    EXPECT_STREQ(ferrolit_class_name(0), "clsGenVerSez");
    EXPECT_STREQ(ferrolit_class_name(1), "clsSezRett");
    EXPECT_STREQ(ferrolit_class_name(2), "clsSezT");
    EXPECT_STREQ(ferrolit_class_name(3), "Collection");
    EXPECT_EQ(ferrolit_class_name(4), nullptr);
    EXPECT_EQ(member_names("clsGenVerSez"), kRegistryOrder);
    EXPECT_EQ(member_names("clsSezRett"), section_order(false));
    EXPECT_EQ(member_names("clsSezT"), section_order(true));
    EXPECT_EQ(member_names("Collection"), (std::vector<std::string>{"Count", "Item", "Add", "Remove"}));
    EXPECT_EQ(ferrolit_member_count("clsSezione"), -1);
    EXPECT_EQ(ferrolit_member_at("clsSezT", 999), nullptr);
    EXPECT_EQ(ferrolit_member_find("clsSezT", "bX"), 94);
    EXPECT_EQ(ferrolit_member_find("clsSezRett", "bX"), -1);
}

TEST(TypeInfo, EveryArgumentIsNamedAndTyped) {
    for (int32_t c = 0; c < ferrolit_class_count(); ++c) {
        const char* cls = ferrolit_class_name(c);
        for (int32_t i = 0; i < ferrolit_member_count(cls); ++i) {
            const ferrolit_member_info* m = ferrolit_member_at(cls, i);
            EXPECT_NE(m->kind, 0) << m->name;
            for (int32_t a = 0; a < m->arg_count; ++a) {
                ASSERT_NE(m->args[a].name, nullptr) << cls << "." << m->name << " argument " << a;
                EXPECT_GT(std::strlen(m->args[a].name), 0u);
                EXPECT_NE(m->args[a].type, FERROLIT_TYPE_EMPTY);
            }
        }
    }
}

struct Signature {
    const char* cls;
    const char* member;
    int32_t kind;
    int32_t result;
    std::vector<std::tuple<std::string, int32_t, bool>> args;
};

TEST(TypeInfo, SignaturesFollowTheMembers) {
    constexpr int32_t S = FERROLIT_TYPE_SINGLE, I16 = FERROLIT_TYPE_INT16, I32 = FERROLIT_TYPE_INT32,
                      B = FERROLIT_TYPE_BOOL, STR = FERROLIT_TYPE_STRING, OBJ = FERROLIT_TYPE_OBJECT,
                      ARR = FERROLIT_TYPE_SINGLE_ARRAY, NONE = FERROLIT_TYPE_EMPTY;
    constexpr int32_t RW = FERROLIT_KIND_GET | FERROLIT_KIND_LET, GET = FERROLIT_KIND_GET, M = FERROLIT_KIND_METHOD;
    const std::vector<Signature> cases = {
        {"clsGenVerSez", "Sezioni", RW, OBJ, {}},
        {"clsGenVerSez", "SezioneCorrente", RW, I16, {}},
        {"clsGenVerSez", "SezT", M, OBJ, {{"nSezione", I16, false}}},
        {"clsGenVerSez",
         "ImpostaFerriNorm",
         M,
         NONE,
         {{"PosFer", I32, false}, {"Procedi", B, true}, {"msg", STR, true}}},
        {"clsGenVerSez",
         "EstraiFerriMin",
         M,
         STR,
         {{"AreaFerri", S, false},
          {"Butile", S, false},
          {"minNfer", I16, false},
          {"minDfer", I16, false},
          {"maxDFer", I16, false},
          {"Procedi", B, true},
          {"msg", STR, true}}},
        {"clsGenVerSez", "EstraiAs", M, S, {{"strAs", STR, false}}},
        {"clsSezRett", "TipoSezione", RW, STR, {}},
        {"clsSezRett", "fStaffe", RW, S, {}},
        {"clsSezRett", "CondizioniAmbientali", RW, I16, {}},
        {"clsSezRett", "Ved", GET, S, {{"Dir", STR, false}}},
        {"clsSezRett", "NFerriMassimo", M, I16, {{"PosFer", I32, false}, {"dFer", I16, false}}},
        {"clsSezRett", "percAs", GET, S, {}},
        {"clsSezRett", "AsMin", M, S, {}},
        {"clsSezRett",
         "CalcolaNMDominioSezRett",
         GET,
         NONE,
         {{"Direz", STR, false}, {"Procedi", B, true}, {"msg", STR, true}}},
        {"clsSezT", "Mz_Dominio", GET, NONE, {{"Matr", ARR, true}}},
        {"clsSezT", "CalcolaWkFessure", GET, NONE, {{"Procedi", B, true}, {"msg_err", STR, true}}},
        {"clsSezT", "bX", M, S, {{"Bordo", I32, false}, {"X", S, false}}},
        {"Collection", "Item", GET, OBJ, {{"Index", I32, false}}},
    };
    for (const Signature& c : cases) {
        SCOPED_TRACE(std::string(c.cls) + "." + c.member);
        const ferrolit_member_info* m = ferrolit_member_at(c.cls, ferrolit_member_find(c.cls, c.member));
        ASSERT_NE(m, nullptr);
        EXPECT_EQ(m->kind, c.kind);
        EXPECT_EQ(m->result_type, c.result);
        ASSERT_EQ(m->arg_count, static_cast<int32_t>(c.args.size()));
        for (std::size_t a = 0; a < c.args.size(); ++a) {
            EXPECT_EQ(m->args[a].name, std::get<0>(c.args[a]));
            EXPECT_EQ(m->args[a].type, std::get<1>(c.args[a]));
            EXPECT_EQ(m->args[a].is_output != 0, std::get<2>(c.args[a]));
        }
    }
    const ferrolit_member_info* creation = ferrolit_member_at("clsGenVerSez", 5);  // CreaSezT
    ASSERT_EQ(creation->arg_count, 16);
    EXPECT_STREQ(creation->args[3].name, "BaseInf");
    EXPECT_STREQ(creation->args[5].name, "SpessoreAla");
    EXPECT_EQ(creation->args[15].type, FERROLIT_TYPE_INT16);
    EXPECT_EQ(ferrolit_member_at("clsGenVerSez", 6)->arg_count, 21);  // CreaMateriale_Sezione
    EXPECT_STREQ(ferrolit_member_at("clsSezT", 94)->args[0].type_name, "TipoBordo");
    EXPECT_STREQ(ferrolit_member_at("clsGenVerSez", 3)->result_type_name, "clsSezT");
}

TEST(TypeInfo, Enumerations) {
    ASSERT_EQ(ferrolit_enum_count(), 2);
    EXPECT_STREQ(ferrolit_enum_name(1), "PosizioneFerri");
    int32_t value = 0;
    EXPECT_STREQ(ferrolit_enum_value(1, 3, &value), "As_supY");
    EXPECT_EQ(value, 4);
    EXPECT_STREQ(ferrolit_enum_value(0, 2, &value), "Sinistro");
    EXPECT_EQ(value, 3);
    EXPECT_EQ(ferrolit_enum_value(0, 4, &value), nullptr);
}

// Every number the interface names has its unit, and every unit row names a
// member or an argument.
TEST(TypeInfo, EveryNumberHasItsUnit) {
    std::set<std::string> numbers;
    for (int32_t c = 0; c < ferrolit_class_count(); ++c) {
        const char* cls = ferrolit_class_name(c);
        for (int32_t m = 0; m < ferrolit_member_count(cls); ++m) {
            const ferrolit_member_info& info = *ferrolit_member_at(cls, m);
            // The domain arrays come out through their argument Matr, in the member's unit.
            const bool array_out = info.arg_count == 1 && info.args[0].type == FERROLIT_TYPE_SINGLE_ARRAY;
            if (info.result_type == FERROLIT_TYPE_SINGLE || info.result_type == FERROLIT_TYPE_INT16 || array_out)
                numbers.insert(info.name);
            for (int32_t a = 0; a < info.arg_count; ++a) {
                const int32_t type = info.args[a].type;
                if (type == FERROLIT_TYPE_SINGLE || type == FERROLIT_TYPE_INT16) numbers.insert(info.args[a].name);
                EXPECT_NE(ferrolit_unit(info.args[a].name), nullptr) << info.args[a].name;
            }
            EXPECT_NE(ferrolit_unit(info.name), nullptr) << info.name;
        }
    }
    for (const std::string& name : numbers)
        EXPECT_NE(ferrolit::capi::unit_in_table(name), nullptr) << name << " has no unit";
    for (const auto& row : ferrolit::capi::kUnits)
        EXPECT_EQ(numbers.count(std::string(row.name)), 1U) << row.name << " is no number of the interface";
    EXPECT_STREQ(ferrolit_unit("Base"), "mm");
    EXPECT_STREQ(ferrolit_unit("Astaffe_ml"), "mm²/m");
    EXPECT_STREQ(ferrolit_unit("percAs"), "");
    EXPECT_STREQ(ferrolit_unit("DescrSezione"), "");
    EXPECT_EQ(ferrolit_unit("Larghezza"), nullptr);
    EXPECT_EQ(ferrolit_unit(nullptr), nullptr);
}

// ---- late-bound access ----

TEST(LateBinding, PropertiesRoundTripEachValueType) {
    Handle s("clsSezT");
    ASSERT_EQ(let(s.p, "Base", ferrolit_single(812.5f)), FERROLIT_OK);
    EXPECT_EQ(get(s.p, "Base").v.u.single, 812.5f);
    ASSERT_EQ(let(s.p, "BaseInf", ferrolit_int32(300)), FERROLIT_OK);  // whole numbers become single
    EXPECT_EQ(get(s.p, "BaseInf").v.u.single, 300.0f);
    ASSERT_EQ(let(s.p, "NFerriMinimo", ferrolit_int16(-7)), FERROLIT_OK);
    Value n = get(s.p, "NFerriMinimo");
    EXPECT_EQ(n.v.type, FERROLIT_TYPE_INT16);
    EXPECT_EQ(n.v.u.int16, -7);
    ASSERT_EQ(let(s.p, "nBracciaStaffe", ferrolit_single(2.5f)), FERROLIT_OK);  // halves to even
    EXPECT_EQ(get(s.p, "nBracciaStaffe").v.u.int16, 2);
    ASSERT_EQ(let(s.p, "DescrSezione", ferrolit_string("Trave ø 16 — piano 2")), FERROLIT_OK);
    Value d = get(s.p, "DescrSezione");
    EXPECT_EQ(d.v.type, FERROLIT_TYPE_STRING);
    EXPECT_EQ(d.v.owned, 1);
    EXPECT_STREQ(d.v.u.string, "Trave ø 16 — piano 2");
    ASSERT_EQ(let(s.p, "DescrSezione", ferrolit_string(nullptr)), FERROLIT_OK);
    EXPECT_STREQ(get(s.p, "DescrSezione").v.u.string, "");
    // Writers keep their own rules behind the interface.
    ASSERT_EQ(let(s.p, "dFerriMassimo", ferrolit_int16(32)), FERROLIT_OK);
    EXPECT_EQ(get(s.p, "dFerriMassimo").v.u.int16, 30);
}

TEST(LateBinding, MethodsWithEnumerationsAndResults) {
    Handle t("clsSezT");
    let(t.p, "Base", ferrolit_single(800));
    let(t.p, "BaseInf", ferrolit_single(300));
    let(t.p, "SpessoreT", ferrolit_single(150));
    let(t.p, "Altezza", ferrolit_single(600));
    Value w;
    ASSERT_EQ(call(t.p, "bX", {ferrolit_int32(FERROLIT_Sinistro), ferrolit_single(250)}, &w), FERROLIT_OK);
    EXPECT_EQ(w.v.type, FERROLIT_TYPE_SINGLE);
    EXPECT_EQ(w.v.u.single, 600.0f);
    ASSERT_EQ(call(t.p, "bX", {ferrolit_int16(FERROLIT_Superiore), ferrolit_single(151)}, &w), FERROLIT_OK);
    EXPECT_EQ(w.v.u.single, 300.0f);

    Handle r("clsGenVerSez");
    ASSERT_EQ(call(r.p, "EstraiAs", {ferrolit_string("3f16+2f12")}, &w), FERROLIT_OK);
    EXPECT_EQ(w.v.u.single, 3 * 201.0f + 2 * 113.0f);
    // A procedure's result is EMPTY, and the old owned value of the slot is released.
    Value slot;
    ASSERT_EQ(ferrolit_get(t.p, "TipoSezione", nullptr, 0, &slot.v), FERROLIT_OK);
    ASSERT_EQ(call(r.p, "ImpostaStaffeNorm", {}, &slot), FERROLIT_E_INVALID_INDEX);  // no current section yet
    EXPECT_EQ(slot.v.type, FERROLIT_TYPE_STRING);                                    // failure writes nothing
    create_beam(r.p);
    ASSERT_EQ(call(r.p, "ImpostaStaffeNorm", {}, &slot), FERROLIT_OK);
    EXPECT_EQ(slot.v.type, FERROLIT_TYPE_EMPTY);
}

TEST(LateBinding, OutputsAreWrittenBackAndOwned) {
    Handle r("clsGenVerSez");
    create_beam(r.p);
    Handle s;
    Value sec;
    ASSERT_EQ(call(r.p, "SezRet", {ferrolit_int16(1)}, &sec), FERROLIT_OK);
    ASSERT_EQ(sec.v.type, FERROLIT_TYPE_OBJECT);
    EXPECT_STREQ(ferrolit_class_of(sec.v.u.object), "clsSezRett");
    give_materials_and_bars(r.p, sec.v.u.object);

    // Procedi starts as a caller's int, msg as a borrowed string; both come back owned/typed.
    ferrolit_value args[3] = {ferrolit_string("Y"), ferrolit_int16(0), ferrolit_string("unchanged")};
    ASSERT_EQ(ferrolit_get(sec.v.u.object, "CalcolaNMDominioSezRett", args, 3, nullptr), FERROLIT_OK)
        << ferrolit_last_error();
    EXPECT_EQ(args[0].type, FERROLIT_TYPE_STRING);  // inputs are left alone
    EXPECT_EQ(args[0].owned, 0);
    EXPECT_EQ(args[1].type, FERROLIT_TYPE_BOOL);
    EXPECT_EQ(args[1].u.boolean, 1);
    EXPECT_EQ(args[2].owned, 1);
    EXPECT_STREQ(args[2].u.string, "unchanged");  // msg keeps the caller's text on success
    for (auto& a : args) ferrolit_value_clear(&a);

    // An array output, from an EMPTY slot: element 0 is always 0.
    Value matr;
    ASSERT_EQ(ferrolit_get(sec.v.u.object, "Ny_Dominio", &matr.v, 1, nullptr), FERROLIT_OK);
    ASSERT_EQ(matr.v.type, FERROLIT_TYPE_SINGLE_ARRAY);
    ASSERT_GT(matr.v.u.array.count, 1);
    EXPECT_EQ(matr.v.u.array.data[0], 0.0f);
    // Reusing the slot releases the previous array (checked under the sanitizer).
    ASSERT_EQ(ferrolit_get(sec.v.u.object, "Ny_Dominio", &matr.v, 1, nullptr), FERROLIT_OK);
    // Before any computation in Z the array does not exist.
    Value mz;
    EXPECT_EQ(ferrolit_get(sec.v.u.object, "Mz_Dominio", &mz.v, 1, nullptr), FERROLIT_E_INVALID_INDEX);
    EXPECT_EQ(mz.v.type, FERROLIT_TYPE_EMPTY);
}

TEST(LateBinding, CollectionIsAnObjectOfItsOwn) {
    Handle r("clsGenVerSez");
    create_beam(r.p);
    create_beam(r.p);
    Value coll = get(r.p, "Sezioni");
    ASSERT_EQ(coll.v.type, FERROLIT_TYPE_OBJECT);
    EXPECT_STREQ(ferrolit_class_of(coll.v.u.object), "Collection");
    EXPECT_EQ(get(coll.v.u.object, "Count").v.u.int32, 2);
    ASSERT_EQ(call(coll.v.u.object, "Remove", {ferrolit_int32(1)}), FERROLIT_OK);
    EXPECT_EQ(get(r.p, "SezioneCorrente").v.u.int16, 2);  // not adjusted

    // Replacing the collection with a new one holding a T section.
    Handle fresh("Collection");
    Handle tee("clsSezT");
    ASSERT_EQ(call(fresh.p, "Add", {ferrolit_object_value(tee.p)}), FERROLIT_OK);
    ASSERT_EQ(let(r.p, "Sezioni", ferrolit_object_value(fresh.p)), FERROLIT_OK);
    Value item;
    ASSERT_EQ(call(r.p, "SezT", {ferrolit_int16(1)}, &item), FERROLIT_OK);
    EXPECT_EQ(ferrolit_same_object(item.v.u.object, tee.p), 1);
    EXPECT_EQ(call(r.p, "SezRet", {ferrolit_int16(1)}, &item), FERROLIT_E_TYPE_MISMATCH);
    EXPECT_EQ(call(fresh.p, "Add", {ferrolit_object_value(r.p)}), FERROLIT_E_TYPE_MISMATCH);
    EXPECT_EQ(let(r.p, "Sezioni", ferrolit_value{}), FERROLIT_E_OBJECT_REQUIRED);
}

// ---- reference counting ----

TEST(References, SectionOutlivesItsRegistry) {
    auto* registry = static_cast<ferrolit_object*>(nullptr);
    ASSERT_EQ(ferrolit_create("clsGenVerSez", &registry), FERROLIT_OK);
    create_beam(registry);
    Value fetched;
    ASSERT_EQ(call(registry, "SezRet", {ferrolit_int16(1)}, &fetched), FERROLIT_OK);
    ferrolit_object* section = fetched.v.u.object;

    // The fetched section is the registry's own object: writes show through.
    ASSERT_EQ(let(section, "As_inf", ferrolit_single(603)), FERROLIT_OK);
    Value again;
    ASSERT_EQ(call(registry, "SezRet", {ferrolit_int16(1)}, &again), FERROLIT_OK);
    EXPECT_NE(again.v.u.object, section);
    EXPECT_EQ(ferrolit_same_object(again.v.u.object, section), 1);
    EXPECT_EQ(get(again.v.u.object, "As_inf").v.u.single, 603.0f);

    EXPECT_EQ(ferrolit_retain(section), 2);
    EXPECT_EQ(ferrolit_release(section), 1);
    EXPECT_EQ(ferrolit_release(registry), 0);
    EXPECT_EQ(get(section, "H_Utile").v.u.single, 460.0f);
    EXPECT_EQ(ferrolit_release(nullptr), 0);
}

// ---- errors ----

TEST(Errors, EachStatusWithItsDescription) {
    Handle r("clsGenVerSez");
    Handle s("clsSezRett");
    create_beam(r.p);
    Value out;
    ferrolit_object* none = nullptr;
    struct Case {
        std::function<ferrolit_status()> call;
        ferrolit_status status;
        std::string description;
    };
    const std::string mismatch = "Tipo non corrispondente", invalid = "Chiamata di routine o argomento non validi",
                      unknown = "Proprietà o metodo non supportati dall'oggetto: ",
                      count = "Numero di argomenti errato o assegnazione di proprietà non valida";
    const std::vector<Case> cases = {
        {[&] { return call(r.p, "SezRet", {ferrolit_int16(0)}, &out); }, FERROLIT_E_INVALID_INDEX,
         "Indice non compreso nell'intervallo"},
        {[&] { return call(r.p, "SezT", {ferrolit_int16(1)}, &out); }, FERROLIT_E_TYPE_MISMATCH, mismatch},
        {[&] { return let(s.p, "Base", ferrolit_string("300")); }, FERROLIT_E_TYPE_MISMATCH, mismatch},
        {[&] { return let(s.p, "fStaffe", ferrolit_single(40000.0f)); }, FERROLIT_E_OVERFLOW, "Overflow"},
        {[&] { return let(s.p, "NFerriMinimo", ferrolit_int32(32768)); }, FERROLIT_E_OVERFLOW, "Overflow"},
        {[&] { return let(s.p, "CondizioniAmbientali", ferrolit_single(1e30f)); }, FERROLIT_E_OVERFLOW, "Overflow"},
        {[&] { return call(r.p, "SezRet", {ferrolit_value{}}, &out); }, FERROLIT_E_TYPE_MISMATCH, mismatch},
        {[&] { return ferrolit_get(nullptr, "Base", nullptr, 0, &out.v); }, FERROLIT_E_OBJECT_REQUIRED,
         "Variabile oggetto non impostata"},
        {[&] { return ferrolit_get(s.p, nullptr, nullptr, 0, &out.v); }, FERROLIT_E_INVALID_OPERATION, invalid},
        {[&] { return ferrolit_get(s.p, "base", nullptr, 0, &out.v); }, FERROLIT_E_MEMBER_NOT_FOUND, unknown + "base"},
        {[&] { return let(s.p, "percAs", ferrolit_single(1)); }, FERROLIT_E_MEMBER_NOT_FOUND, unknown + "percAs"},
        {[&] { return ferrolit_get(s.p, "AsMin", nullptr, 0, &out.v); }, FERROLIT_E_MEMBER_NOT_FOUND,
         unknown + "AsMin"},
        {[&] { return call(s.p, "Ved", {}, &out); }, FERROLIT_E_ARGUMENT_COUNT, count},
        {[&] { return ferrolit_let(s.p, "Base", nullptr); }, FERROLIT_E_ARGUMENT_COUNT, count},
        {[&] { return ferrolit_create("clsSezione", &none); }, FERROLIT_E_CANNOT_CREATE,
         "Impossibile creare l'oggetto: classe sconosciuta clsSezione"},
        {[&] { return ferrolit_create("clsSezRett", nullptr); }, FERROLIT_E_INVALID_OPERATION, invalid},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.description);
        EXPECT_EQ(c.call(), c.status);
        EXPECT_EQ(ferrolit_last_status(), c.status);
        EXPECT_EQ(ferrolit_last_error(), c.description);
    }
    EXPECT_EQ(none, nullptr);
    // A success clears the last failure.
    EXPECT_EQ(let(s.p, "fStaffe", ferrolit_single(-1e6f)), FERROLIT_E_OVERFLOW);
    EXPECT_EQ(get(s.p, "fStaffe").v.u.single, 0.0f);  // the failed write changed nothing
    EXPECT_EQ(ferrolit_last_status(), FERROLIT_OK);
    EXPECT_STREQ(ferrolit_last_error(), "");
}

// The status table as a C host enumerates it: each code once, with the name
// ErrorKind gives it and the description the C++ side raises.
TEST(Errors, StatusCodesAreEnumerable) {
    std::vector<ferrolit_status> seen;
    for (int32_t i = 0; i < ferrolit_status_count(); ++i) {
        ferrolit_status code = 0;
        const char* description = nullptr;
        const char* name = ferrolit_status_at(i, &code, &description);
        ASSERT_NE(name, nullptr);
        SCOPED_TRACE(name);
        EXPECT_EQ(std::count(seen.begin(), seen.end(), code), 0);
        seen.push_back(code);
        EXPECT_GT(std::strlen(description), 0u);
    }
    EXPECT_EQ(ferrolit_status_at(ferrolit_status_count(), nullptr, nullptr), nullptr);
    ferrolit_status code = 0;
    const char* description = nullptr;
    EXPECT_STREQ(ferrolit_status_at(4, &code, &description), "DivisionByZero");
    EXPECT_EQ(code, static_cast<ferrolit_status>(ferrolit::ErrorKind::DivisionByZero));
    EXPECT_STREQ(description, ferrolit::describe(ferrolit::ErrorKind::DivisionByZero));
}

TEST(Errors, DescriptionsAreKeptPerThread) {
    Handle s("clsSezRett");
    EXPECT_EQ(let(s.p, "Base", ferrolit_string("x")), FERROLIT_E_TYPE_MISMATCH);
    std::string other;
    std::thread([&] {
        other = ferrolit_last_error();
        let(s.p, "fStaffe", ferrolit_single(1e9f));
    }).join();
    EXPECT_EQ(other, "");
    EXPECT_STREQ(ferrolit_last_error(), "Tipo non corrispondente");
}

TEST(Errors, NothingEscapesTheBoundary) {
    using ferrolit::capi::guard;
    struct Case {
        std::function<void()> thrower;
        ferrolit_status status;
        std::string text;
    };
    const std::vector<Case> cases = {
        {[] { throw ferrolit::Error(ferrolit::ErrorKind::DivisionByZero); }, FERROLIT_E_DIVISION_BY_ZERO,
         "Divisione per zero"},
        {[] { throw ferrolit::Error(ferrolit::ErrorKind::InvalidOperation, "Testo proprio"); },
         FERROLIT_E_INVALID_OPERATION, "Testo proprio"},
        {[] { throw std::bad_alloc(); }, FERROLIT_E_OUT_OF_MEMORY, "Memoria esaurita"},
        {[] { throw std::logic_error("guasto"); }, FERROLIT_E_INTERNAL, "guasto"},
        {[] { throw 42; }, FERROLIT_E_INTERNAL, "Errore interno"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(guard(c.thrower), c.status);
        EXPECT_EQ(ferrolit_last_error(), c.text);
    }
}

// ---- hooks ----

TEST(Hooks, CallbacksReceiveTheirUserData) {
    struct Seen {
        std::string text, title;
        int beeps = 0;
    } seen;
    ASSERT_EQ(ferrolit_set_message_box_handler(
                  [](const char* text, const char* title, void* user) {
                      static_cast<Seen*>(user)->text = text;
                      static_cast<Seen*>(user)->title = title;
                  },
                  &seen),
              FERROLIT_OK);
    ASSERT_EQ(ferrolit_set_beep_handler([](void* user) { ++static_cast<Seen*>(user)->beeps; }, &seen), FERROLIT_OK);
    // Take the installed handlers back from the library and fire them.
    const ferrolit::MessageBoxHandler box = ferrolit::setMessageBoxHandler(nullptr);
    const ferrolit::BeepHandler beep = ferrolit::setBeepHandler(nullptr);
    ASSERT_TRUE(box && beep);
    box("Armatura insufficiente", "T1");
    beep();
    EXPECT_EQ(seen.text, "Armatura insufficiente");
    EXPECT_EQ(seen.title, "T1");
    EXPECT_EQ(seen.beeps, 1);
    EXPECT_EQ(ferrolit_set_message_box_handler(nullptr, nullptr), FERROLIT_OK);
    EXPECT_FALSE(ferrolit::setMessageBoxHandler(nullptr));
    EXPECT_EQ(ferrolit_set_decimal_separator(','), FERROLIT_OK);
    EXPECT_EQ(ferrolit_set_decimal_separator('.'), FERROLIT_OK);
}

}  // namespace
