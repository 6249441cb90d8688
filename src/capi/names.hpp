#pragma once

// The names under which the C interface exposes the library's classes and
// enumerations, each written once. An enumeration value's row ties its name,
// its C++ value and its C constant (FERROLIT_<name>) together at compile time.

#include <cstdint>
#include <span>

#include "ferrolit/enums.hpp"
#include "ferrolit/ferrolit.h"

namespace ferrolit::capi {

// ---- classes ----
inline constexpr char kRegistryClass[] = "clsGenVerSez";
inline constexpr char kRectClass[] = "clsSezRett";
inline constexpr char kTeeClass[] = "clsSezT";
inline constexpr char kCollectionClass[] = "Collection";
// The type name of a value that may be a section of either kind.
inline constexpr char kAnySection[] = "";

// ---- enumerations ----
inline constexpr char kTipoBordo[] = "TipoBordo";
inline constexpr char kPosizioneFerri[] = "PosizioneFerri";

struct EnumValue {
    const char* name;
    std::int32_t value;
};

template <auto Value, std::int32_t CValue>
constexpr EnumValue enum_value(const char* name) {
    static_assert(static_cast<std::int32_t>(Value) == CValue, "the C++ and C values of an enumeration disagree");
    return {name, CValue};
}

#define FERROLIT_ENUM_VALUE(Enum, Name) ::ferrolit::capi::enum_value<::ferrolit::Enum::Name, FERROLIT_##Name>(#Name)

inline constexpr EnumValue kTipoBordoValues[] = {
    FERROLIT_ENUM_VALUE(TipoBordo, Superiore),
    FERROLIT_ENUM_VALUE(TipoBordo, Inferiore),
    FERROLIT_ENUM_VALUE(TipoBordo, Sinistro),
    FERROLIT_ENUM_VALUE(TipoBordo, Destro),
};

inline constexpr EnumValue kPosizioneFerriValues[] = {
    FERROLIT_ENUM_VALUE(PosizioneFerri, As_inf),
    FERROLIT_ENUM_VALUE(PosizioneFerri, As_sup),
    FERROLIT_ENUM_VALUE(PosizioneFerri, As_infY),
    FERROLIT_ENUM_VALUE(PosizioneFerri, As_supY),
};

#undef FERROLIT_ENUM_VALUE

struct EnumInfo {
    const char* name;
    std::span<const EnumValue> values;
};

// The enumerations in the order of the type information.
inline constexpr EnumInfo kEnums[] = {
    {kTipoBordo, kTipoBordoValues},
    {kPosizioneFerri, kPosizioneFerriValues},
};

}  // namespace ferrolit::capi
