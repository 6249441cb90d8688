#include "verify/output/json_writer.hpp"

#include <charconv>
#include <cmath>
#include <system_error>

#include "core/real_text.hpp"
#include "ferrolit/error.hpp"

namespace ferrolit::verification {

void JsonWriter::newline() {
    if (indent_ < 0) return;
    out_ += '\n';
    out_.append(first_.size() * static_cast<std::size_t>(indent_), ' ');
}

void JsonWriter::before_value() {
    if (after_key_) {
        after_key_ = false;
        return;
    }
    if (first_.empty()) return;
    if (!first_.back()) out_ += ',';
    first_.back() = false;
    newline();
}

JsonWriter& JsonWriter::begin_object() {
    before_value();
    out_ += '{';
    first_.push_back(true);
    return *this;
}

JsonWriter& JsonWriter::begin_array() {
    before_value();
    out_ += '[';
    first_.push_back(true);
    return *this;
}

void JsonWriter::close(char c) {
    const bool empty = first_.back();
    first_.pop_back();
    if (!empty) newline();
    out_ += c;
}

JsonWriter& JsonWriter::end_object() {
    close('}');
    return *this;
}

JsonWriter& JsonWriter::end_array() {
    close(']');
    return *this;
}

JsonWriter& JsonWriter::key(std::string_view name) {
    before_value();
    write_string(name);
    out_ += indent_ < 0 ? ":" : ": ";
    after_key_ = true;
    return *this;
}

JsonWriter& JsonWriter::value(double v) {
    before_value();
    if (!std::isfinite(v)) {
        out_ += "null";
    } else {
        // The shortest form of a double takes at most 24 characters.
        char text[32];
        const auto [end, error] = detail::write_real(text, text + sizeof text, v);
        if (error != std::errc{}) throw Error(ErrorKind::Overflow, "numero non rappresentabile in JSON");
        out_.append(text, end);
    }
    return *this;
}

JsonWriter& JsonWriter::value(int v) {
    before_value();
    out_ += std::to_string(v);
    return *this;
}

JsonWriter& JsonWriter::value(bool v) {
    before_value();
    out_ += v ? "true" : "false";
    return *this;
}

JsonWriter& JsonWriter::null() {
    before_value();
    out_ += "null";
    return *this;
}

JsonWriter& JsonWriter::value(std::string_view text) {
    before_value();
    write_string(text);
    return *this;
}

void JsonWriter::write_string(std::string_view text) {
    out_ += '"';
    for (char c : text) {
        switch (c) {
            case '"':
                out_ += "\\\"";
                break;
            case '\\':
                out_ += "\\\\";
                break;
            case '\n':
                out_ += "\\n";
                break;
            case '\t':
                out_ += "\\t";
                break;
            case '\r':
                out_ += "\\r";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    const char* hex = "0123456789abcdef";
                    out_ += "\\u00";
                    out_ += hex[(c >> 4) & 0xF];
                    out_ += hex[c & 0xF];
                } else {
                    out_ += c;
                }
        }
    }
    out_ += '"';
}

}  // namespace ferrolit::verification
