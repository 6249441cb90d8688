#include "verify/members/forces_table.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "core/real_text.hpp"
#include "verify/input/name_lists.hpp"
#include "verify/members/model_errors.hpp"

namespace ferrolit::members {

namespace {

using nlohmann::json;
using verification::same_ignoring_case;

// A force above this (kN, kNm) is no building's: the verification refuses it.
constexpr double kLargestValue = 1e12;
constexpr std::size_t kLongestField = 200;
// A longer line of the table is no row of forces: read no further than this.
constexpr std::size_t kLongestLine = 1 << 16;

struct UnitName {
    const char* name;
    double factor;
};
constexpr UnitName kForceUnits[] = {{"kN", 1}, {"N", 1e-3}, {"MN", 1e3}};
constexpr UnitName kMomentUnits[] = {{"kNm", 1}, {"Nm", 1e-3}, {"kNmm", 1e-3}, {"Nmm", 1e-6}, {"MNm", 1e3}};
constexpr UnitName kLengthUnits[] = {{"m", 1}, {"mm", 1e-3}, {"cm", 1e-2}};

template <std::size_t N>
double unit_factor(const json& units, const char* key, const UnitName (&table)[N]) {
    if (!units.contains(key)) return 1;
    const json& v = units[key];
    std::string allowed;
    for (const UnitName& u : table) {
        if (v.is_string() && v.get<std::string>() == u.name) return u.factor;
        allowed += (allowed.empty() ? "ammesse \"" : ", \"") + std::string(u.name) + "\"";
    }
    model_error(std::string("convenzioni.unita.") + key, allowed);
}

int column_of(std::string_view name) {
    for (int c = 0; c < kColumnCount; ++c)
        if (name == kColumnNames[c]) return c;
    return -1;
}

std::string our_columns() {
    std::string text;
    for (const char* c : kColumnNames) text += (text.empty() ? "\"" : ", \"") + std::string(c) + "\"";
    return text;
}

std::string_view trimmed(std::string_view s) {
    const std::size_t a = s.find_first_not_of(" \t\r");
    if (a == std::string_view::npos) return {};
    return s.substr(a, s.find_last_not_of(" \t\r") - a + 1);
}

// A number as an analysis program writes it: decimal point or comma, an exponent.
std::optional<double> number_of(std::string_view text) {
    std::string s(trimmed(text));
    if (std::count(s.begin(), s.end(), ',') + std::count(s.begin(), s.end(), '.') > 1) return std::nullopt;
    std::replace(s.begin(), s.end(), ',', '.');
    if (!s.empty() && s.front() == '+') s.erase(0, 1);
    double v = 0;
    const auto [end, ec] = ferrolit::detail::read_real(s.data(), s.data() + s.size(), v);
    if (s.empty() || ec != std::errc() || end != s.data() + s.size() || !std::isfinite(v)) return std::nullopt;
    return v;
}

// The row's fields in our columns' order (empty: the column is absent), made a ForceRow.
class RowBuilder {
public:
    explicit RowBuilder(const Conventions& c) : conventions_(c) {}

    ForceRow build(int line, const std::optional<std::string> (&fields)[kColumnCount]) const {
        ForceRow row;
        row.line = line;
        row.member = fields[kMember].value_or("");
        row.combination = fields[kCombination].value_or("");
        auto fail = [&](std::string problem) {
            if (row.problem.empty()) row.problem = "riga " + std::to_string(line) + ": " + std::move(problem);
        };
        if (row.member.empty()) fail("membratura mancante");
        if (row.combination.empty()) fail("combinazione mancante");
        if (row.member.size() > kLongestField || row.combination.size() > kLongestField)
            fail("nome oltre 200 caratteri");
        double* targets[kColumnCount] = {nullptr, &row.x,  nullptr, nullptr, &row.N,
                                         &row.Vy, &row.Vz, &row.T,  &row.My, &row.Mz};
        for (int c = 0; c < kColumnCount; ++c) {
            if (!targets[c] || !fields[c]) continue;
            const auto v = number_of(*fields[c]);
            if (!v || std::fabs(*v) > kLargestValue) {
                fail(std::string(kColumnNames[c]) + " \"" + fields[c]->substr(0, 40) +
                     "\" non è un numero utilizzabile");
                continue;
            }
            const double factor = c == kStation                     ? conventions_.length_factor
                                  : c == kT || c == kMy || c == kMz ? conventions_.moment_factor
                                                                    : conventions_.force_factor;
            *targets[c] = *v * factor * conventions_.sign[c];
        }
        resolve_kind(row, fields[kKind], fail);
        return row;
    }

private:
    template <class Fail>
    void resolve_kind(ForceRow& row, const std::optional<std::string>& text, Fail& fail) const {
        const auto mapped = conventions_.kinds.find(row.combination);
        if (text && !trimmed(*text).empty()) {
            row.kind = verification::parse_name(kCombinationKinds, trimmed(*text));
            if (!row.kind)
                fail("tipo \"" + text->substr(0, 40) +
                     "\": " + verification::allowed_names("ammessi", kCombinationKinds));
            else if (mapped != conventions_.kinds.end() && mapped->second != *row.kind)
                fail("tipo \"" + *text + "\" contraddice combinazioni[\"" + row.combination + "\"]");
        } else if (mapped != conventions_.kinds.end()) {
            row.kind = mapped->second;
        } else if (!row.combination.empty()) {
            fail("combinazione \"" + row.combination +
                 "\" senza tipo: indicarlo nella colonna \"tipo\" o in \"combinazioni\" del modello");
        }
    }

    const Conventions& conventions_;
};

// The table's header of one of our columns.
std::string header_of(const Conventions& c, int column) {
    const auto it = c.headers.find(kColumnNames[column]);
    return it == c.headers.end() ? kColumnNames[column] : it->second;
}

// ---------------------------------------------------------------- CSV

class CsvRows : public RowSource {
public:
    CsvRows(std::istream& in, std::string name, const Conventions& c)
        : in_(in), name_(std::move(name)), conventions_(c), builder_(c) {
        std::string header;
        if (!read_line(header)) fail_table("file vuoto: manca la riga di intestazione");
        line_ = 1;
        if (header.rfind("\xEF\xBB\xBF", 0) == 0) header.erase(0, 3);  // a byte-order mark
        separator_ = separator_of(header);
        const std::vector<std::string> names = split(header);
        for (int c = 0; c < kColumnCount; ++c) {
            const auto mapped = c_headers(c);
            for (std::size_t i = 0; i < names.size(); ++i)
                if (same_ignoring_case(trimmed(names[i]), mapped)) index_[c] = static_cast<int>(i);
        }
        for (const int c : {kMember, kStation, kCombination})
            if (index_[c] < 0)
                fail_table("manca la colonna \"" + c_headers(c) + "\"" +
                           (c_headers(c) != kColumnNames[c] ? std::string(" (") + kColumnNames[c] + ")" : "") +
                           "; colonne della tabella: " + header.substr(0, 200));
    }

    std::optional<ForceRow> next() override {
        std::string text;
        while (read_line(text)) {
            ++line_;
            if (trimmed(text).empty()) continue;
            const std::vector<std::string> cells = split(text);
            std::optional<std::string> fields[kColumnCount];
            for (int c = 0; c < kColumnCount; ++c)
                if (index_[c] >= 0 && static_cast<std::size_t>(index_[c]) < cells.size())
                    fields[c] = std::string(trimmed(cells[index_[c]]));
                else if (index_[c] >= 0)
                    fields[c] = std::string();
            for (int c = kN; c < kColumnCount; ++c)
                if (fields[c] && fields[c]->empty()) fields[c].reset();  // an empty cell is a zero
            return builder_.build(line_, fields);
        }
        if (in_.bad()) fail_table("lettura interrotta alla riga " + std::to_string(line_));
        return std::nullopt;
    }

private:
    std::string c_headers(int c) const { return header_of(conventions_, c); }

    // A line without its end, held to kLongestLine; false at the end of the text.
    bool read_line(std::string& line) {
        line.clear();
        std::streambuf* buffer = in_.rdbuf();
        bool any = false;
        for (int c = buffer->sbumpc(); c != std::char_traits<char>::eof(); c = buffer->sbumpc()) {
            any = true;
            if (c == '\n') return true;
            if (line.size() >= kLongestLine)
                fail_table("riga " + std::to_string(line_ + 1) +
                           " oltre 65536 caratteri: non è una tabella di sollecitazioni");
            line += static_cast<char>(c);
        }
        return any;
    }

    static char separator_of(std::string_view header) {
        const auto n = [&](char c) { return std::count(header.begin(), header.end(), c); };
        if (n('\t') > n(';') && n('\t') > n(',')) return '\t';
        return n(';') > n(',') ? ';' : ',';
    }

    // The cells of a line; a cell in double quotes may hold the separator ("" is a quote).
    std::vector<std::string> split(std::string_view text) const {
        std::vector<std::string> cells(1);
        bool quoted = false;
        for (std::size_t i = 0; i < text.size(); ++i) {
            const char ch = text[i];
            if (quoted && ch == '"' && i + 1 < text.size() && text[i + 1] == '"') {
                cells.back() += '"';
                ++i;
            } else if (ch == '"') {
                quoted = !quoted;
            } else if (ch == separator_ && !quoted) {
                cells.emplace_back();
            } else if (cells.back().size() <= kLongestField) {
                cells.back() += ch;
            }
        }
        return cells;
    }

    [[noreturn]] void fail_table(const std::string& problem) const {
        throw InputError(name_ + ":" + std::to_string(line_) + ": " + problem, "", problem, line_, name_);
    }

    std::istream& in_;
    std::string name_;
    const Conventions& conventions_;
    RowBuilder builder_;
    char separator_ = ',';
    int line_ = 0;
    int index_[kColumnCount] = {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
};

// ---------------------------------------------------------------- rows of the model

class ListRows : public RowSource {
public:
    ListRows(const json& rows, const Conventions& c) : rows_(rows), conventions_(c), builder_(c) {}

    std::optional<ForceRow> next() override {
        if (index_ >= rows_.size()) return std::nullopt;
        const json& item = rows_[index_++];
        const int line = static_cast<int>(index_);
        if (!item.is_object())
            model_error("sollecitazioni[" + std::to_string(line) + "]", "ogni riga è un oggetto {colonna: valore}");
        std::optional<std::string> fields[kColumnCount];
        for (int c = 0; c < kColumnCount; ++c) {
            const auto it = item.find(header_of(conventions_, c));
            if (it == item.end() || it->is_null()) continue;
            if (it->is_string())
                fields[c] = it->get<std::string>().substr(0, kLongestField + 1);
            else if (it->is_number())
                fields[c] = it->dump();
            else
                fields[c] = "?";
        }
        return builder_.build(line, fields);
    }

private:
    const json& rows_;
    const Conventions& conventions_;
    RowBuilder builder_;
    std::size_t index_ = 0;
};

}  // namespace

Conventions read_conventions(const json& model) {
    Conventions c;
    const json none = json::object();
    const json& conv = model.contains("convenzioni") ? model["convenzioni"] : none;
    if (!conv.is_object()) model_error("convenzioni", "è un oggetto {colonne, segni, unita}");
    for (const auto& [key, value] : conv.items())
        if (key != "colonne" && key != "segni" && key != "unita")
            model_error("convenzioni." + key, "chiave sconosciuta: ammesse \"colonne\", \"segni\", \"unita\"");
    auto object_at = [&](const char* key) -> const json& {
        const json& v = conv.contains(key) ? conv[key] : none;
        if (!v.is_object()) model_error(std::string("convenzioni.") + key, "è un oggetto");
        return v;
    };
    for (const auto& [ours, theirs] : object_at("colonne").items()) {
        if (column_of(ours) < 0)
            model_error("convenzioni.colonne." + ours, "colonna sconosciuta: ammesse " + our_columns());
        if (!theirs.is_string() || theirs.get<std::string>().empty())
            model_error("convenzioni.colonne." + ours, "è l'intestazione della colonna nella tabella (un testo)");
        c.headers[ours] = theirs.get<std::string>();
    }
    for (const auto& [ours, sign] : object_at("segni").items()) {
        const int column = column_of(ours);
        if (column < kN && column != kStation)
            model_error("convenzioni.segni." + ours, "segno di una colonna numerica: ascissa, N, Vy, Vz, T, My, Mz");
        if (!sign.is_number() || (sign.get<double>() != 1 && sign.get<double>() != -1))
            model_error("convenzioni.segni." + ours, "ammessi 1 e -1");
        c.sign[column] = sign.get<double>();
    }
    const json& units = object_at("unita");
    for (const auto& [key, value] : units.items())
        if (key != "forze" && key != "momenti" && key != "ascissa")
            model_error("convenzioni.unita." + key, "chiave sconosciuta: ammesse \"forze\", \"momenti\", \"ascissa\"");
    c.force_factor = unit_factor(units, "forze", kForceUnits);
    c.moment_factor = unit_factor(units, "momenti", kMomentUnits);
    c.length_factor = unit_factor(units, "ascissa", kLengthUnits);
    if (model.contains("combinazioni")) {
        const json& kinds = model["combinazioni"];
        if (!kinds.is_object()) model_error("combinazioni", "è un oggetto {combinazione: tipo}");
        for (const auto& [name, kind] : kinds.items()) {
            const auto k =
                kind.is_string() ? verification::parse_name(kCombinationKinds, kind.get<std::string>()) : std::nullopt;
            if (!k) model_error("combinazioni." + name, verification::allowed_names("ammessi", kCombinationKinds));
            c.kinds[name] = *k;
        }
    }
    return c;
}

std::unique_ptr<RowSource> csv_rows(std::istream& in, const std::string& name, const Conventions& conventions) {
    return std::make_unique<CsvRows>(in, name, conventions);
}

std::unique_ptr<RowSource> list_rows(const json& rows, const Conventions& conventions) {
    return std::make_unique<ListRows>(rows, conventions);
}

}  // namespace ferrolit::members
