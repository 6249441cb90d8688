#include "capi/value.hpp"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>
#include <optional>

#include "core/numeric.hpp"
#include "ferrolit/error.hpp"

namespace ferrolit::capi {

namespace {

[[noreturn]] void fail(ErrorKind kind) { throw Error(kind); }

std::optional<double> number(const ferrolit_value& v) {
    switch (v.type) {
        case FERROLIT_TYPE_SINGLE:
            return v.u.single;
        case FERROLIT_TYPE_INT16:
            return v.u.int16;
        case FERROLIT_TYPE_INT32:
            return v.u.int32;
        default:
            return std::nullopt;
    }
}

double required_number(const ferrolit_value& v) {
    const auto x = number(v);
    if (!x) fail(ErrorKind::TypeMismatch);
    return *x;
}

void* allocate(std::size_t bytes) {
    void* p = std::malloc(bytes == 0 ? 1 : bytes);
    if (p == nullptr) throw std::bad_alloc();
    return p;
}

// Makes the slot hold a new value, releasing the old one first.
void replace(ferrolit_value& v, std::int32_t type, std::int32_t owned) {
    clear(v);
    v.type = type;
    v.owned = owned;
}

}  // namespace

void clear(ferrolit_value& v) noexcept {
    if (v.owned != 0) {
        switch (v.type) {
            case FERROLIT_TYPE_STRING:
                std::free(const_cast<char*>(v.u.string));
                break;
            case FERROLIT_TYPE_SINGLE_ARRAY:
                std::free(v.u.array.data);
                break;
            case FERROLIT_TYPE_OBJECT:
                ferrolit_release(v.u.object);
                break;
            default:
                break;
        }
    }
    v = ferrolit_value{};
}

float read_single(const ferrolit_value& v) { return detail::single(required_number(v)); }

std::int16_t read_int16(const ferrolit_value& v) { return detail::to_int16(required_number(v)); }

std::int32_t read_int32(const ferrolit_value& v) {
    if (v.type == FERROLIT_TYPE_INT32) return v.u.int32;
    const double x = required_number(v);
    // Nearest whole number, halves to even (the default rounding mode).
    const double whole = std::nearbyint(x);
    if (!(whole >= std::numeric_limits<std::int32_t>::min() && whole <= std::numeric_limits<std::int32_t>::max()))
        fail(ErrorKind::Overflow);
    return static_cast<std::int32_t>(whole);
}

bool read_bool(const ferrolit_value& v) {
    if (v.type == FERROLIT_TYPE_BOOL) return v.u.boolean != 0;
    return required_number(v) != 0;
}

std::string read_string(const ferrolit_value& v) {
    if (v.type != FERROLIT_TYPE_STRING) fail(ErrorKind::TypeMismatch);
    return v.u.string == nullptr ? std::string() : std::string(v.u.string);
}

std::vector<float> read_array(const ferrolit_value& v) {
    if (v.type != FERROLIT_TYPE_SINGLE_ARRAY) fail(ErrorKind::TypeMismatch);
    if (v.u.array.count < 0 || (v.u.array.count > 0 && v.u.array.data == nullptr)) fail(ErrorKind::InvalidOperation);
    return std::vector<float>(v.u.array.data, v.u.array.data + v.u.array.count);
}

const ferrolit_object& read_object(const ferrolit_value& v) {
    if (v.type == FERROLIT_TYPE_EMPTY || (v.type == FERROLIT_TYPE_OBJECT && v.u.object == nullptr))
        fail(ErrorKind::ObjectRequired);
    if (v.type != FERROLIT_TYPE_OBJECT) fail(ErrorKind::TypeMismatch);
    return *v.u.object;
}

void write_single(ferrolit_value& v, float x) {
    replace(v, FERROLIT_TYPE_SINGLE, 0);
    v.u.single = x;
}

void write_int16(ferrolit_value& v, std::int16_t x) {
    replace(v, FERROLIT_TYPE_INT16, 0);
    v.u.int16 = x;
}

void write_int32(ferrolit_value& v, std::int32_t x) {
    replace(v, FERROLIT_TYPE_INT32, 0);
    v.u.int32 = x;
}

void write_bool(ferrolit_value& v, bool x) {
    replace(v, FERROLIT_TYPE_BOOL, 0);
    v.u.boolean = x ? 1 : 0;
}

void write_string(ferrolit_value& v, const std::string& x) {
    auto* text = static_cast<char*>(allocate(x.size() + 1));
    std::memcpy(text, x.c_str(), x.size() + 1);
    replace(v, FERROLIT_TYPE_STRING, 1);
    v.u.string = text;
}

void write_array(ferrolit_value& v, const std::vector<float>& x) {
    if (x.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) fail(ErrorKind::Overflow);
    auto* data = static_cast<float*>(allocate(x.size() * sizeof(float)));
    if (!x.empty()) std::memcpy(data, x.data(), x.size() * sizeof(float));
    replace(v, FERROLIT_TYPE_SINGLE_ARRAY, 1);
    v.u.array.data = data;
    v.u.array.count = static_cast<std::int32_t>(x.size());
}

void write_object(ferrolit_value& v, ferrolit_object* owned_handle) {
    replace(v, FERROLIT_TYPE_OBJECT, owned_handle != nullptr ? 1 : 0);
    v.u.object = owned_handle;
}

}  // namespace ferrolit::capi
