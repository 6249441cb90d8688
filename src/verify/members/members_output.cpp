// The result of a building's members as JSON (every member, its governing
// check and the envelope of its checks) and as CSV (one row per member and check).

#include <cmath>
#include <string_view>
#include <system_error>

#include "core/real_text.hpp"
#include "ferrolit/error.hpp"
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

// Appends a CSV cell and the character after it (',' or a line end): the
// text quoted when it holds the separator, a quote or a line end.
void put_text(std::string& out, std::string_view text, char after) {
    if (text.find_first_of(",\"\n\r") == std::string_view::npos) {
        out += text;
    } else {
        out += '"';
        for (char c : text) {
            if (c == '"') out += '"';  // a quote inside is doubled
            out += c;
        }
        out += '"';
    }
    out += after;
}

// Appends a number in the JSON result's form (the shortest text that reads
// back as the same double; an empty cell when there is none or it is not
// finite) and the character after it.
void put_number(std::string& out, const std::optional<double>& v, char after) {
    if (v && std::isfinite(*v)) {
        char text[32];  // the shortest form of a double takes at most 24 characters
        const auto [end, error] = detail::write_real(text, text + sizeof text, *v);
        if (error != std::errc{}) throw Error(ErrorKind::Overflow, "numero non rappresentabile nel CSV");
        out.append(text, end);
    }
    out += after;
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
    std::string head;
    for (const MemberResult& m : r.members) {
        head.clear();
        put_text(head, m.id, ',');
        put_text(head, m.section, ',');
        if (!m.error.empty()) {
            out += head;
            out += "errore,,,,,,,,,";
            put_text(out, m.error, '\n');
            continue;
        }
        for (const EnvelopeCheck& e : m.checks) {
            const CheckResult& c = e.check;
            out += head;
            put_text(out, c.id, ',');
            put_text(out, c.clause, ',');
            put_text(out, c.combination ? std::string_view(*c.combination) : std::string_view(), ',');
            put_number(out, e.x, ',');
            put_number(out, c.demand, ',');
            put_number(out, c.capacity, ',');
            put_text(out, c.unit, ',');
            put_number(out, c.ratio, ',');
            out += c.verified ? "verificata\n" : "NON verificata\n";
        }
    }
    return out;
}

}  // namespace ferrolit
