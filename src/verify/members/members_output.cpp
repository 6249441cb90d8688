// The result of a building's members as JSON (every member, its governing
// check and the envelope of its checks) and as CSV (one row per member and check).

#include <cmath>

#include "ferrolit/members.hpp"
#include "verify/output/json_writer.hpp"

namespace ferrolit {

namespace {

using verification::JsonWriter;

void member(JsonWriter& w, const MemberResult& m) {
    w.begin_object().member("id", m.id).member("section", m.section).member("type", m.type);
    if (!m.error.empty()) {
        w.member("verified", false).member("error", m.error).end_object();
        return;
    }
    w.member("verified", m.verified).member("max_ratio", m.max_ratio);
    w.key("governing");
    if (m.governing) {
        const EnvelopeCheck& g = m.checks[*m.governing];
        w.begin_object().member("check", g.check.id).key("combination");
        g.check.combination ? w.value(*g.check.combination) : w.null();
        w.member("x", g.x);
        w.member("ratio", g.check.ratio).end_object();
    } else {
        w.null();
    }
    w.member("combinations", static_cast<int>(m.combinations));
    w.key("checks").begin_array();
    for (const EnvelopeCheck& e : m.checks)
        verification::write_check(w, e.check, [&](JsonWriter& out) { out.member("x", e.x); });
    w.end_array().key("not_run").begin_array();
    for (const NotRun& n : m.not_run) w.begin_object().member("id", n.id).member("reason", n.reason).end_object();
    w.end_array().key("warnings").begin_array();
    for (const std::string& s : m.warnings) w.value(s);
    w.end_array().end_object();
}

// A CSV cell: quoted when it holds the separator, a quote or a line end.
std::string cell(std::string_view text) {
    if (text.find_first_of(",\"\n\r") == std::string_view::npos) return std::string(text);
    std::string out = "\"";
    for (char c : text) out += c == '"' ? std::string("\"\"") : std::string(1, c);
    return out + "\"";
}

std::string number(const std::optional<double>& v) {
    if (!v || !std::isfinite(*v)) return "";
    JsonWriter w(-1);
    w.value(*v);
    return w.take();
}

}  // namespace

std::string to_json(const MembersResult& r, int indent) {
    JsonWriter w(indent);
    w.begin_object().member("program", "ferrolit").member("version", r.version);
    w.member("code", "NTC 2018 (D.M. 17/01/2018) e Circolare 21/01/2019 n. 7");
    w.key("project")
        .begin_object()
        .member("opera", r.project.work)
        .member("committente", r.project.client)
        .member("progettista", r.project.designer)
        .member("luogo", r.project.place)
        .member("note", r.project.notes)
        .end_object();
    w.member("verified", r.verified).member("max_ratio", r.max_ratio);
    w.member("checked_combinations", static_cast<double>(r.checked));
    w.key("members").begin_array();
    for (const MemberResult& m : r.members) member(w, m);
    w.end_array().key("warnings").begin_array();
    for (const std::string& s : r.warnings) w.value(s);
    w.end_array();
    w.key("units").begin_object().member("x", "m").member("forces", "kN").member("moments", "kNm").end_object();
    w.end_object();
    return w.take();
}

std::string members_csv(const MembersResult& r) {
    std::string out = "membratura,sezione,verifica,norma,combinazione,x_m,domanda,capacita,unita,rapporto,esito\n";
    for (const MemberResult& m : r.members) {
        const std::string head = cell(m.id) + "," + cell(m.section) + ",";
        if (!m.error.empty()) {
            out += head + "errore,,,,,,,,," + cell(m.error) + "\n";
            continue;
        }
        for (const EnvelopeCheck& e : m.checks) {
            const CheckResult& c = e.check;
            out += head + cell(c.id) + "," + cell(c.clause) + "," + cell(c.combination.value_or("")) + "," +
                   number(e.x) + "," + number(c.demand) + "," + number(c.capacity) + "," + cell(c.unit) + "," +
                   number(c.ratio) + "," + (c.verified ? "verificata" : "NON verificata") + "\n";
        }
    }
    return out;
}

}  // namespace ferrolit
