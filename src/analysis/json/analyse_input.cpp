#include "analysis/json/analyse_input.hpp"

#include <cmath>
#include <set>

#include "analysis/json/analyse.hpp"
#include "ferrolit/verify.hpp"
#include "ferrolit/verify_lists.hpp"

namespace ferrolit::analysis::json_io {

namespace {

using nlohmann::json;
namespace fa = ferrolit::analysis;

// The keys each object may hold: one table, so a misspelt key is named, not ignored.
const std::set<std::string> kTopKeys = {"concrete", "steel",   "outline",     "holes",
                                        "bars",     "queries", "deduct_bars", "stirrups"};
const std::set<std::string> kConcreteKeys = {"class",  "fck",    "alpha_cc", "gamma_c", "eps_c2", "eps_cu", "n",
                                             "eps_c3", "lambda", "eta",      "law",     "fctm",   "Ec"};
const std::set<std::string> kSteelKeys = {"class", "fyk", "gamma_s", "Es", "eps_ud", "eps_uk", "k", "hardening"};
const std::set<std::string> kMomentKeys = {"N", "My", "Mz"};
const std::set<std::string> kDomainKeys = {"domain", "points"};
const std::set<std::string> kContourKeys = {"contour", "directions"};
const std::set<std::string> kCurvatureKeys = {"N", "direction", "confined", "values", "points"};
const std::set<std::string> kStirrupKeys = {"diameter", "spacing", "legs_y", "legs_z", "cover"};

const json& object(const json& v, const std::string& key) {
    if (!v.is_object()) throw AnalyseError(key, "deve essere un oggetto JSON");
    return v;
}

void known_keys(const json& v, const std::set<std::string>& allowed, const std::string& where) {
    for (const auto& item : v.items())
        if (!allowed.count(item.key()))
            throw AnalyseError(where.empty() ? item.key() : where + "." + item.key(), "chiave sconosciuta");
}

double number(const json& v, const std::string& key) {
    if (!v.is_number()) throw AnalyseError(key, std::string("deve essere un numero, non ") + v.type_name());
    const double x = v.get<double>();
    if (!std::isfinite(x)) throw AnalyseError(key, "deve essere un numero finito");
    return x;
}

int whole(const json& v, const std::string& key, int lo, int hi) {
    const double x = number(v, key);
    if (x != std::floor(x) || x < lo || x > hi)
        throw AnalyseError(key, "deve essere un intero tra " + std::to_string(lo) + " e " + std::to_string(hi));
    return static_cast<int>(x);
}

std::string text(const json& v, const std::string& key) {
    if (!v.is_string()) throw AnalyseError(key, std::string("deve essere un testo, non ") + v.type_name());
    return v.get<std::string>();
}

bool flag(const json& v, const std::string& key) {
    if (!v.is_boolean()) throw AnalyseError(key, "deve essere true o false");
    return v.get<bool>();
}

// Runs a library call whose ferrolit::Error concerns `key` (an input error names its own).
template <class F>
auto about(const std::string& key, F&& f) {
    try {
        return f();
    } catch (const ferrolit::InputError& e) {
        throw AnalyseError(e.key(), e.problem());
    } catch (const ferrolit::Error& e) {
        throw AnalyseError(key, e.what());
    }
}

std::optional<double> number_if(const json& obj, const char* name, const std::string& where) {
    return obj.contains(name) ? std::optional(number(obj[name], where + "." + name)) : std::nullopt;
}

void set_if(const json& obj, const char* name, const std::string& where, double& field) {
    if (obj.contains(name)) field = number(obj[name], where + "." + name);
}

// A law by its JSON name in the library's table of laws.
fa::ConcreteLaw read_law(const json& v) {
    const std::string law = text(v, "concrete.law");
    std::string allowed;
    for (std::size_t i = 0; i < std::size(kConcreteLaws); ++i) {
        if (law == kConcreteLaws[i].json) return kConcreteLaws[i].value;
        allowed += i == 0 ? "" : i + 1 == std::size(kConcreteLaws) ? " o " : ", ";
        allowed += '"' + std::string(kConcreteLaws[i].json) + '"';
    }
    throw AnalyseError("concrete.law", allowed);
}

fa::Concrete read_concrete(const json& v) {
    object(v, "concrete");
    known_keys(v, kConcreteKeys, "concrete");
    // The class gives fck (and Rck), and an fck given with it must be the
    // class's (the library's rule); every other value follows from fck by the
    // code unless given.
    fa::Concrete c;
    if (v.contains("class")) {
        const std::string name = text(v["class"], "concrete.class");
        const std::optional<double> fck = number_if(v, "fck", "concrete");
        c = about("concrete.class", [&] {
            return concrete_of_class(name, fck, {}, {"concrete.class", "concrete.fck", {}});
        });
    } else if (v.contains("fck")) {
        const double fck = number(v["fck"], "concrete.fck");
        c = about("concrete.fck", [&] { return fa::Concrete::of_strength(fck); });
    } else {
        throw AnalyseError("concrete", "indicare \"class\" (per esempio \"C25/30\") oppure \"fck\"");
    }
    set_if(v, "alpha_cc", "concrete", c.alpha_cc);
    set_if(v, "gamma_c", "concrete", c.gamma_c);
    set_if(v, "eps_c2", "concrete", c.eps_c2);
    set_if(v, "eps_cu", "concrete", c.eps_cu);
    set_if(v, "n", "concrete", c.n);
    set_if(v, "eps_c3", "concrete", c.eps_c3);
    set_if(v, "lambda", "concrete", c.lambda);
    set_if(v, "eta", "concrete", c.eta);
    set_if(v, "fctm", "concrete", c.fctm);
    set_if(v, "Ec", "concrete", c.Ec);
    if (v.contains("law")) c.law = read_law(v["law"]);
    about("concrete", [&] { c.validate(); });
    return c;
}

fa::Steel read_steel(const json& v) {
    object(v, "steel");
    known_keys(v, kSteelKeys, "steel");
    // The class (B450C when none) gives every value; an fyk given with a class must be its own.
    const std::string name = v.contains("class") ? text(v["class"], "steel.class") : "B450C";
    const std::optional<double> fyk = number_if(v, "fyk", "steel");
    fa::Steel s = about("steel.class", [&] {
        return steel_of_class(name, v.contains("class") ? fyk : std::nullopt, {"steel.class", "steel.fyk", {}});
    });
    if (!v.contains("class")) s.name.clear();
    if (!v.contains("class") && fyk) s.fyk = *fyk;
    set_if(v, "gamma_s", "steel", s.gamma_s);
    set_if(v, "Es", "steel", s.Es);
    set_if(v, "k", "steel", s.k);
    if (v.contains("eps_uk")) {
        s.eps_uk = number(v["eps_uk"], "steel.eps_uk");
        s.eps_ud = 0.9 * s.eps_uk;
    }
    if (v.contains("eps_ud"))
        s.eps_ud = v["eps_ud"].is_null() ? std::optional<double>() : number(v["eps_ud"], "steel.eps_ud");
    if (v.contains("hardening")) s.hardening = flag(v["hardening"], "steel.hardening");
    // The engine's own message says "positive" for any value out of range; the bound broken is named here.
    if (s.eps_ud && !(*s.eps_ud > 0 && *s.eps_ud < 1))
        throw AnalyseError(v.contains("eps_ud") ? "steel.eps_ud" : "steel.eps_uk",
                           "εud deve essere maggiore di 0 e minore di 1: è una deformazione (0,0675 per B450C)");
    about("steel", [&] { s.validate(); });
    return s;
}

fa::Ring read_ring(const json& v, const std::string& key) {
    if (!v.is_array()) throw AnalyseError(key, "deve essere un elenco di punti [y, z]");
    fa::Ring ring;
    for (std::size_t i = 0; i < v.size(); ++i) {
        const std::string at = key + "[" + std::to_string(i) + "]";
        if (!v[i].is_array() || v[i].size() != 2) throw AnalyseError(at, "deve essere un punto [y, z]");
        ring.push_back({number(v[i][0], at), number(v[i][1], at)});
    }
    return ring;
}

fa::Bar read_bar(const json& v, const std::string& key) {
    if (v.is_array()) {
        if (v.size() != 3) throw AnalyseError(key, "deve essere [y, z, diametro]");
        const double y = number(v[0], key), z = number(v[1], key), d = number(v[2], key);
        return about(key, [&] { return fa::bar_of_diameter(y, z, d); });
    }
    if (!v.is_object()) throw AnalyseError(key, "deve essere [y, z, diametro]");
    known_keys(v, {"y", "z", "diameter", "area"}, key);
    if (!v.contains("y") || !v.contains("z") || v.contains("diameter") == v.contains("area"))
        throw AnalyseError(key, "indicare y, z e diameter oppure area");
    const double y = number(v["y"], key + ".y"), z = number(v["z"], key + ".z");
    if (v.contains("area")) return {y, z, number(v["area"], key + ".area")};
    const double d = number(v["diameter"], key + ".diameter");
    return about(key, [&] { return fa::bar_of_diameter(y, z, d); });
}

fa::Stirrups read_stirrups(const json& v) {
    object(v, "stirrups");
    known_keys(v, kStirrupKeys, "stirrups");
    for (const char* name : {"diameter", "spacing", "legs_y", "legs_z", "cover"})
        if (!v.contains(name)) throw AnalyseError(std::string("stirrups.") + name, "chiave mancante");
    fa::Stirrups s;
    s.diameter = number(v["diameter"], "stirrups.diameter");
    s.spacing = number(v["spacing"], "stirrups.spacing");
    s.legs_y = whole(v["legs_y"], "stirrups.legs_y", 2, 100);
    s.legs_z = whole(v["legs_z"], "stirrups.legs_z", 2, 100);
    s.cover = number(v["cover"], "stirrups.cover");
    return s;
}

CurvatureQuery read_curvature(const json& q, const std::string& key, const std::optional<fa::Stirrups>& stirrups) {
    object(q, key);
    known_keys(q, kCurvatureKeys, key);
    if (!q.contains("N")) throw AnalyseError(key + ".N", "chiave mancante");
    CurvatureQuery out{number(q["N"], key + ".N"), {}};
    if (q.contains("direction")) {
        const std::string axis = text(q["direction"], key + ".direction");
        if (axis != "My" && axis != "Mz") throw AnalyseError(key + ".direction", "\"My\" o \"Mz\"");
        out.options.direction = axis == "My" ? fa::Axis::My : fa::Axis::Mz;
    }
    if (q.contains("confined") && flag(q["confined"], key + ".confined")) {
        if (!stirrups) throw AnalyseError(key + ".confined", "per il calcestruzzo confinato indicare \"stirrups\"");
        out.options.stirrups = stirrups;
    }
    if (q.contains("values")) {
        const std::string values = text(q["values"], key + ".values");
        if (values != "design" && values != "mean") throw AnalyseError(key + ".values", "\"design\" o \"mean\"");
        out.options.values = values == "design" ? fa::MaterialValues::Design : fa::MaterialValues::Mean;
    }
    if (q.contains("points")) out.options.points = whole(q["points"], key + ".points", 2, 10000);
    return out;
}

Query read_query(const json& v, const std::string& key, const std::optional<fa::Stirrups>& stirrups) {
    object(v, key);
    if (v.contains("moment_curvature")) {
        known_keys(v, {"moment_curvature"}, key);
        return read_curvature(v["moment_curvature"], key + ".moment_curvature", stirrups);
    }
    if (v.contains("domain")) {
        known_keys(v, kDomainKeys, key);
        const std::string axis = text(v["domain"], key + ".domain");
        if (axis != "My" && axis != "Mz") throw AnalyseError(key + ".domain", "\"My\" o \"Mz\"");
        DomainQuery q{axis == "My" ? fa::Axis::My : fa::Axis::Mz, 100};
        if (v.contains("points")) q.points = whole(v["points"], key + ".points", 4, 10000);
        return q;
    }
    if (v.contains("contour")) {
        known_keys(v, kContourKeys, key);
        ContourQuery q{number(v["contour"], key + ".contour"), 72};
        if (v.contains("directions")) q.directions = whole(v["directions"], key + ".directions", 4, 10000);
        return q;
    }
    if (v.contains("N")) {
        known_keys(v, kMomentKeys, key);
        MomentQuery q{number(v["N"], key + ".N"), 0, 0};
        if (v.contains("My")) q.My = number(v["My"], key + ".My");
        if (v.contains("Mz")) q.Mz = number(v["Mz"], key + ".Mz");
        return q;
    }
    throw AnalyseError(key, "una richiesta ha \"N\" (con My, Mz), \"domain\", \"contour\" o \"moment_curvature\"");
}

}  // namespace

json parse_document(const std::string& text) {
    // One set of seen keys per open object.
    std::vector<std::set<std::string>> seen;
    json::parser_callback_t check = [&](int, json::parse_event_t event, json& parsed) {
        if (event == json::parse_event_t::object_start) seen.emplace_back();
        if (event == json::parse_event_t::object_end && !seen.empty()) seen.pop_back();
        if (event == json::parse_event_t::key && !seen.empty() && !seen.back().insert(parsed.get<std::string>()).second)
            throw AnalyseError(parsed.get<std::string>(), "chiave ripetuta");
        return true;
    };
    try {
        return json::parse(text, check);
    } catch (const json::exception& e) {
        throw AnalyseError("JSON", std::string("testo non valido: ") + e.what());
    }
}

AnalyseRequest read_request(const json& root) {
    object(root, "documento");
    known_keys(root, kTopKeys, "");
    for (const char* key : {"concrete", "steel", "outline", "bars"})
        if (!root.contains(key)) throw AnalyseError(key, "chiave mancante");
    fa::Concrete concrete = read_concrete(root["concrete"]);
    fa::Steel steel = read_steel(root["steel"]);
    fa::Shape shape;
    shape.outline = read_ring(root["outline"], "outline");
    if (root.contains("holes")) {
        const json& holes = root["holes"];
        if (!holes.is_array()) throw AnalyseError("holes", "deve essere un elenco di contorni");
        for (std::size_t i = 0; i < holes.size(); ++i)
            shape.holes.push_back(read_ring(holes[i], "holes[" + std::to_string(i) + "]"));
    }
    shape = about(shape.holes.empty() ? "outline" : "outline/holes", [&] { return fa::normalised(shape); });
    const json& bar_list = root["bars"];
    if (!bar_list.is_array()) throw AnalyseError("bars", "deve essere un elenco di barre [y, z, diametro]");
    std::vector<fa::Bar> bars;
    for (std::size_t i = 0; i < bar_list.size(); ++i)
        bars.push_back(read_bar(bar_list[i], "bars[" + std::to_string(i) + "]"));
    fa::Options options;
    if (root.contains("deduct_bars")) options.deduct_bar_area = flag(root["deduct_bars"], "deduct_bars");
    std::optional<fa::Stirrups> stirrups;
    if (root.contains("stirrups")) stirrups = read_stirrups(root["stirrups"]);
    AnalyseRequest request{about("bars", [&] { return fa::Section(shape, bars, concrete, steel, options); }), {}};
    if (root.contains("queries")) {
        const json& list = root["queries"];
        if (!list.is_array()) throw AnalyseError("queries", "deve essere un elenco di richieste");
        if (list.size() > 10000) throw AnalyseError("queries", "al massimo 10000 richieste");
        for (std::size_t i = 0; i < list.size(); ++i)
            request.queries.push_back(read_query(list[i], "queries[" + std::to_string(i) + "]", stirrups));
    }
    return request;
}

}  // namespace ferrolit::analysis::json_io
