// Reading one section from its JSON object: the order of the parts, the
// member, the combinations and the parameters of the checks.

#include "verify/input/read_input.hpp"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <numbers>
#include <set>

#include "ferrolit/format.hpp"
#include "verify/input/name_lists.hpp"
#include "verify/input/project_data.hpp"

namespace ferrolit::verification {

namespace {

using nlohmann::json;

constexpr std::size_t kMostCombinations = 1000;
constexpr std::size_t kLongestName = 100;
// Moments above this (kNm) hint at a unit mistake (Nm or kNcm for kNm).
constexpr double kLargestPlausibleMoment = 1e4;
// Actions above this (kN, kNm) are refused: far beyond any section, and the
// stresses, strains and crack widths derived from them in N and mm would
// lose all meaning or overflow (1e302 kNm is already infinite in N·mm).
constexpr double kLargestAction = 1e12;

CombinationKind kind_of(const Reader& r, const std::string& text, const std::string& path) {
    if (const auto kind = parse_name(kCombinationKinds, text)) return *kind;
    r.fail(path, allowed_names("ammessi", kCombinationKinds));
}

double bounded_action(const Reader& r, const std::string& path, double v, const char* unit) {
    if (!(std::fabs(v) <= kLargestAction))
        r.fail(path, format::significant(v) + " " + unit + ": in valore assoluto al più " +
                         format::significant(kLargestAction) + " " + unit +
                         " (oltre, le tensioni e le deformazioni derivate perdono significato)");
    return v;
}

void plausible_moments(const Combination& c, std::vector<std::string>& warnings) {
    if (std::fabs(c.My) > kLargestPlausibleMoment || std::fabs(c.Mz) > kLargestPlausibleMoment ||
        std::fabs(c.T) > kLargestPlausibleMoment)
        warnings.push_back("combinazione \"" + c.name + "\": momento oltre 10000 kNm; i momenti sono in kNm");
}

Combination combination_of(const Reader& r, const json& item, const std::string& path, std::size_t index) {
    r.check_item(item, KeyGroup::Combination, path);
    Combination c;
    c.kind = kind_of(r, r.item_text(item, path, "tipo"), path + ".tipo");
    if (item.contains("nome")) {
        c.name = item["nome"].get<std::string>();
    } else {
        // Built so: g++ 12 at -O3 warns falsely (-Wrestrict) on "C" + std::to_string(…).
        c.name = std::to_string(index);
        c.name.insert(c.name.begin(), 'C');
    }
    if (c.name.empty() || characters(c.name) > kLongestName)
        r.fail(path + ".nome", "il nome è un testo da 1 a 100 caratteri");
    for (const auto& [key, field] :
         {std::pair{"N", &Combination::N}, std::pair{"My", &Combination::My}, std::pair{"Mz", &Combination::Mz},
          std::pair{"Vy", &Combination::Vy}, std::pair{"Vz", &Combination::Vz}, std::pair{"T", &Combination::T}})
        c.*field = bounded_action(r, path + "." + key, r.item_real_if(item, path, key).value_or(0),
                                  *key == 'M' || *key == 'T' ? "kNm" : "kN");
    return c;
}

void read_member(const Reader& r, VerificationInput& in) {
    if (const auto tipo = r.text("TipoSezione")) {
        std::optional<MemberType> member;
        for (const Named<MemberType>& row : kMemberTypes)
            if (*tipo == row.name) member = row.value;
        if (!member) r.fail("TipoSezione", allowed_names("ammessi", kMemberTypes));
        in.member = *member;
    }
    in.description = r.text("DescrSezione").value_or("");
}

Environment environment_of(const Reader& r) {
    std::optional<Environment> by_name, by_number;
    if (const auto name = r.text("ambiente")) {
        by_name = parse_name(kEnvironments, *name);
        if (!by_name) r.fail("ambiente", allowed_names("ammessi", kEnvironments));
    }
    if (const auto n = r.integer("CondizioniAmbientali")) {
        // The component's number of an environment is its place in the list, from 1.
        const int most = static_cast<int>(std::size(kEnvironments));
        if (*n < 0 || *n > most) {
            std::string allowed = "valori ammessi 0 (non indicato)";
            for (int i = 0; i < most; ++i)
                allowed += ", " + std::to_string(i + 1) + " " + std::string(kEnvironments[i].name);
            r.fail("CondizioniAmbientali", allowed);
        }
        if (*n > 0) by_number = static_cast<Environment>(*n - 1);
    }
    if (by_name && by_number && *by_name != *by_number)
        r.fail("CondizioniAmbientali", "contraddice \"ambiente\": \"" + std::string(environment_name(*by_name)) + "\"");
    return by_name.value_or(by_number.value_or(Environment::Ordinary));
}

double bounded(const Reader& r, const char* key, double lo, double hi, const char* range) {
    const double v = *r.real(key);
    if (!(v > lo && v <= hi)) r.fail(key, range);
    return v;
}

void read_cot_theta(const Reader& r, VerificationInput& in) {
    if (const auto cot = r.real("cot_theta")) {
        if (!(*cot >= 1 && *cot <= 2.5)) r.fail("cot_theta", "ammesso tra 1 e 2,5 (§4.1.2.3.5.2)");
        in.cot_theta = *cot;
    }
    if (const auto theta = r.real("tetaBielle")) {
        const double cot = 1 / std::tan(*theta * std::numbers::pi / 180);
        if (!(cot >= 1 - 1e-9 && cot <= 2.5 + 1e-9))
            r.fail("tetaBielle", "θ ammesso tra 21,8° e 45° (1 ≤ cot θ ≤ 2,5, §4.1.2.3.5.2)");
        if (in.cot_theta && std::fabs(*in.cot_theta - cot) > 1e-6)
            r.fail("tetaBielle", "contraddice \"cot_theta\" (cot " + format::significant(*theta) +
                                     "° = " + format::significant(cot) + ")");
        in.cot_theta = std::clamp(cot, 1.0, 2.5);
    }
}

void read_slenderness(const Reader& r, VerificationInput& in) {
    if (r.has("l0_y"))
        in.effective_length_y =
            bounded(r, "l0_y", 0, 1e5, "lunghezza libera di inflessione ammessa tra 0 e 100 000 mm");
    if (r.has("l0_z"))
        in.effective_length_z =
            bounded(r, "l0_z", 0, 1e5, "lunghezza libera di inflessione ammessa tra 0 e 100 000 mm");
    if (const auto rm = r.real("rm")) {
        if (!(*rm >= -1 && *rm <= 1))
            r.fail("rm", "rapporto tra i momenti d'estremità M01/M02 ammesso tra −1 e 1 (|M01| ≤ |M02|)");
        in.end_moment_ratio = *rm;
    }
    if (const auto phi = r.real("phi_ef")) {
        if (!(*phi >= 0 && *phi <= 10)) r.fail("phi_ef", "coefficiente di viscosità efficace ammesso tra 0 e 10");
        in.creep_ratio = *phi;
    }
}

}  // namespace

void read_actions(const Reader& r, VerificationInput& in) {
    const char* flat_keys[] = {"Med_y", "Med_z", "Ned_x", "Taglio_y", "Taglio_z", "Med_Fes"};
    if (const json* list = r.list("combinazioni")) {
        for (const char* key : flat_keys)
            if (r.has(key))
                r.fail("combinazioni", std::string("non si usa insieme alle azioni singole (\"") + key +
                                           "\"): indicare tutte le azioni nelle combinazioni");
        if (list->size() > kMostCombinations) r.fail("combinazioni", "troppe combinazioni: al massimo 1000");
        std::set<std::string> names;
        for (std::size_t i = 0; i < list->size(); ++i) {
            const std::string path = "combinazioni[" + std::to_string(i + 1) + "]";
            Combination c = combination_of(r, (*list)[i], path, i + 1);
            if (!names.insert(c.name).second) r.fail(path + ".nome", "nome ripetuto \"" + c.name + "\"");
            in.combinations.push_back(std::move(c));
        }
    } else {
        if (r.has("Med_y") || r.has("Med_z") || r.has("Ned_x") || r.has("Taglio_y") || r.has("Taglio_z")) {
            Combination c{"SLU", CombinationKind::Ultimate};
            c.N = bounded_action(r, "Ned_x", r.real("Ned_x").value_or(0), "kN");
            c.My = bounded_action(r, "Med_y", r.real("Med_y").value_or(0), "kNm");
            c.Mz = -bounded_action(r, "Med_z", r.real("Med_z").value_or(0), "kNm");  // Med_z > 0 compresses the left
            c.Vy = bounded_action(r, "Taglio_y", r.real("Taglio_y").value_or(0), "kN");
            c.Vz = bounded_action(r, "Taglio_z", r.real("Taglio_z").value_or(0), "kN");
            in.combinations.push_back(c);
        }
        if (const auto m = r.real("Med_Fes")) {
            Combination c{"SLE frequente", CombinationKind::Frequent};
            c.My = bounded_action(r, "Med_Fes", *m, "kNm");
            in.combinations.push_back(c);
        }
    }
    for (const Combination& c : in.combinations) plausible_moments(c, in.warnings);
}

void read_check_parameters(const Reader& r, VerificationInput& in) {
    in.environment = environment_of(r);
    in.sensitive_bars = r.flag("armature_sensibili").value_or(false);
    read_cot_theta(r, in);
    if (r.has("alfa_e"))
        in.alpha_e = bounded(r, "alfa_e", 0, 100, "coefficiente di omogeneizzazione ammesso tra 0 e 100");
    if (r.has("dmax_aggregato"))
        in.aggregate_size =
            bounded(r, "dmax_aggregato", 0, 100, "dimensione massima dell'aggregato ammessa tra 0 e 100 mm");
    if (const auto tolerance = r.real("tolleranza_copriferro")) {
        if (!(*tolerance >= 0 && *tolerance <= 50))
            r.fail("tolleranza_copriferro", "tolleranza di posa ammessa tra 0 e 50 mm");
        in.cover_tolerance = *tolerance;
    }
    read_slenderness(r, in);
    if (r.has("wk_lim")) in.wk_limit = bounded(r, "wk_lim", 0, 10, "apertura limite ammessa tra 0 e 10 mm");
    if (r.has("kt")) in.kt = bounded(r, "kt", 0, 1, "ammesso tra 0 e 1");
    std::optional<double> VerificationInput::*factors[] = {&VerificationInput::k1, &VerificationInput::k2,
                                                           &VerificationInput::k3, &VerificationInput::k4};
    const char* names[] = {"k1", "k2", "k3", "k4"};
    for (int i = 0; i < 4; ++i)
        if (r.has(names[i])) in.*factors[i] = bounded(r, names[i], 0, 10, "ammesso tra 0 e 10");
    for (const char* key : {"DeltaN", "DeltaX", "H_Utile"})
        if (r.has(key))
            in.warnings.push_back(std::string("\"") + key +
                                  "\" ignorato: il motore della norma integra esattamente e ricava l'altezza utile "
                                  "dalla posizione delle barre");
}

}  // namespace ferrolit::verification

namespace ferrolit {

VerificationInput read_verification_input(std::string_view json, const ReadOptions& options) {
    using namespace verification;
    const Where where{options.source, options.first_line};
    const JsonDocument doc(json, where);
    const Reader r(doc, where);
    VerificationInput in;
    read_member(r, in);
    read_shape(r, in);
    read_reinforcement(r, in);
    read_materials(r, in);
    read_actions(r, in);
    read_check_parameters(r, in);
    read_seismic(r, in);
    if (const nlohmann::json* block = r.value("progetto"))
        in.project = read_project_data(
            *block, [&r](const std::string& path, const std::string& problem) { r.fail(path, problem); });
    return in;
}

}  // namespace ferrolit
