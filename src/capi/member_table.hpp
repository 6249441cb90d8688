#pragma once

// The rows of the member table and the helpers that make one row out of a
// C++ member: its kind, its argument list (names given, types and output
// flags read off the member's own signature), and the code that calls it
// with tagged values. Adding a member to the C interface is one row.

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <tuple>
#include <type_traits>
#include <utility>
#include <vector>

#include "capi/object.hpp"
#include "capi/value.hpp"
#include "ferrolit/ferrolit.h"

namespace ferrolit::capi {

// Which class carries a row: the registry, the collection, both section
// classes, or only one of them.
enum class Owner { Registry, Collection, Section, Rect, Tee };

struct TypeDesc {
    std::int32_t type;
    const char* name;
};

struct ArgDesc {
    const char* name;
    TypeDesc type;
    bool output;
};

// Calls a reader or method; the argument count has been checked.
using Invoke = std::function<void(const ferrolit_object&, ferrolit_value* args, ferrolit_value* result)>;
// Calls a writer with the new value.
using Assign = std::function<void(const ferrolit_object&, const ferrolit_value&)>;

struct Member {
    Owner owner;
    const char* name;
    std::int32_t kind;  // FERROLIT_KIND_* flags
    TypeDesc result;
    std::vector<ArgDesc> args;
    Invoke invoke;  // readers and methods
    Assign assign;  // writers
};

// The whole table, in interface order within each class.
const std::vector<Member>& member_table();

namespace row {

template <class O>
constexpr Owner owner_of() {
    if constexpr (std::is_same_v<O, clsGenVerSez>)
        return Owner::Registry;
    else if constexpr (std::is_same_v<O, SectionCollection>)
        return Owner::Collection;
    else if constexpr (std::is_same_v<O, clsSezRett>)
        return Owner::Rect;
    else if constexpr (std::is_same_v<O, clsSezT>)
        return Owner::Tee;
    else {
        static_assert(std::is_same_v<O, component::Section>);
        return Owner::Section;
    }
}

template <class PM>
struct Signature;
template <class R, class O, class... A>
struct Signature<R (O::*)(A...)> {
    using Owner = O;
    using Result = R;
    using Args = std::tuple<A...>;
    static constexpr std::size_t arity = sizeof...(A);
};
template <class R, class O, class... A>
struct Signature<R (O::*)(A...) const> : Signature<R (O::*)(A...)> {};

template <class A>
using Stored = std::remove_cvref_t<A>;

// An argument taken by non-const reference is an output: written back.
template <class A>
inline constexpr bool is_output = std::is_lvalue_reference_v<A> && !std::is_const_v<std::remove_reference_t<A>>;

template <class T>
TypeDesc type_of() {
    if constexpr (std::is_void_v<T>) {
        return {FERROLIT_TYPE_EMPTY, nullptr};
    } else {
        return {ValueType<Stored<T>>::code, ValueType<Stored<T>>::name};
    }
}

// An output slot left EMPTY by the host starts from the type's zero value.
template <class A>
Stored<A> read_arg(const ferrolit_value& v) {
    if constexpr (is_output<A>) {
        if (v.type == FERROLIT_TYPE_EMPTY) return Stored<A>{};
    }
    return ValueType<Stored<A>>::read(v);
}

template <class A>
void write_back(ferrolit_value& v, const Stored<A>& x) {
    if constexpr (is_output<A>) ValueType<Stored<A>>::write(v, x);
}

template <class PM, std::size_t... I>
void invoke_member(PM pm, const ferrolit_object& handle, ferrolit_value* args, ferrolit_value* result,
                   std::index_sequence<I...>) {
    using S = Signature<PM>;
    using Args = typename S::Args;
    using R = typename S::Result;
    // Every argument is converted before the call: a bad one changes nothing.
    std::tuple<Stored<std::tuple_element_t<I, Args>>...> values{read_arg<std::tuple_element_t<I, Args>>(args[I])...};
    auto& object = target_as<typename S::Owner>(handle);
    if constexpr (std::is_void_v<R>) {
        (object.*pm)(std::get<I>(values)...);
        if (result != nullptr) clear(*result);
    } else {
        R value = (object.*pm)(std::get<I>(values)...);
        if (result != nullptr) ValueType<Stored<R>>::write(*result, std::move(value));
    }
    (write_back<std::tuple_element_t<I, Args>>(args[I], std::get<I>(values)), ...);
    (void)args;
}

template <class PM, std::size_t... I>
std::vector<ArgDesc> describe_args(const std::array<const char*, sizeof...(I)>& names, std::index_sequence<I...>) {
    using Args = typename Signature<PM>::Args;
    return {ArgDesc{names[I], type_of<std::tuple_element_t<I, Args>>(), is_output<std::tuple_element_t<I, Args>>}...};
}

template <class PM>
Member callable(std::int32_t kind, const char* name, PM pm,
                const std::array<const char*, Signature<PM>::arity>& names) {
    using S = Signature<PM>;
    using Seq = std::make_index_sequence<S::arity>;
    return Member{owner_of<typename S::Owner>(),
                  name,
                  kind,
                  type_of<typename S::Result>(),
                  describe_args<PM>(names, Seq{}),
                  [pm](const ferrolit_object& h, ferrolit_value* args, ferrolit_value* result) {
                      invoke_member(pm, h, args, result, Seq{});
                  },
                  {}};
}

// A reader, possibly with arguments (a read-only property).
template <class PM>
Member get(const char* name, PM pm, const std::array<const char*, Signature<PM>::arity>& names = {}) {
    return callable(FERROLIT_KIND_GET, name, pm, names);
}

// An operation.
template <class PM>
Member method(const char* name, PM pm, const std::array<const char*, Signature<PM>::arity>& names = {}) {
    return callable(FERROLIT_KIND_METHOD, name, pm, names);
}

// A read-write property: a reader without arguments and a writer.
template <class O, class T>
Member read_write(const char* name, T (O::*getter)() const, void (O::*setter)(T)) {
    Member m = get(name, getter);
    m.kind = FERROLIT_KIND_GET | FERROLIT_KIND_LET;
    m.assign = [setter](const ferrolit_object& h, const ferrolit_value& v) {
        T value = ValueType<Stored<T>>::read(v);
        (target_as<O>(h).*setter)(std::move(value));
    };
    return m;
}

}  // namespace row

// A read-write property named like the overloaded pair of C++ members.
#define FERROLIT_READ_WRITE(Class, Type, Name) \
    ::ferrolit::capi::row::read_write<Class, Type>(#Name, &Class::Name, &Class::Name)

}  // namespace ferrolit::capi
