#include "report.hpp"

#include <cmath>
#include <sstream>

#include "report_numbers.hpp"

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

std::string name_of(const Verification& v) {
    const std::string d = v.section->DescrSezione();
    return d.empty() ? "(senza descrizione)" : "\"" + d + "\"";
}

// One row of the table of checks.
void check_row(std::ostream& out, const std::string& check, const std::string& rule, const std::string& demand,
               const std::string& capacity, double ratio, bool ok) {
    out << "  " << left(check, 14) << left(rule, 17) << right(demand, 12) << right(capacity, 13)
        << right(ratio_text(ratio), 10) << "   " << verdict(ok) << "\n";
}

void detail_row(std::ostream& out, const std::string& text) { out << "  " << std::string(14, ' ') << text << "\n"; }

void geometry(std::ostream& out, const Verification& v) {
    const Section& s = *v.section;
    out << "GEOMETRIA\n";
    auto row = [&](const std::string& label, double mm) {
        out << "  " << left(label, 26) << right(decimal(mm, 0), 6) << " mm\n";
    };
    if (v.tee) {
        const auto& t = dynamic_cast<const clsSezT&>(s);
        row("Larghezza ala B", t.Base());
        row("Spessore ala", t.SpessoreT());
        row("Larghezza anima", t.BaseInf());
    } else {
        row("Base B", s.Base());
    }
    row("Altezza H", s.Altezza());
    row("Copriferro inferiore", s.Copriferro_Inf());
    row("Copriferro superiore", s.Copriferro_Sup());
    row("Altezza utile d", s.Altezza() - s.Copriferro_Inf());
}

void materials(std::ostream& out, const Section& s) {
    out << "\nMATERIALI\n";
    const std::string cls = s.ClasseCls().empty() ? "(valori assegnati)" : s.ClasseCls();
    const std::string steel = s.ClasseAcciaio().empty() ? "(valori assegnati)" : s.ClasseAcciaio();
    out << "  Calcestruzzo " << left(cls, 19) << "fck " << decimal(s.fck(), 2) << " MPa   fcd " << decimal(s.fcd(), 2)
        << " MPa   fctm " << decimal(s.fctm(), 2) << " MPa   Ec " << decimal(s.Ec(), 0) << " MPa\n";
    out << "  Acciaio      " << left(steel, 19) << "fyk " << decimal(s.fyk(), 1) << " MPa   fyd " << decimal(s.fyd(), 1)
        << " MPa   Es " << decimal(s.Es(), 0) << " MPa   eps_ud " << decimal(s.eps_ud(), 4) << "\n";
}

void reinforcement(std::ostream& out, const Verification& v) {
    out << "\nARMATURE\n";
    for (const Layer& l : v.layers) {
        const std::string bars = l.bars.empty() ? "-" : l.bars;
        out << "  " << left(l.name, 9) << left(bars, 12) << right(decimal(l.area, 0), 6) << " mm²   "
            << (l.chosen ? "minimo di normativa (ImpostaFerriNorm)" : "assegnata") << "\n";
    }
    const Stirrups& st = v.stirrups;
    out << "  " << left("Staffe", 9) << "ø" << decimal(st.diameter, 0) << " a " << st.legs << " bracci, passo "
        << decimal(st.spacing, 0) << " mm: " << decimal(st.per_metre, 0) << " mm²/m   "
        << (st.chosen ? "da normativa (ImpostaStaffeNorm)" : "assegnate") << "\n";
    out << "  Limiti di normativa: As,min " << decimal(v.AsMin, 0) << " mm², As,max " << decimal(v.AsMax, 0)
        << " mm², staffe minime " << decimal(st.minimum, 0) << " mm²/m\n";
}

void actions(std::ostream& out, const Section& s) {
    out << "\nAZIONI\n";
    out << "  Ned_x " << decimal(s.Ned_x(), 1) << " kN   Med_y " << decimal(s.Med_y(), 1) << " kNm   Med_z "
        << decimal(s.Med_z(), 1) << " kNm   Taglio_z " << decimal(s.Taglio_z(), 1) << " kN   Taglio_y "
        << decimal(s.Taglio_y(), 1) << " kN\n";
}

void flexure_rows(std::ostream& out, const Flexure& f) {
    const std::string check = "Flessione " + f.direction;
    const std::string rule = "|Med_" + std::string(f.direction == "Y" ? "y" : "z") + "| ≤ Mrd" + f.direction;
    if (f.outside_domain) {
        check_row(out, check, rule, decimal(std::fabs(f.Med), 2) + " kNm", "-", f.ratio, f.ok);
        detail_row(out, "Ned_x = " + decimal(f.Ned, 1) + " kN è fuori dal dominio di resistenza:");
        detail_row(out, "la sezione non regge lo sforzo normale, nessun momento resistente");
        return;
    }
    check_row(out, check, rule, decimal(std::fabs(f.Med), 2) + " kNm", decimal(f.Mrd, 2) + " kNm", f.ratio, f.ok);
    detail_row(out, "a Ned_x " + decimal(f.Ned, 1) + " kN: asse neutro " + decimal(f.xn, 1) + " mm, acciaio teso " +
                        decimal(f.sigma_tension, 1) + " MPa, compresso " + decimal(f.sigma_compression, 1) + " MPa");
}

void shear_rows(std::ostream& out, const Shear& v, bool stirrups) {
    check_row(out, "Taglio " + v.plane, "Ved ≤ VRd", decimal(v.Ved, 2) + " kN", decimal(v.Vrd, 2) + " kN", v.ratio,
              v.ok);
    detail_row(out, "senza staffe " + decimal(v.Vrd_cls, 2) + " kN, staffe VRsd " + decimal(v.Vrsd, 2) +
                        " kN, bielle VRcd " + decimal(v.Vrcd, 2) + " kN" +
                        (stirrups ? "; VRd = min(VRsd, VRcd)" : "; nessuna staffa: VRd = senza staffe"));
}

void checks(std::ostream& out, const Verification& v) {
    out << "\n"
        << left("VERIFICHE", 33) << right("azione", 12) << right("resistenza", 13) << right("rapporto", 10)
        << "   esito\n";
    flexure_rows(out, v.flexure[0]);
    if (v.flexure[1].direction.empty()) {
        out << "  " << left("Flessione Z", 14) << "non richiesta (Med_z = 0 e nessuna armatura laterale)\n";
    } else {
        flexure_rows(out, v.flexure[1]);
    }
    if (v.biaxial) {
        check_row(out, "Deviata", "My/MrdY+Mz/MrdZ", "", "≤ 1", v.biaxial->value, v.biaxial->ok);
        detail_row(out, "(|Med_y|/MrdY)^α + (|Med_z|/MrdZ)^α ≤ 1 con α = 1");
    }
    const bool stirrups = v.section->Astaffa() > 0;
    shear_rows(out, v.shear[0], stirrups);
    shear_rows(out, v.shear[1], stirrups);
    const Crack& c = v.crack;
    check_row(out, "Fessure", "wk ≤ wk,lim", decimal(c.Wk, 3) + " mm", decimal(c.wk_lim, 3) + " mm", c.ratio, c.ok);
    detail_row(out, "Med_Fes " + decimal(c.Med_Fes, 1) + " kNm" +
                        (c.hogging ? " (negativo: tese le barre superiori)" : "") + ", εsm " + decimal(c.EPSsm, 6) +
                        ", Δsm " + decimal(c.DELTAsm, 1) + " mm; limite: " + c.limit_source);
}

void notes(std::ostream& out, const Verification& v) {
    std::vector<std::string> lines;
    const Stirrups& st = v.stirrups;
    if (st.short_of_minimum)
        lines.push_back("le staffe più robuste ammesse non raggiungono il minimo di normativa");
    else if (st.per_metre < st.minimum)
        lines.push_back("staffe assegnate sotto il minimo di normativa (" + decimal(st.per_metre, 0) + " < " +
                        decimal(st.minimum, 0) + " mm²/m)");
    if (v.crack.unknown_diameter)
        lines.push_back(std::string("barre tese date solo come area: la spaziatura delle fessure non tiene conto del") +
                        " loro diametro e wk risulta sottostimata; indicare la stringa delle armature");
    for (const Layer& l : v.layers)
        if (l.area > v.AsMax) lines.push_back(l.name + " oltre l'armatura massima di normativa");
    for (const std::string& m : v.messages) lines.push_back(m);
    if (lines.empty()) return;
    out << "\nNOTE\n";
    for (const std::string& l : lines) out << "  - " << l << "\n";
}

}  // namespace

std::string report(const Verification& v) {
    std::ostringstream out;
    const Section& s = *v.section;
    out << "Verifica della sezione " << name_of(v) << ": " << s.TipoSezione() << ", "
        << (v.tee ? "sezione a T" : "sezione rettangolare") << " (" << v.file << ":" << v.line << ")\n\n";
    geometry(out, v);
    materials(out, s);
    reinforcement(out, v);
    actions(out, s);
    checks(out, v);
    notes(out, v);
    out << "\nESITO: " << (v.ok() ? "SEZIONE VERIFICATA" : "SEZIONE NON VERIFICATA") << " (rapporto massimo "
        << ratio_text(v.max_ratio()) << ", " << v.governing() << ")\n";
    return out.str();
}

std::string summary_line(const Verification& v) {
    std::ostringstream out;
    out << v.file << ":" << v.line << ": " << name_of(v) << " " << (v.ok() ? "VERIFICATA" : "NON VERIFICATA")
        << ", rapporto massimo " << ratio_text(v.max_ratio()) << " (" << v.governing() << ")";
    return out.str();
}

}  // namespace ferrolit::cli
