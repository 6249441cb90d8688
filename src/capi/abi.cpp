// The C entry points: handles, type information and late-bound access.

#include <cstring>
#include <limits>

#include "capi/classes.hpp"
#include "capi/names.hpp"
#include "capi/status.hpp"
#include "capi/units.hpp"
#include "capi/value.hpp"
#include "ferrolit/ferrolit.h"

using namespace ferrolit::capi;

namespace {

const ferrolit_object& require(const ferrolit_object* object) {
    if (object == nullptr) throw ferrolit::Error(ferrolit::ErrorKind::ObjectRequired);
    return *object;
}

// The member of that name that can be used in the requested way.
const Member& require_member(const ferrolit_object& object, const char* name, std::int32_t kinds) {
    if (name == nullptr) throw ferrolit::Error(ferrolit::ErrorKind::InvalidOperation);
    const Member* m = find_member(*object.cls, name);
    if (m == nullptr || (m->kind & kinds) == 0) throw InterfaceError(FERROLIT_E_MEMBER_NOT_FOUND, name);
    return *m;
}

[[noreturn]] void argument_count_error() { throw InterfaceError(FERROLIT_E_ARGUMENT_COUNT); }

void require_count(const Member& m, std::int32_t nargs, const ferrolit_value* args) {
    if (nargs != static_cast<std::int32_t>(m.args.size()) || (nargs > 0 && args == nullptr)) argument_count_error();
}

ferrolit_status invoke(ferrolit_object* object, const char* member, ferrolit_value* args, int32_t nargs,
                       ferrolit_value* result, std::int32_t kinds) {
    return guard([&] {
        const ferrolit_object& target = require(object);
        const Member& m = require_member(target, member, kinds);
        require_count(m, nargs, args);
        m.invoke(target, args, result);
    });
}

const ClassInfo* class_at(int32_t index) {
    const auto& all = classes();
    return index >= 0 && static_cast<std::size_t>(index) < all.size() ? &all[static_cast<std::size_t>(index)] : nullptr;
}

// The enumeration and value at these positions, or nullptr.
const EnumInfo* enum_at(int32_t index) {
    return index >= 0 && static_cast<std::size_t>(index) < std::size(kEnums) ? &kEnums[index] : nullptr;
}

}  // namespace

extern "C" {

ferrolit_status ferrolit_last_status(void) { return last_status(); }

int32_t ferrolit_status_count(void) { return static_cast<int32_t>(std::size(ferrolit::detail::kStatusCodes)); }

const char* ferrolit_status_at(int32_t index, ferrolit_status* code, const char** description) {
    if (index < 0 || index >= ferrolit_status_count()) return nullptr;
    const ferrolit::detail::StatusCode& row = ferrolit::detail::kStatusCodes[index];
    if (code != nullptr) *code = row.code;
    if (description != nullptr) *description = row.description;
    return row.name;
}
const char* ferrolit_last_error(void) { return last_description(); }

const char* ferrolit_last_error_key(void) { return last_key(); }

void ferrolit_value_clear(ferrolit_value* value) {
    if (value != nullptr) clear(*value);
}

ferrolit_value ferrolit_single(float x) {
    ferrolit_value v{};
    v.type = FERROLIT_TYPE_SINGLE;
    v.u.single = x;
    return v;
}

ferrolit_value ferrolit_int16(int16_t x) {
    ferrolit_value v{};
    v.type = FERROLIT_TYPE_INT16;
    v.u.int16 = x;
    return v;
}

ferrolit_value ferrolit_int32(int32_t x) {
    ferrolit_value v{};
    v.type = FERROLIT_TYPE_INT32;
    v.u.int32 = x;
    return v;
}

ferrolit_value ferrolit_bool(int x) {
    ferrolit_value v{};
    v.type = FERROLIT_TYPE_BOOL;
    v.u.boolean = x != 0 ? 1 : 0;
    return v;
}

ferrolit_value ferrolit_string(const char* text) {
    ferrolit_value v{};
    v.type = FERROLIT_TYPE_STRING;
    v.u.string = text;
    return v;
}

ferrolit_value ferrolit_object_value(ferrolit_object* object) {
    ferrolit_value v{};
    v.type = FERROLIT_TYPE_OBJECT;
    v.u.object = object;
    return v;
}

ferrolit_status ferrolit_create(const char* class_name, ferrolit_object** out) {
    return guard([&] {
        if (out == nullptr) throw ferrolit::Error(ferrolit::ErrorKind::InvalidOperation);
        *out = nullptr;
        const ClassInfo* cls = find_class(class_name);
        if (cls == nullptr)
            throw InterfaceError(FERROLIT_E_CANNOT_CREATE,
                                 std::string("classe sconosciuta ") + (class_name != nullptr ? class_name : ""));
        *out = new ferrolit_object(*cls, cls->create());
    });
}

int32_t ferrolit_retain(ferrolit_object* object) {
    return object == nullptr ? 0 : object->refs.fetch_add(1, std::memory_order_relaxed) + 1;
}

int32_t ferrolit_release(ferrolit_object* object) {
    if (object == nullptr) return 0;
    const int32_t left = object->refs.fetch_sub(1, std::memory_order_acq_rel) - 1;
    if (left == 0) delete object;
    return left;
}

const char* ferrolit_class_of(const ferrolit_object* object) {
    return object == nullptr ? "" : object->cls->name.c_str();
}

int ferrolit_same_object(const ferrolit_object* a, const ferrolit_object* b) {
    if (a == nullptr || b == nullptr) return a == b ? 1 : 0;
    return identity(*a) == identity(*b) ? 1 : 0;
}

int32_t ferrolit_class_count(void) { return static_cast<int32_t>(classes().size()); }

const char* ferrolit_class_name(int32_t index) {
    const ClassInfo* c = class_at(index);
    return c == nullptr ? nullptr : c->name.c_str();
}

int32_t ferrolit_member_count(const char* class_name) {
    const ClassInfo* c = find_class(class_name);
    return c == nullptr ? -1 : static_cast<int32_t>(c->infos.size());
}

const ferrolit_member_info* ferrolit_member_at(const char* class_name, int32_t index) {
    const ClassInfo* c = find_class(class_name);
    if (c == nullptr || index < 0 || static_cast<std::size_t>(index) >= c->infos.size()) return nullptr;
    return &c->infos[static_cast<std::size_t>(index)];
}

int32_t ferrolit_member_find(const char* class_name, const char* member_name) {
    const ClassInfo* c = find_class(class_name);
    if (c == nullptr || member_name == nullptr) return -1;
    const auto found = c->index.find(std::string_view(member_name));
    return found == c->index.end() ? -1 : found->second;
}

const char* ferrolit_unit(const char* name) {
    if (name == nullptr) return nullptr;
    if (const char* unit = unit_in_table(name)) return unit;
    for (const ClassInfo& c : classes()) {
        for (const ferrolit_member_info& m : c.infos) {
            if (std::strcmp(m.name, name) == 0) return "";
            for (std::int32_t a = 0; a < m.arg_count; ++a)
                if (std::strcmp(m.args[a].name, name) == 0) return "";
        }
    }
    return nullptr;
}

int32_t ferrolit_enum_count(void) { return static_cast<int32_t>(std::size(kEnums)); }

const char* ferrolit_enum_name(int32_t index) {
    const EnumInfo* e = enum_at(index);
    return e == nullptr ? nullptr : e->name;
}

int32_t ferrolit_enum_value_count(int32_t index) {
    const EnumInfo* e = enum_at(index);
    return e == nullptr ? -1 : static_cast<int32_t>(e->values.size());
}

const char* ferrolit_enum_value(int32_t index, int32_t value_index, int32_t* value) {
    const EnumInfo* e = enum_at(index);
    if (e == nullptr || value_index < 0 || static_cast<std::size_t>(value_index) >= e->values.size()) return nullptr;
    const EnumValue& v = e->values[static_cast<std::size_t>(value_index)];
    if (value != nullptr) *value = v.value;
    return v.name;
}

ferrolit_status ferrolit_get(ferrolit_object* object, const char* member, ferrolit_value* args, int32_t nargs,
                             ferrolit_value* result) {
    return invoke(object, member, args, nargs, result, FERROLIT_KIND_GET);
}

ferrolit_status ferrolit_call(ferrolit_object* object, const char* member, ferrolit_value* args, int32_t nargs,
                              ferrolit_value* result) {
    return invoke(object, member, args, nargs, result, FERROLIT_KIND_METHOD | FERROLIT_KIND_GET);
}

ferrolit_status ferrolit_let(ferrolit_object* object, const char* member, const ferrolit_value* value) {
    return guard([&] {
        const ferrolit_object& target = require(object);
        const Member& m = require_member(target, member, FERROLIT_KIND_LET);
        if (value == nullptr) argument_count_error();
        m.assign(target, *value);
    });
}

}  // extern "C"
