#include "record/data_tables.hpp"

#include <cctype>
#include <sstream>

#include "record/html_text.hpp"

namespace ferrolit::cli {

namespace {

// A table of names and values: <tr><th>name</th><td>value</td></tr>.
class Pairs {
public:
    Pairs(std::ostream& out, const std::string& caption, const std::string& kind) : out_(out) {
        out_ << "<table class=\"pairs\" data-table=\"" << kind << "\">\n<caption>" << caption
             << "</caption>\n<tbody>\n";
    }
    ~Pairs() { out_ << "</tbody>\n</table>\n"; }
    Pairs(const Pairs&) = delete;
    Pairs& operator=(const Pairs&) = delete;
    Pairs& row(const std::string& name, const std::string& value, const std::string& note = "") {
        out_ << "<tr><th>" << name << "</th><td class=\"num\">" << value << "</td><td class=\"remark\">" << note
             << "</td></tr>\n";
        return *this;
    }

private:
    std::ostream& out_;
};

}  // namespace

std::string geometry_table(const VerificationResult& r) {
    const VerificationInput& in = r.input;
    const analysis::Dimensions& d = in.shape.dimensions;
    std::ostringstream out;
    {
        Pairs t(out, "Geometria", "geometry");
        std::string member = member_type_name(in.member);
        member[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(member[0])));
        t.row("Elemento", member);
        t.row("Forma", escaped(shape_kind_name(in.shape.kind)));
        if (in.shape.kind == ShapeKind::Polygon) {
            t.row("Contorno", std::to_string(r.shape.outline.size()) + " vertici");
            t.row("Fori", std::to_string(r.shape.holes.size()));
        } else if (is_circular(in.shape.kind)) {
            t.row("Diametro D", quantity(in.shape.diameter, 0, "mm"),
                  "poligono inscritto di " + std::to_string(r.shape.outline.size()) + " lati");
            if (in.shape.kind == ShapeKind::Annulus)
                t.row("Diametro interno D<sub>i</sub>", quantity(in.shape.inner_diameter, 0, "mm"));
        } else {
            t.row("Base B", quantity(d.Base, 0, "mm"));
            t.row("Altezza H", quantity(d.Altezza, 0, "mm"));
            if (in.shape.kind != ShapeKind::Rectangle) {
                t.row("Anima BaseInf", quantity(d.BaseInf, 0, "mm"));
                t.row("Ala SpessoreT", quantity(d.SpessoreT, 0, "mm"));
            }
        }
        t.row("Area A<sub>c</sub>", quantity(r.area, 0, "mm²"));
        t.row("Baricentro G", "y " + quantity(r.centroid.y, 1, "mm") + ", z " + quantity(r.centroid.z, 1, "mm"));
        t.row("N<sub>Rd,max</sub>", quantity(r.N_Rd_max, 1, "kN"), "compressione centrata");
        t.row("N<sub>Rd,min</sub>", quantity(r.N_Rd_min, 1, "kN"), "trazione centrata");
    }
    return out.str();
}

std::string reinforcement_tables(const VerificationResult& r) {
    std::ostringstream out;
    out << "<table class=\"grid-table\" data-table=\"layers\">\n<caption>Armature longitudinali</caption>\n"
        << "<thead><tr><th>Strato</th><th>Barre</th><th class=\"num\">Area</th><th class=\"num\">Copriferro netto</th>"
           "<th class=\"num\">Al centro delle barre</th><th>Origine</th></tr></thead>\n<tbody>\n";
    for (const LayerRecord& l : r.layers)
        out << "<tr><td>" << escaped(l.name) << "</td><td>" << (l.bars.empty() ? "—" : escaped(l.bars))
            << "</td><td class=\"num\">" << quantity(l.area, 0, "mm²") << "</td><td class=\"num\">"
            << quantity(l.clear_cover, 0, "mm") << "</td><td class=\"num\">" << quantity(l.cover, 0, "mm")
            << "</td><td>" << origin_name(l.origin) << "</td></tr>\n";
    double explicit_area = 0;
    int explicit_count = 0;
    for (const PlacedBar& b : r.bars)
        if (b.layer == "barre") explicit_area += b.area, ++explicit_count;
    if (explicit_count > 0)
        out << "<tr><td>barre</td><td>" << explicit_count << " barre date per posizione</td><td class=\"num\">"
            << quantity(explicit_area, 0, "mm²")
            << "</td><td class=\"num\">—</td><td class=\"num\">—</td><td>assegnata</td></tr>\n";
    double total = 0;
    for (const PlacedBar& b : r.bars) total += b.area;
    out << "<tr class=\"total\"><td>Totale</td><td>" << r.bars.size() << " barre</td><td class=\"num\">"
        << quantity(total, 0, "mm²") << "</td><td></td><td></td><td></td></tr>\n</tbody>\n</table>\n";
    out << "<p class=\"stirrups\">";
    if (r.stirrups) {
        const StirrupsRecord& s = *r.stirrups;
        out << "Staffe ø" << decimal(s.diameter, 0) << " a " << s.legs << " bracci, passo "
            << quantity(s.spacing, 0, "mm") << ", inclinazione " << quantity(s.angle, 0, "°") << ": "
            << quantity(s.per_metre, 0, "mm²/m") << " (" << origin_name(s.origin) << ")";
    } else {
        out << "Staffe: nessuna";
    }
    out << "</p>\n";
    return out.str();
}

std::string materials_tables(const VerificationResult& r) {
    const analysis::Concrete& c = r.input.concrete;
    const analysis::Steel& s = r.input.steel;
    const VerificationInput& in = r.input;
    std::ostringstream out;
    out << "<div class=\"columns\">\n";
    {
        Pairs t(out, "Calcestruzzo " + (c.name.empty() ? std::string("(per valori)") : escaped(c.name)), "concrete");
        t.row("f<sub>ck</sub>", quantity(c.fck, 2, "MPa"), "resistenza caratteristica cilindrica");
        if (c.Rck > 0) t.row("R<sub>ck</sub>", quantity(c.Rck, 2, "MPa"), "resistenza caratteristica cubica");
        t.row("f<sub>cm</sub>", quantity(c.fcm, 2, "MPa"), "resistenza media a compressione");
        t.row("f<sub>ctm</sub>", quantity(c.fctm, 2, "MPa"), "resistenza media a trazione");
        t.row("f<sub>ctk,0,05</sub>", quantity(c.fctk05, 2, "MPa"), "frattile 5 % della resistenza a trazione");
        t.row("E<sub>cm</sub>", quantity(c.Ec, 0, "MPa"), "modulo elastico");
        t.row("α<sub>cc</sub>", decimal(c.alpha_cc, 3));
        t.row("γ<sub>c</sub>", decimal(c.gamma_c, 2));
        t.row("f<sub>cd</sub>", quantity(c.fcd(), 2, "MPa"), "α<sub>cc</sub>·f<sub>ck</sub>/γ<sub>c</sub>");
        t.row("ε<sub>c2</sub>", per_mille(c.eps_c2, 2));
        t.row("ε<sub>cu</sub>", per_mille(c.eps_cu, 2));
        t.row("Legame", std::string(concrete_law_names(c.law).italian),
              c.law == analysis::ConcreteLaw::ParabolaRectangle ? "n = " + decimal(c.n, 2) + ", §4.1.2.1.2.1"
                                                                : std::string("§4.1.2.1.2.1"));
    }
    {
        Pairs t(out, "Acciaio " + (s.name.empty() ? std::string("(per valori)") : escaped(s.name)), "steel");
        t.row("f<sub>yk</sub>", quantity(s.fyk, 1, "MPa"), "tensione caratteristica di snervamento");
        t.row("γ<sub>s</sub>", decimal(s.gamma_s, 2));
        t.row("f<sub>yd</sub>", quantity(s.fyd(), 1, "MPa"), "f<sub>yk</sub>/γ<sub>s</sub>");
        t.row("E<sub>s</sub>", quantity(s.Es, 0, "MPa"));
        t.row("ε<sub>yd</sub>", per_mille(s.eps_yd(), 3), "f<sub>yd</sub>/E<sub>s</sub>");
        t.row("ε<sub>uk</sub>", per_mille(s.eps_uk, 1));
        t.row("ε<sub>ud</sub>", s.eps_ud ? per_mille(*s.eps_ud, 2) : "senza limite", "deformazione ultima di progetto");
        t.row("Legame", steel_law_name(s),
              s.hardening ? "k = " + decimal(s.k, 2) + ", §4.1.2.1.2.2" : std::string("§4.1.2.1.2.2"));
    }
    {
        Pairs t(out, "Esercizio", "service");
        t.row("α<sub>e</sub>", decimal(in.alpha_e, 1), in.alpha_e == 15 ? "convenzionale" : "assegnato");
        t.row("Ambiente", escaped(environment_name(in.environment)), "Tab. 4.1.III");
        t.row("Armature", in.sensitive_bars ? "sensibili" : "poco sensibili", "Tab. 4.1.IV");
        if (in.wk_limit) t.row("w<sub>k</sub> limite", quantity(*in.wk_limit, 2, "mm"), "assegnato");
        if (in.cot_theta) t.row("cot θ", decimal(*in.cot_theta, 2), "assegnato");
        t.row("Aggregato d<sub>max</sub>", quantity(in.aggregate_size.value_or(kDefaultAggregateSize), 0, "mm"),
              in.aggregate_size ? "assegnato" : "predefinito (EN 1992-1-1 §8.2)");
        t.row("Tolleranza di posa", quantity(in.cover_tolerance.value_or(kDefaultCoverTolerance), 0, "mm"),
              in.cover_tolerance ? "assegnata" : "predefinita (Tab. C4.1.IV)");
    }
    out << "</div>\n";
    return out.str();
}

std::string combinations_table(const VerificationResult& r) {
    std::ostringstream out;
    out << "<table class=\"grid-table\" data-table=\"combinations\">\n<caption>Combinazioni di carico (N positivo "
           "di compressione)</caption>\n<thead><tr><th>Nome</th><th>Tipo</th><th class=\"num\">N [kN]</th>"
           "<th class=\"num\">My [kNm]</th><th class=\"num\">Mz [kNm]</th><th class=\"num\">Vy [kN]</th>"
           "<th class=\"num\">Vz [kN]</th><th class=\"num\">T [kNm]</th></tr></thead>\n<tbody>\n";
    if (r.input.combinations.empty()) out << "<tr><td colspan=\"8\">nessuna</td></tr>\n";
    for (const Combination& c : r.input.combinations)
        out << "<tr><td>" << escaped(c.name) << "</td><td>" << combination_kind_name(c.kind)
            << "</td><td class=\"num\">" << decimal(c.N, 2) << "</td><td class=\"num\">" << decimal(c.My, 2)
            << "</td><td class=\"num\">" << decimal(c.Mz, 2) << "</td><td class=\"num\">" << decimal(c.Vy, 2)
            << "</td><td class=\"num\">" << decimal(c.Vz, 2) << "</td><td class=\"num\">" << decimal(c.T, 2)
            << "</td></tr>\n";
    out << "</tbody>\n</table>\n";
    return out.str();
}

std::string per_mille(double strain, int places) { return decimal(strain * 1000, places) + "&#160;‰"; }

const char* steel_law_name(const analysis::Steel& s) {
    return s.hardening ? "bilineare incrudente" : "elastico-perfettamente plastico";
}

}  // namespace ferrolit::cli
