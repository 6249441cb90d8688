#include "csv.hpp"

#include <cstdio>
#include <sstream>

namespace ferrolit::cli {

namespace {

// A field in quotes, with quotes inside doubled.
std::string quoted(const std::string& s) {
    std::string q = "\"";
    for (char c : s) q += c == '"' ? std::string("\"\"") : std::string(1, c);
    return q + "\"";
}

std::string number(float v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.9g", static_cast<double>(v));
    return text;
}

void branch_rows(std::ostream& out, const std::string& section, const std::string& direction, const char* sign,
                 const Branch& b) {
    for (std::size_t i = 0; i < b.N.size(); ++i)
        out << section << "," << direction << "," << sign << "," << i + 1 << "," << number(b.N[i]) << ","
            << number(b.M[i]) << "\n";
}

}  // namespace

std::string domains_csv(const std::vector<Verification>& verifications) {
    std::ostringstream out;
    out << "riga,sezione,direzione,ramo,punto,N_kN,M_kNm\n";
    for (const Verification& v : verifications) {
        const std::string section = std::to_string(v.line) + "," + quoted(v.section->DescrSezione());
        for (const Domain& d : v.domains) {
            branch_rows(out, section, d.direction, "+", d.positive);
            branch_rows(out, section, d.direction, "-", d.negative);
        }
    }
    return out.str();
}

}  // namespace ferrolit::cli
