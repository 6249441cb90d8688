#pragma once

// A small writer of JSON text, straight to a string: the results of a
// building's worth of sections are written without building a document
// tree first. Numbers in the shortest form that reads back exactly; a number
// that is not finite (an unbounded ratio) as null, so that every JSON reader,
// strict ones included, reads the text.

#include <cstring>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ferrolit {
struct CheckResult;
}

namespace ferrolit::verification {

class JsonWriter {
public:
    // Room for `expected_bytes` from the start (a section's result is some
    // 20 kB), rather than a dozen reallocations and copies as it grows.
    explicit JsonWriter(int indent, std::size_t expected_bytes = 256) : out_(expected_bytes, '\0'), indent_(indent) {}

    JsonWriter& begin_object();
    JsonWriter& end_object();
    JsonWriter& begin_array();
    JsonWriter& end_array();
    JsonWriter& key(std::string_view name);  // the next value is this member's

    JsonWriter& value(double v);
    JsonWriter& value(int v);
    JsonWriter& value(bool v);
    JsonWriter& value(std::string_view text);
    JsonWriter& value(const char* text) { return value(std::string_view(text)); }
    JsonWriter& null();
    // The value, or null when there is none.
    template <class T>
    JsonWriter& value(const std::optional<T>& v) {
        return v ? value(*v) : null();
    }

    // key(name).value(v)
    template <class T>
    JsonWriter& member(std::string_view name, const T& v) {
        return key(name).value(v);
    }

    std::string take() {
        out_.resize(used_);
        used_ = 0;
        return std::move(out_);
    }

private:
    void before_value();
    void write_string(std::string_view text);
    void close(char c);
    void newline();

    // The text is out_[0, used_), written through the string's pointer and
    // grown by doubling: std::string's own appends cost several times more,
    // above all in the WebAssembly build.
    void put(std::string_view text) {
        if (out_.size() - used_ < text.size()) grow(text.size());
        std::memcpy(out_.data() + used_, text.data(), text.size());
        used_ += text.size();
    }
    void put(char c) {
        if (used_ == out_.size()) grow(1);
        out_[used_++] = c;
    }
    void grow(std::size_t more);

    std::string out_;
    std::size_t used_ = 0;
    int indent_;
    std::vector<bool> first_;  // per open container: no element written yet
    bool after_key_ = false;
};

// A check as verify's result writes it: id, clause, combination, demand,
// capacity, unit, ratio, verified, note, then what `extra` adds, then details.
void write_check(JsonWriter& w, const CheckResult& c, const std::function<void(JsonWriter&)>& extra = {});

}  // namespace ferrolit::verification
