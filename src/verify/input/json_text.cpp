#include "verify/input/json_text.hpp"

#include <cctype>
#include <cmath>
#include <cstdlib>
#include <vector>

#include "ferrolit/error.hpp"
#include "ferrolit/format.hpp"

namespace ferrolit::verification {

namespace {

using nlohmann::json;

int line_at(std::string_view text, std::size_t offset, int first_line) {
    const std::size_t end = std::min(offset, text.size());
    int line = first_line;
    for (std::size_t i = 0; i < end; ++i)
        if (text[i] == '\n') ++line;
    return line;
}

// Index just past the string that opens at `i` (a '"').
std::size_t skip_string(std::string_view text, std::size_t i) {
    for (++i; i < text.size() && text[i] != '"'; ++i)
        if (text[i] == '\\') ++i;
    return i + 1;
}

// The first number literal that does not fit in a double, or npos.
std::size_t overflowing_number(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') {
            i = skip_string(text, i) - 1;
        } else if (c == '-' || std::isdigit(static_cast<unsigned char>(c))) {
            std::size_t j = i + 1;
            while (j < text.size() && (std::isdigit(static_cast<unsigned char>(text[j])) || text[j] == '.' ||
                                       text[j] == 'e' || text[j] == 'E' || text[j] == '+' || text[j] == '-'))
                ++j;
            const std::string literal(text.substr(i, j - i));
            if (std::isinf(std::strtod(literal.c_str(), nullptr))) return i;
            i = j - 1;
        }
    }
    return std::string_view::npos;
}

// Lines of every key by path, in a text already known to be valid JSON. A
// key seen twice in one object is an error: JSON would keep one value only.
std::map<std::string, int, std::less<>> lines_of_keys(std::string_view text, const Where& where) {
    struct Frame {
        bool object;
        std::string key;  // object: the member being read
        int index = 1;    // array: the element being read
    };
    std::vector<Frame> frames;
    std::map<std::string, int, std::less<>> lines;
    auto path = [&frames](const std::string& key) {
        std::string p;
        for (const Frame& f : frames) {
            if (f.object && &f != &frames.back()) p += (p.empty() ? "" : ".") + f.key;
            if (!f.object) {
                p += '[';
                p += std::to_string(f.index);
                p += ']';
            }
        }
        return p.empty() ? key : p + "." + key;
    };
    int line = where.first_line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\n') {
            ++line;
        } else if (c == '{' || c == '[') {
            frames.push_back({c == '{', "", 1});
        } else if (c == '}' || c == ']') {
            frames.pop_back();
        } else if (c == ',' && !frames.empty() && !frames.back().object) {
            ++frames.back().index;
        } else if (c == '"') {
            const std::size_t end = skip_string(text, i);
            std::size_t next = end;
            while (next < text.size() && std::isspace(static_cast<unsigned char>(text[next]))) ++next;
            if (!frames.empty() && frames.back().object && next < text.size() && text[next] == ':') {
                // A key without escapes is its own text; one with them is unescaped by the parser.
                const std::string_view raw = text.substr(i + 1, end - i - 2);
                const std::string key = raw.find('\\') == std::string_view::npos
                                            ? std::string(raw)
                                            : json::parse(text.substr(i, end - i)).get<std::string>();
                frames.back().key = key;
                if (!lines.emplace(path(key), line).second) input_error(where, line, path(key), "chiave ripetuta");
            }
            i = end - 1;
        }
    }
    return lines;
}

// "300,5" where JSON wanted the next key: a decimal comma.
bool decimal_comma_at(std::string_view text, std::size_t at) {
    return at >= 2 && at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])) && text[at - 1] == ',' &&
           std::isdigit(static_cast<unsigned char>(text[at - 2]));
}

}  // namespace

std::size_t too_deep_at(std::string_view text, int most) {
    int depth = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '"') {
            i = skip_string(text, i) - 1;
        } else if (c == '{' || c == '[') {
            if (++depth > most) return i;
        } else if (c == '}' || c == ']') {
            --depth;
        }
    }
    return std::string_view::npos;
}

std::string input_message(const Where& where, int line, std::string_view key, std::string_view problem) {
    std::string message;
    if (!where.source.empty()) message = where.source + ":" + std::to_string(line) + ": ";
    if (!key.empty()) message += "chiave \"" + std::string(key) + "\": ";
    return message + std::string(problem);
}

void input_error(const Where& where, int line, std::string_view key, std::string_view problem) {
    throw InputError(input_message(where, line, key, problem), std::string(key), std::string(problem), line,
                     where.source);
}

int JsonDocument::line_of(std::string_view path) const {
    const auto it = key_lines.find(path);
    return it == key_lines.end() ? line : it->second;
}

JsonDocument::JsonDocument(std::string_view text, const Where& where) {
    if (text.size() > kMostInputBytes)
        input_error(where, where.first_line, "", "testo troppo lungo: al massimo 1 MiB per sezione");
    if (const std::size_t at = too_deep_at(text, kMostDepth); at != std::string_view::npos)
        input_error(where, line_at(text, at, where.first_line), "",
                    "annidamento troppo profondo: al massimo " + std::to_string(kMostDepth) + " livelli");
    // The parser takes a NUL byte for the end of the text and would quietly
    // drop what follows it; a raw NUL is never valid JSON.
    if (const std::size_t nul = text.find('\0'); nul != std::string_view::npos)
        input_error(where, line_at(text, nul, where.first_line), "", "JSON non valido: carattere NUL");
    try {
        root = json::parse(text);
    } catch (const json::parse_error& e) {
        const std::size_t at = e.byte > 0 ? e.byte - 1 : 0;
        const int error_line = line_at(text, at, where.first_line);
        if (decimal_comma_at(text, at))
            input_error(where, error_line, "",
                        "numero scritto con la virgola decimale: usare il punto (per esempio 0.5)");
        // The parser's text starts with its own error id; keep what follows.
        std::string what = e.what();
        const std::size_t cut = what.find("] ");
        if (cut != std::string::npos) what = what.substr(cut + 2);
        // Its "last read" quotes the input's bytes, which need not be UTF-8.
        input_error(where, error_line, "", "JSON non valido: " + format::valid_utf8(what));
    } catch (const json::exception&) {
        // The only other failure of parsing: a number beyond the range of a double.
        const std::size_t at = overflowing_number(text);
        input_error(where, line_at(text, at == std::string_view::npos ? 0 : at, where.first_line), "",
                    "numero fuori dall'intervallo di un double (circa ±1,8e308)");
    }
    const std::size_t start = text.find_first_not_of(" \t\r\n");
    line = line_at(text, start == std::string_view::npos ? 0 : start, where.first_line);
    key_lines = lines_of_keys(text, where);
}

}  // namespace ferrolit::verification
