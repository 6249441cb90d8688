#pragma once

// A small writer of JSON text, straight to a string: the results of a
// building's worth of sections are written without building a document
// tree first. Numbers in the shortest form that reads back exactly; a number
// that is not finite (an unbounded ratio) as null, so that every JSON reader,
// strict ones included, reads the text.

#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace ferrolit {
struct CheckResult;
}

namespace ferrolit::verification {

class JsonWriter {
public:
    explicit JsonWriter(int indent) : indent_(indent) {}

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

    // key(name).value(v)
    template <class T>
    JsonWriter& member(std::string_view name, const T& v) {
        return key(name).value(v);
    }

    std::string take() { return std::move(out_); }

private:
    void before_value();
    void write_string(std::string_view text);
    void close(char c);
    void newline();

    std::string out_;
    int indent_;
    std::vector<bool> first_;  // per open container: no element written yet
    bool after_key_ = false;
};

// A check as verify's result writes it: id, clause, combination, demand,
// capacity, unit, ratio, verified, note, then what `extra` adds, then details.
void write_check(JsonWriter& w, const CheckResult& c, const std::function<void(JsonWriter&)>& extra = {});

}  // namespace ferrolit::verification
