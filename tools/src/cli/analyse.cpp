#include "cli/analyse.hpp"

#include <fstream>
#include <iostream>
#include <iterator>
#include <sstream>

#include "cli/analyse_input.hpp"

namespace ferrolit::cli {

namespace {

using nlohmann::json;
namespace fa = ferrolit::analysis;

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

}  // namespace

AnalyseError::AnalyseError(const std::string& key, const std::string& problem)
    : std::runtime_error("\"" + key + "\": " + problem) {}

std::string analyse(const std::string& input) {
    const AnalyseRequest request = read_request(parse_document(input));
    const fa::Section& s = request.section;
    json results = json::array();
    for (std::size_t i = 0; i < request.queries.size(); ++i) {
        try {
            results.push_back(std::visit([&](const auto& q) { return answer(s, q); }, request.queries[i]));
        } catch (const ferrolit::Error& e) {
            throw AnalyseError("queries[" + std::to_string(i) + "]", e.what());
        }
    }
    const json out = {{"N_max", s.N_Rd_max()}, {"N_min", s.N_Rd_min()}, {"results", std::move(results)}};
    return out.dump(2) + "\n";
}

}  // namespace ferrolit::cli

namespace ferrolit::cli {

int run_analyse(const std::string& file) {
    try {
        std::string text;
        if (file.empty() || file == "-") {
            text.assign(std::istreambuf_iterator<char>(std::cin), {});
        } else {
            std::ifstream in(file, std::ios::binary);
            if (!in) throw AnalyseError(file, "impossibile leggere il file");
            std::ostringstream all;
            all << in.rdbuf();
            text = all.str();
        }
        std::cout << analyse(text) << std::flush;
        return 0;
    } catch (const std::exception& e) {  // AnalyseError, ferrolit::Error, std::bad_alloc
        std::cerr << "ferrolit analyse: " << e.what() << "\n";
        return 2;
    }
}

}  // namespace ferrolit::cli
