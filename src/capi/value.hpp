#pragma once

// Conversions between the tagged values of the C interface and the C++ types
// of the members. Reading converts what a host passes to the declared type,
// or fails with the error a late-bound caller expects; writing stores a value
// the library owns.

#include <cstdint>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "capi/names.hpp"
#include "capi/object.hpp"
#include "ferrolit/enums.hpp"
#include "ferrolit/error.hpp"
#include "ferrolit/ferrolit.h"

namespace ferrolit::capi {

// Releases what an owned value holds; leaves the slot EMPTY.
void clear(ferrolit_value& value) noexcept;

float read_single(const ferrolit_value& v);
std::int16_t read_int16(const ferrolit_value& v);
std::int32_t read_int32(const ferrolit_value& v);
bool read_bool(const ferrolit_value& v);
std::string read_string(const ferrolit_value& v);
std::vector<float> read_array(const ferrolit_value& v);
const ferrolit_object& read_object(const ferrolit_value& v);

void write_single(ferrolit_value& v, float x);
void write_int16(ferrolit_value& v, std::int16_t x);
void write_int32(ferrolit_value& v, std::int32_t x);
void write_bool(ferrolit_value& v, bool x);
void write_string(ferrolit_value& v, const std::string& x);
void write_array(ferrolit_value& v, const std::vector<float>& x);
void write_object(ferrolit_value& v, ferrolit_object* owned_handle);

// Ties a C++ type to its tag, its type name and the conversions above.
template <class T>
struct ValueType;

template <>
struct ValueType<float> {
    static constexpr std::int32_t code = FERROLIT_TYPE_SINGLE;
    static constexpr const char* name = nullptr;
    static float read(const ferrolit_value& v) { return read_single(v); }
    static void write(ferrolit_value& v, float x) { write_single(v, x); }
};

template <>
struct ValueType<std::int16_t> {
    static constexpr std::int32_t code = FERROLIT_TYPE_INT16;
    static constexpr const char* name = nullptr;
    static std::int16_t read(const ferrolit_value& v) { return read_int16(v); }
    static void write(ferrolit_value& v, std::int16_t x) { write_int16(v, x); }
};

template <>
struct ValueType<std::int32_t> {
    static constexpr std::int32_t code = FERROLIT_TYPE_INT32;
    static constexpr const char* name = nullptr;
    static std::int32_t read(const ferrolit_value& v) { return read_int32(v); }
    static void write(ferrolit_value& v, std::int32_t x) { write_int32(v, x); }
};

// The enumerations travel as 32-bit integers; any value is accepted, as a
// late-bound caller may pass any number for an enumeration.
template <class E, const char* Name>
struct EnumValueType {
    static constexpr std::int32_t code = FERROLIT_TYPE_INT32;
    static constexpr const char* name = Name;
    static E read(const ferrolit_value& v) { return static_cast<E>(read_int32(v)); }
    static void write(ferrolit_value& v, E x) { write_int32(v, static_cast<std::int32_t>(x)); }
};

template <>
struct ValueType<PosizioneFerri> : EnumValueType<PosizioneFerri, kPosizioneFerri> {};
template <>
struct ValueType<TipoBordo> : EnumValueType<TipoBordo, kTipoBordo> {};

template <>
struct ValueType<bool> {
    static constexpr std::int32_t code = FERROLIT_TYPE_BOOL;
    static constexpr const char* name = nullptr;
    static bool read(const ferrolit_value& v) { return read_bool(v); }
    static void write(ferrolit_value& v, bool x) { write_bool(v, x); }
};

template <>
struct ValueType<std::string> {
    static constexpr std::int32_t code = FERROLIT_TYPE_STRING;
    static constexpr const char* name = nullptr;
    static std::string read(const ferrolit_value& v) { return read_string(v); }
    static void write(ferrolit_value& v, const std::string& x) { write_string(v, x); }
};

template <>
struct ValueType<std::vector<float>> {
    static constexpr std::int32_t code = FERROLIT_TYPE_SINGLE_ARRAY;
    static constexpr const char* name = nullptr;
    static std::vector<float> read(const ferrolit_value& v) { return read_array(v); }
    static void write(ferrolit_value& v, const std::vector<float>& x) { write_array(v, x); }
};

// Objects: the class name is the type name; "" accepts and gives either
// section class.
template <class O, const char* Name>
struct ObjectValueType {
    // Sections are held as their common base, whatever their kind.
    using Held = std::conditional_t<std::is_base_of_v<component::Section, O>, component::Section, O>;

    static constexpr std::int32_t code = FERROLIT_TYPE_OBJECT;
    static constexpr const char* name = Name;

    static std::shared_ptr<O> read(const ferrolit_value& v) {
        const auto* held = std::get_if<std::shared_ptr<Held>>(&read_object(v).instance);
        if (held == nullptr) throw Error(ErrorKind::TypeMismatch);
        if constexpr (std::is_same_v<O, Held>) {
            return *held;
        } else {
            auto object = std::dynamic_pointer_cast<O>(*held);
            if (!object) throw Error(ErrorKind::TypeMismatch);
            return object;
        }
    }
    static void write(ferrolit_value& v, std::shared_ptr<O> x) {
        write_object(v, x ? make_handle(std::shared_ptr<Held>(std::move(x))) : nullptr);
    }
};

template <>
struct ValueType<std::shared_ptr<SectionCollection>> : ObjectValueType<SectionCollection, kCollectionClass> {};
template <>
struct ValueType<std::shared_ptr<component::Section>> : ObjectValueType<component::Section, kAnySection> {};
template <>
struct ValueType<std::shared_ptr<clsSezRett>> : ObjectValueType<clsSezRett, kRectClass> {};
template <>
struct ValueType<std::shared_ptr<clsSezT>> : ObjectValueType<clsSezT, kTeeClass> {};

}  // namespace ferrolit::capi
