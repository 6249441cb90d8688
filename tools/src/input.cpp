#include "input.hpp"

#include <algorithm>
#include <cctype>
#include <cfloat>
#include <cmath>
#include <nlohmann/json.hpp>
#include <set>

#include "input_keys.hpp"

namespace ferrolit::cli {

namespace {

using nlohmann::json;

int line_at(const std::string& text, std::size_t offset, int first_line) {
    const std::size_t end = std::min(offset, text.size());
    int line = first_line;
    for (std::size_t i = 0; i < end; ++i)
        if (text[i] == '\n') ++line;
    return line;
}

// Lines of the keys of the outermost object of a valid JSON text. A key seen
// twice is an error: JSON would silently keep only one of the two values.
std::map<std::string, int> top_level_key_lines(const std::string& text, const std::string& file, int first_line) {
    std::map<std::string, int> lines;
    int depth = 0;
    int line = first_line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\n') {
            ++line;
        } else if (c == '{' || c == '[') {
            ++depth;
        } else if (c == '}' || c == ']') {
            --depth;
        } else if (c == '"') {
            const std::size_t start = i;
            for (++i; i < text.size() && text[i] != '"'; ++i)
                if (text[i] == '\\') ++i;
            std::size_t next = i + 1;
            while (next < text.size() && std::isspace(static_cast<unsigned char>(text[next]))) ++next;
            if (depth != 1 || next >= text.size() || text[next] != ':') continue;
            const std::string key = json::parse(text.substr(start, i + 1 - start)).get<std::string>();
            if (!lines.emplace(key, line).second) throw InputError(file, line, key, "chiave ripetuta");
        }
    }
    return lines;
}

const char* kind_name(KeyKind kind) {
    switch (kind) {
        case KeyKind::Real:
            return "un numero";
        case KeyKind::Integer:
            return "un numero intero";
        case KeyKind::Text:
            return "un testo";
    }
    return "";
}

Value convert(const json& value, KeyKind kind, const SectionInput& in, const std::string& key) {
    if (value.is_null()) throw in.error(key, "valore mancante (null)");
    const std::string wrong = std::string("tipo errato: atteso ") + kind_name(kind) + ", trovato " + value.type_name();
    if (kind == KeyKind::Text) {
        if (!value.is_string()) throw in.error(key, wrong);
        return value.get<std::string>();
    }
    if (!value.is_number()) throw in.error(key, wrong);
    const double number = value.get<double>();
    if (kind == KeyKind::Integer) {
        if (number != std::floor(number)) throw in.error(key, wrong);
        if (number < -32768 || number > 32767) throw in.error(key, "valore fuori dall'intervallo -32768..32767");
        return static_cast<std::int16_t>(number);
    }
    if (!std::isfinite(number) || std::fabs(number) > FLT_MAX)
        throw in.error(key, "numero fuori dall'intervallo della singola precisione");
    return static_cast<float>(number);
}

SectionInput from_json(const json& root, const std::map<std::string, int>& key_lines, const std::string& file,
                       int line) {
    SectionInput in(file, line);
    if (!root.is_object())
        throw InputError(file, line, "", std::string("una sezione è un oggetto JSON, trovato ") + root.type_name());
    for (const auto& [key, value] : root.items()) {
        const auto found = key_lines.find(key);
        const int key_line = found == key_lines.end() ? line : found->second;
        const InputKey* entry = find_key(key);
        if (entry == nullptr) throw InputError(file, key_line, key, "chiave sconosciuta");
        SectionInput at_key(file, key_line);
        in.set(key, convert(value, entry->kind, at_key, key), key_line);
    }
    return in;
}

json parse_or_throw(const std::string& text, const std::string& file, int first_line) {
    // The JSON reader takes a NUL byte for the end of the text, and the scan
    // of the keys' lines would read on past it. A raw NUL is never valid JSON.
    if (const std::size_t nul = text.find('\0'); nul != std::string::npos)
        throw InputError(file, line_at(text, nul, first_line), "", "JSON non valido: carattere NUL");
    try {
        return json::parse(text);
    } catch (const json::parse_error& e) {
        // The library's text starts with its own error id; keep what follows.
        std::string what = e.what();
        const std::size_t colon = what.find("] ");
        if (colon != std::string::npos) what = what.substr(colon + 2);
        throw InputError(file, line_at(text, e.byte > 0 ? e.byte - 1 : 0, first_line), "", "JSON non valido: " + what);
    }
}

}  // namespace

InputError::InputError(const std::string& file, int line, const std::string& key, const std::string& problem)
    : std::runtime_error(file + ":" + std::to_string(line) + ": " + (key.empty() ? "" : "chiave \"" + key + "\": ") +
                         problem) {}

std::optional<float> SectionInput::real(const std::string& key) const {
    const auto it = values_.find(key);
    if (it == values_.end()) return std::nullopt;
    return std::get<float>(it->second);
}

std::optional<std::int16_t> SectionInput::integer(const std::string& key) const {
    const auto it = values_.find(key);
    if (it == values_.end()) return std::nullopt;
    return std::get<std::int16_t>(it->second);
}

std::optional<std::string> SectionInput::text(const std::string& key) const {
    const auto it = values_.find(key);
    if (it == values_.end()) return std::nullopt;
    return std::get<std::string>(it->second);
}

float SectionInput::required_real(const std::string& key) const {
    if (const auto v = real(key)) return *v;
    throw error(key, "valore mancante");
}

std::int16_t SectionInput::required_integer(const std::string& key) const {
    if (const auto v = integer(key)) return *v;
    throw error(key, "valore mancante");
}

InputError SectionInput::error(const std::string& key, const std::string& problem) const {
    const auto it = lines_.find(key);
    return InputError(file_, it == lines_.end() ? line_ : it->second, key, problem);
}

void SectionInput::set(const std::string& key, Value value, int line) {
    values_[key] = std::move(value);
    lines_[key] = line;
}

SectionInput read_section(const std::string& text, const std::string& file, int first_line) {
    const json root = parse_or_throw(text, file, first_line);
    // The object starts at its opening brace.
    const std::size_t brace = text.find('{');
    const int line = line_at(text, brace == std::string::npos ? 0 : brace, first_line);
    const auto key_lines =
        root.is_object() ? top_level_key_lines(text, file, first_line) : std::map<std::string, int>{};
    return from_json(root, key_lines, file, line);
}

std::vector<SectionInput> read_section_lines(const std::string& text, const std::string& file,
                                             std::vector<std::string>& errors) {
    std::vector<SectionInput> sections;
    int line = 0;
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        ++line;
        const std::string row = text.substr(start, end - start);
        if (row.find_first_not_of(" \t\r") != std::string::npos) {
            try {
                sections.push_back(read_section(row, file, line));
            } catch (const InputError& e) {
                errors.push_back(e.what());
            }
        }
        start = end + 1;
    }
    if (sections.empty() && errors.empty())
        errors.push_back(InputError(file, 1, "", "nessuna sezione nel file").what());
    return sections;
}

bool is_json_lines_name(const std::string& file) {
    for (const char* ext : {".jsonl", ".ndjson"}) {
        const std::string e = ext;
        if (file.size() >= e.size() && file.compare(file.size() - e.size(), e.size(), e) == 0) return true;
    }
    return false;
}

}  // namespace ferrolit::cli
