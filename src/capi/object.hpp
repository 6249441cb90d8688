#pragma once

// What stands behind a handle of the C interface: a shared reference to one
// object of the library, the class under which it is exposed and a count of
// the handle's own references.

#include <atomic>
#include <cstdint>
#include <memory>
#include <variant>

#include "ferrolit/ferrolit.h"
#include "ferrolit/registry.hpp"
#include "ferrolit/section.hpp"

namespace ferrolit::capi {

struct ClassInfo;

using Instance = std::variant<std::shared_ptr<clsGenVerSez>, std::shared_ptr<SectionCollection>,
                              std::shared_ptr<component::Section>>;

}  // namespace ferrolit::capi

struct ferrolit_object {
    ferrolit_object(const ferrolit::capi::ClassInfo& c, ferrolit::capi::Instance i) : cls(&c), instance(std::move(i)) {}

    std::atomic<std::int32_t> refs{1};
    const ferrolit::capi::ClassInfo* cls;
    ferrolit::capi::Instance instance;
};

namespace ferrolit::capi {

// The object of type O behind a handle whose class carries O's members.
template <class O>
O& target_as(const ferrolit_object& handle) {
    if constexpr (std::is_base_of_v<component::Section, O>) {
        return static_cast<O&>(*std::get<std::shared_ptr<component::Section>>(handle.instance));
    } else {
        return *std::get<std::shared_ptr<O>>(handle.instance);
    }
}

// Address of the object itself, for identity.
inline const void* identity(const ferrolit_object& handle) {
    return std::visit([](const auto& p) -> const void* { return p.get(); }, handle.instance);
}

// New handles (one reference each) for objects the library hands out.
ferrolit_object* make_handle(std::shared_ptr<clsGenVerSez> registry);
ferrolit_object* make_handle(std::shared_ptr<SectionCollection> collection);
ferrolit_object* make_handle(std::shared_ptr<component::Section> section);  // exposed as its own kind

}  // namespace ferrolit::capi
