// Stand-in for the HTML calculation record while the full record is built on
// its own branch: a page with the domains and one table of the checks.

#include <sstream>

#include "record/html_record.hpp"
#include "svg.hpp"

namespace ferrolit::cli {

std::string html_record(const std::vector<RecordSection>& sections, const RecordOptions& options) {
    std::ostringstream out;
    out << "<!DOCTYPE html><html lang=\"it\"><head><meta charset=\"utf-8\"><title>Relazione</title></head><body>"
        << "<h1>ferrolit " << options.version << " — " << options.date << "</h1>";
    for (const RecordSection& s : sections) {
        if (!s.result) {
            out << "<p>Riga " << s.line << ": errore</p>";
            continue;
        }
        out << "<section>" << domains_svg(*s.result, domains_of(*s.result)) << "<table><tr><th>Verifica</th>"
            << "<th>Rapporto</th></tr>";
        for (const CheckResult& c : s.result->checks)
            out << "<tr><td>" << c.id << "</td><td>" << c.ratio << "</td></tr>";
        out << "</table></section>";
    }
    return out.str() + "</body></html>";
}

}  // namespace ferrolit::cli
