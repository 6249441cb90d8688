#include "record/text_record.hpp"

#include <algorithm>
#include <sstream>
#include <vector>

#include "common/check_families.hpp"
#include "common/local_date.hpp"
#include "common/report_numbers.hpp"

namespace ferrolit::cli {

namespace {

// Display width of a UTF-8 text: its code points.
std::size_t width(const std::string& s) {
    std::size_t n = 0;
    for (unsigned char c : s)
        if ((c & 0xC0) != 0x80) ++n;
    return n;
}

std::string left(const std::string& s, std::size_t w) { return s + std::string(w > width(s) ? w - width(s) : 0, ' '); }
std::string right(const std::string& s, std::size_t w) { return std::string(w > width(s) ? w - width(s) : 0, ' ') + s; }

std::string name_of(const VerificationResult& r) {
    return r.input.description.empty() ? "(senza descrizione)" : "\"" + r.input.description + "\"";
}

std::string governing_text(const VerificationResult& r, std::size_t i) {
    const CheckResult& c = r.checks[i];
    return check_title(c.id) + " (" + c.id + ")" + (c.combination ? ", combinazione \"" + *c.combination + "\"" : "") +
           ", " + c.clause + ", rapporto " + ratio_text(c.ratio) + ", " + verdict(c.verified);
}

void section(std::ostream& out, const VerificationResult& r) {
    const VerificationInput& in = r.input;
    out << "SEZIONE\n  " << member_type_name(in.member) << ", forma " << shape_kind_name(in.shape.kind);
    const analysis::Dimensions& d = in.shape.dimensions;
    if (in.shape.kind == ShapeKind::Polygon) {
        out << ": contorno di " << r.shape.outline.size() << " vertici, " << r.shape.holes.size() << " fori\n";
    } else if (is_circular(in.shape.kind)) {
        out << ": diametro " << decimal(in.shape.diameter, 0) << " mm";
        if (in.shape.kind == ShapeKind::Annulus)
            out << ", diametro interno " << decimal(in.shape.inner_diameter, 0) << " mm";
        out << " (poligono inscritto di " << r.shape.outline.size() << " lati)\n";
    } else {
        out << ": Base " << decimal(d.Base, 0) << " mm, Altezza " << decimal(d.Altezza, 0) << " mm";
        if (in.shape.kind != ShapeKind::Rectangle)
            out << ", anima BaseInf " << decimal(d.BaseInf, 0) << " mm, ala SpessoreT " << decimal(d.SpessoreT, 0)
                << " mm";
        out << "\n";
    }
    out << "  Area " << decimal(r.area, 0) << " mm², baricentro y " << decimal(r.centroid.y, 1) << " mm, z "
        << decimal(r.centroid.z, 1) << " mm; N_Rd,max " << decimal(r.N_Rd_max, 1) << " kN, N_Rd,min "
        << decimal(r.N_Rd_min, 1) << " kN\n";
    out << "  Armature longitudinali:\n";
    for (const LayerRecord& l : r.layers)
        out << "    " << left(l.name, 9) << left(l.bars.empty() ? "—" : l.bars, 14) << right(decimal(l.area, 0), 6)
            << " mm²   copriferro netto " << decimal(l.clear_cover, 0) << " mm, al centro " << decimal(l.cover, 0)
            << " mm   " << origin_name(l.origin) << (l.origin == Origin::CodeMinimum ? " (ImpostaFerriNorm)" : "")
            << "\n";
    std::size_t explicit_bars = 0;
    for (const PlacedBar& b : r.bars) explicit_bars += b.layer == "barre" ? 1 : 0;
    if (explicit_bars > 0) {
        out << "    barre    ";
        for (const PlacedBar& b : r.bars)
            if (b.layer == "barre")
                out << "ø" << decimal(b.diameter, 0) << " (" << decimal(b.y, 0) << "; " << decimal(b.z, 0) << ") ";
        out << "\n";
    }
    if (r.stirrups) {
        const StirrupsRecord& s = *r.stirrups;
        out << "  Staffe ø" << decimal(s.diameter, 0) << " a " << s.legs << " bracci, passo " << decimal(s.spacing, 0)
            << " mm, inclinazione " << decimal(s.angle, 0) << "°: " << decimal(s.per_metre, 0) << " mm²/m, "
            << origin_name(s.origin) << (s.origin == Origin::CodeMinimum ? " (ImpostaStaffeNorm)" : "") << "\n";
    } else {
        out << "  Staffe: nessuna\n";
    }
}

void materials(std::ostream& out, const VerificationResult& r) {
    const analysis::Concrete& c = r.input.concrete;
    const analysis::Steel& s = r.input.steel;
    out << "\nMATERIALI\n";
    out << "  Calcestruzzo " << (c.name.empty() ? "(per valori)" : c.name) << ": fck " << decimal(c.fck, 2) << " MPa";
    if (c.Rck > 0) out << ", Rck " << decimal(c.Rck, 2) << " MPa";
    out << ", fcm " << decimal(c.fcm, 2) << " MPa, fctm " << decimal(c.fctm, 2) << " MPa, fctk0,05 "
        << decimal(c.fctk05, 2) << " MPa, Ecm " << decimal(c.Ec, 0) << " MPa\n";
    out << "    αcc " << decimal(c.alpha_cc, 3) << ", γc " << decimal(c.gamma_c, 2) << ", fcd = αcc·fck/γc "
        << decimal(c.fcd(), 2) << " MPa, εc2 " << decimal(c.eps_c2 * 1000, 2) << " ‰, εcu "
        << decimal(c.eps_cu * 1000, 2) << " ‰, " << concrete_law_names(c.law).italian;
    if (c.law == analysis::ConcreteLaw::ParabolaRectangle) out << " (n " << decimal(c.n, 2) << ")";
    out << "\n";
    out << "  Acciaio " << (s.name.empty() ? "(per valori)" : s.name) << ": fyk " << decimal(s.fyk, 1) << " MPa, γs "
        << decimal(s.gamma_s, 2) << ", fyd = fyk/γs " << decimal(s.fyd(), 1) << " MPa, Es " << decimal(s.Es, 0)
        << " MPa, εyd " << decimal(s.eps_yd() * 1000, 3) << " ‰, εud "
        << (s.eps_ud ? decimal(*s.eps_ud * 1000, 2) + " ‰" : std::string("senza limite")) << "\n";
    const VerificationInput& in = r.input;
    out << "  Esercizio: αe = " << decimal(in.alpha_e, 1) << (in.alpha_e == 15 ? " (convenzionale)" : " (assegnato)")
        << ", ambiente " << environment_name(in.environment) << ", armature "
        << (in.sensitive_bars ? "sensibili" : "poco sensibili") << "\n";
    out << "  Dettagli: aggregato dmax " << decimal(in.aggregate_size.value_or(kDefaultAggregateSize), 0)
        << (in.aggregate_size ? " mm (assegnato)" : " mm (predefinito)") << ", tolleranza di posa del copriferro "
        << decimal(in.cover_tolerance.value_or(kDefaultCoverTolerance), 0)
        << (in.cover_tolerance ? " mm (assegnata)" : " mm (predefinita)") << "\n";
}

void combinations(std::ostream& out, const VerificationResult& r) {
    out << "\nCOMBINAZIONI (N kN, compressione positiva; My, Mz kNm; Vy, Vz kN; T kNm)\n";
    if (r.input.combinations.empty()) {
        out << "  nessuna\n";
        return;
    }
    out << "  " << left("nome", 16) << left("tipo", 22) << right("N", 10) << right("My", 10) << right("Mz", 10)
        << right("Vy", 10) << right("Vz", 10) << right("T", 10) << "\n";
    for (const Combination& c : r.input.combinations)
        out << "  " << left(c.name, 16) << left(combination_kind_name(c.kind), 22) << right(decimal(c.N, 2), 10)
            << right(decimal(c.My, 2), 10) << right(decimal(c.Mz, 2), 10) << right(decimal(c.Vy, 2), 10)
            << right(decimal(c.Vz, 2), 10) << right(decimal(c.T, 2), 10) << "\n";
}

void checks(std::ostream& out, const VerificationResult& r) {
    out << "\nVERIFICHE\n";
    std::vector<std::string> ids;
    for (const CheckResult& c : r.checks)
        if (std::find(ids.begin(), ids.end(), c.id) == ids.end()) ids.push_back(c.id);
    for (const std::string& id : ids) {
        const std::size_t g = *r.governing(id);
        const CheckResult& worst = r.checks[g];
        out << "\n"
            << check_title(id) << " (" << id << ") — determinante: "
            << (worst.combination ? "\"" + *worst.combination + "\"" : std::string("regola di dettaglio"))
            << ", rapporto " << ratio_text(worst.ratio) << ", " << verdict(worst.verified) << "\n";
        out << "  " << left("combinazione", 16) << left("norma", 16) << right("domanda", 12) << right("capacità", 12)
            << "  " << left("unità", 7) << right("rapporto", 9) << "   esito\n";
        for (const CheckResult& c : r.checks) {
            if (c.id != id) continue;
            std::string clause = c.clause.substr(0, c.clause.find(';'));
            out << "  " << left(c.combination.value_or("—"), 16) << left(clause, 16)
                << right(check_value_text(c.demand, c), 12) << right(check_value_text(c.capacity, c), 12) << "  "
                << left(c.unit, 7) << right(ratio_text(c.ratio), 9) << "   " << verdict(c.verified) << "\n";
            if (!c.note.empty()) out << "      " << c.note << "\n";
        }
    }
    if (r.not_run.empty()) return;
    out << "\nVERIFICHE NON ESEGUITE\n";
    for (const NotRun& n : r.not_run) out << "  - " << check_title(n.id) << " (" << n.id << "): " << n.reason << "\n";
}

}  // namespace

std::string report(const VerificationResult& r, const std::string& source) {
    std::ostringstream out;
    out << "ferrolit " << r.version << " — verifica della sezione " << name_of(r) << " — " << local_date("%d/%m/%Y")
        << "\n"
        << "Norma: NTC 2018 (D.M. 17/01/2018) e Circolare 21/01/2019 n. 7\n"
        << "Dati: " << source << "\n\n";
    out << "ESITO: " << (r.verified ? "SEZIONE VERIFICATA" : "SEZIONE NON VERIFICATA") << ", rapporto massimo "
        << ratio_text(r.max_ratio) << "\n";
    if (const auto g = r.governing()) out << "Verifica determinante: " << governing_text(r, *g) << "\n";
    out << "\n";
    section(out, r);
    materials(out, r);
    combinations(out, r);
    checks(out, r);
    if (!r.warnings.empty()) {
        out << "\nAVVERTENZE\n";
        for (const std::string& w : r.warnings) out << "  - " << w << "\n";
    }
    out << "\nESITO: " << (r.verified ? "SEZIONE VERIFICATA" : "SEZIONE NON VERIFICATA") << " (rapporto massimo "
        << ratio_text(r.max_ratio) << ")\n";
    return out.str();
}

std::string summary_line(const VerificationResult& r, const std::string& source) {
    std::ostringstream out;
    out << source << ": " << name_of(r) << " " << (r.verified ? "VERIFICATA" : "NON VERIFICATA")
        << ", rapporto massimo " << ratio_text(r.max_ratio);
    if (const auto g = r.governing()) {
        const CheckResult& c = r.checks[*g];
        out << " (" << c.id << (c.combination ? ", \"" + *c.combination + "\"" : std::string()) << ")";
    }
    return out.str();
}

}  // namespace ferrolit::cli
