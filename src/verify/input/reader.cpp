#include "verify/input/reader.hpp"

#include <cmath>
#include <regex>

namespace ferrolit::verification {

namespace {

using nlohmann::json;

const char* kind_name(KeyKind kind) {
    switch (kind) {
        case KeyKind::Real:
            return "un numero";
        case KeyKind::Integer:
            return "un numero intero";
        case KeyKind::Text:
            return "un testo";
        case KeyKind::Boolean:
            return "true o false";
        case KeyKind::List:
            return "un elenco [...]";
        case KeyKind::RealOrObject:
            return "un numero o un oggetto {...}";
        case KeyKind::Object:
            return "un oggetto {...}";
    }
    return "";
}

const char* type_name(const json& value) {
    switch (value.type()) {
        case json::value_t::null:
            return "null";
        case json::value_t::object:
            return "un oggetto";
        case json::value_t::array:
            return "un elenco";
        case json::value_t::string:
            return "un testo";
        case json::value_t::boolean:
            return "un valore logico";
        default:
            return "un numero";
    }
}

// "300,5" or "-0,25": a number written with a decimal comma.
bool decimal_comma(const std::string& text) {
    static const std::regex pattern(R"(\s*[-+]?[0-9]*,[0-9]+\s*)");
    return std::regex_match(text, pattern);
}

std::string unknown_key_problem(std::string_view key, std::optional<KeyGroup> group) {
    const std::string_view near = nearest_key(key, group);
    return near.empty() ? std::string("chiave sconosciuta")
                        : "chiave sconosciuta: forse \"" + std::string(near) + "\"?";
}

}  // namespace

std::size_t characters(std::string_view utf8) {
    std::size_t n = 0;
    for (unsigned char c : utf8) n += (c & 0xC0) != 0x80 ? 1 : 0;
    return n;
}

Reader::Reader(const JsonDocument& doc, const Where& where) : doc_(doc), root_(doc.root), where_(where) {
    if (!root_.is_object())
        input_error(where_, doc_.line, "",
                    std::string("una sezione è un oggetto JSON {...}, trovato ") + type_name(root_));
    for (const auto& [name, value] : root_.items()) {
        const InputKey* key = find_key(name);
        if (key == nullptr) fail(name, unknown_key_problem(name, std::nullopt));
        check_value(value, *key, name);
    }
}

void Reader::check_value(const json& value, const InputKey& key, const std::string& path) const {
    if (value.is_null()) fail(path, "valore mancante (null)");
    const std::string wrong =
        std::string("tipo errato: atteso ") + kind_name(key.kind) + ", trovato " + type_name(value);
    switch (key.kind) {
        case KeyKind::Real:
            if (value.is_string() && decimal_comma(value.get<std::string>()))
                fail(path,
                     "numero scritto come testo con la virgola decimale: scrivere il numero senza virgolette e "
                     "con il punto (per esempio 0.5)");
            if (!value.is_number()) fail(path, wrong);
            return;
        case KeyKind::Integer: {
            if (!value.is_number()) fail(path, wrong);
            const double x = value.get<double>();
            if (x != std::floor(x)) fail(path, wrong);
            if (x < -32768 || x > 32767) fail(path, "valore fuori dall'intervallo -32768..32767");
            return;
        }
        case KeyKind::Text: {
            if (!value.is_string()) fail(path, wrong);
            const std::string& s = value.get_ref<const std::string&>();
            if (characters(s) > kMostTextLength)
                fail(path, "testo troppo lungo: al massimo " + std::to_string(kMostTextLength) + " caratteri");
            for (unsigned char c : s)
                if (c < 0x20 || c == 0x7F) fail(path, "il testo contiene caratteri di controllo");
            return;
        }
        case KeyKind::Boolean:
            if (!value.is_boolean()) fail(path, wrong);
            return;
        case KeyKind::List:
            if (!value.is_array()) fail(path, wrong);
            return;
        case KeyKind::RealOrObject:
            if (!value.is_number() && !value.is_object()) fail(path, wrong);
            return;
        case KeyKind::Object:
            if (!value.is_object()) fail(path, wrong);
            return;
    }
}

std::optional<double> Reader::real(std::string_view key) const {
    if (!has(key)) return std::nullopt;
    return root_.at(std::string(key)).get<double>();
}

std::optional<int> Reader::integer(std::string_view key) const {
    if (!has(key)) return std::nullopt;
    return static_cast<int>(root_.at(std::string(key)).get<double>());
}

std::optional<std::string> Reader::text(std::string_view key) const {
    if (!has(key)) return std::nullopt;
    return root_.at(std::string(key)).get<std::string>();
}

std::optional<bool> Reader::flag(std::string_view key) const {
    if (!has(key)) return std::nullopt;
    return root_.at(std::string(key)).get<bool>();
}

const json* Reader::list(std::string_view key) const { return has(key) ? &root_.at(std::string(key)) : nullptr; }

const json* Reader::value(std::string_view key) const { return list(key); }

void Reader::check_item(const json& item, KeyGroup group, const std::string& path) const {
    if (!item.is_object()) fail(path, std::string("atteso un oggetto {...}, trovato ") + type_name(item));
    for (const auto& [name, value] : item.items()) {
        const InputKey* key = find_key(name, group);
        if (key == nullptr) fail(path + "." + name, unknown_key_problem(name, group));
        check_value(value, *key, path + "." + name);
    }
}

double Reader::item_real(const json& item, const std::string& path, std::string_view key) const {
    const auto v = item_real_if(item, path, key);
    if (!v) fail(path + "." + std::string(key), "valore mancante");
    return *v;
}

std::optional<double> Reader::item_real_if(const json& item, const std::string&, std::string_view key) const {
    const auto it = item.find(std::string(key));
    if (it == item.end()) return std::nullopt;
    return it->get<double>();
}

std::string Reader::item_text(const json& item, const std::string& path, std::string_view key) const {
    const auto it = item.find(std::string(key));
    if (it == item.end()) fail(path + "." + std::string(key), "valore mancante");
    return it->get<std::string>();
}

double Reader::number(const json& value, const std::string& path) const {
    if (!value.is_number()) fail(path, std::string("atteso un numero, trovato ") + type_name(value));
    return value.get<double>();
}

void Reader::fail(std::string_view path, std::string_view problem) const {
    // A path inside a list without a key line of its own takes the line of its list.
    std::string_view at = path;
    int line = doc_.line;
    while (!at.empty()) {
        const auto it = doc_.key_lines.find(at);
        if (it != doc_.key_lines.end()) {
            line = it->second;
            break;
        }
        const std::size_t cut = at.find_last_of(".[");
        at = cut == std::string_view::npos ? std::string_view{} : at.substr(0, cut);
    }
    input_error(where_, line, path, problem);
}

}  // namespace ferrolit::verification
