#include "analysis/json/analyse.hpp"

#include <string_view>

#include "analysis/json/analyse_input.hpp"
#include "core/numeric.hpp"

namespace ferrolit::analysis::json_io {

namespace {

using nlohmann::json;
namespace fa = ferrolit::analysis;

// Largest output: about 200 000 domain points; more is refused, not printed.
constexpr std::size_t kMostOutputBytes = std::size_t{16} << 20;

json optional_number(const std::optional<double>& v) { return v ? json(*v) : json(nullptr); }

json answer(const fa::Section& s, const MomentQuery& q) {
    const fa::MomentCapacity c = s.resisting_moment(q.N, q.My, q.Mz);
    json out = {{"N", q.N},
                {"My_Rd", optional_number(c.My_Rd)},
                {"Mz_Rd", optional_number(c.Mz_Rd)},
                {"ratio", optional_number(c.ratio)},
                {"inside", c.inside}};
    if (c.outcome != fa::Outcome::Found) out["reason"] = fa::reason(c.outcome);
    return out;
}

json answer(const fa::Section& s, const DomainQuery& q) {
    const fa::Domain d = s.domain(q.axis, q.points);
    if (d.outcome != fa::Outcome::Found) return {{"domain", nullptr}, {"reason", fa::reason(d.outcome)}};
    json points = json::array();
    for (const fa::DomainPoint& p : d.points) points.push_back({p.N, p.M});
    return {{"domain", std::move(points)}};
}

json answer(const fa::Section& s, const ContourQuery& q) {
    const fa::Contour c = s.contour(q.N, q.directions);
    if (c.outcome != fa::Outcome::Found) return {{"contour", nullptr}, {"reason", fa::reason(c.outcome)}};
    json points = json::array();
    for (const fa::ContourPoint& p : c.points) points.push_back({p.My, p.Mz});
    return {{"contour", std::move(points)}};
}

// The value's indented text as it stands inside the output: each of its lines
// after the first shifted right by `indent` (what json::dump(2) does for a nested value).
void append_nested(std::string& out, const json& value, std::string_view indent) {
    for (const char c : value.dump(2)) {
        out += c;
        if (c == '\n') out += indent;
    }
}

}  // namespace

AnalyseError::AnalyseError(const std::string& key, const std::string& problem)
    : ferrolit::InputError("\"" + key + "\": " + problem, key == "JSON" ? "" : key, problem, 0, "") {}

// The output is written as the results come, the same text as one dump(2) of
// the whole document, and stops at its limit: a domain query of many points,
// many times over, would otherwise take hundreds of megabytes before printing.
std::string analyse(const std::string& input) {
    const AnalyseRequest request = read_request(parse_document(input));
    const fa::Section& s = request.section;
    std::string out = "{\n  \"N_max\": " + json(s.N_Rd_max()).dump() + ",\n  \"N_min\": " + json(s.N_Rd_min()).dump() +
                      ",\n  \"results\": " + (request.queries.empty() ? "[]" : "[\n");
    for (std::size_t i = 0; i < request.queries.size(); ++i) {
        const std::string key = "queries[" + std::to_string(i) + "]";
        try {
            out += "    ";
            append_nested(out, std::visit([&](const auto& q) { return answer(s, q); }, request.queries[i]), "    ");
        } catch (const ferrolit::Error& e) {
            throw AnalyseError(key, e.what());
        }
        out += i + 1 < request.queries.size() ? ",\n" : "\n  ]";
        if (out.size() > kMostOutputBytes)
            throw AnalyseError(key, "risultato troppo grande: oltre " + std::to_string(kMostOutputBytes >> 20) +
                                        " MiB fin qui; chiedere meno punti o dividere le richieste");
    }
    return out + "\n}\n";
}

}  // namespace ferrolit::analysis::json_io

namespace ferrolit::analysis {

std::string analyse_json(std::string_view json) {
    return ferrolit::detail::public_call([&] {
        if (json.size() > json_io::kMostInputBytes)
            throw json_io::AnalyseError(
                "JSON", "testo troppo lungo: al massimo " + std::to_string(json_io::kMostInputBytes >> 20) + " MiB");
        return json_io::analyse(std::string(json));
    });
}

}  // namespace ferrolit::analysis
