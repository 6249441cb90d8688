#include "capi/classes.hpp"

#include <cstring>

#include "capi/names.hpp"

namespace ferrolit::capi {

namespace {

bool carries(const char* cls, Owner owner) {
    const std::string_view name(cls);
    switch (owner) {
        case Owner::Registry:
            return name == kRegistryClass;
        case Owner::Collection:
            return name == kCollectionClass;
        case Owner::Section:
            return name == kRectClass || name == kTeeClass;
        case Owner::Rect:
            return name == kRectClass;
        case Owner::Tee:
            return name == kTeeClass;
    }
    return false;
}

ClassInfo make_class(const char* name, Instance (*create)()) {
    ClassInfo c{name, {}, {}, {}, {}, create};
    for (const Member& m : member_table()) {
        if (!carries(name, m.owner)) continue;
        c.index.emplace(m.name, static_cast<std::int32_t>(c.members.size()));
        c.members.push_back(&m);
        std::vector<ferrolit_arg_info> args;
        for (const ArgDesc& a : m.args) args.push_back({a.name, a.type.type, a.type.name, a.output ? 1 : 0});
        c.arg_infos.push_back(std::move(args));
    }
    for (std::size_t i = 0; i < c.members.size(); ++i) {
        const Member& m = *c.members[i];
        c.infos.push_back({m.name, m.kind, m.result.type, m.result.name,
                           static_cast<std::int32_t>(c.arg_infos[i].size()), c.arg_infos[i].data()});
    }
    return c;
}

std::vector<ClassInfo> build_classes() {
    std::vector<ClassInfo> all;
    all.push_back(make_class(kRegistryClass, [] { return Instance(std::make_shared<clsGenVerSez>()); }));
    all.push_back(make_class(
        kRectClass, [] { return Instance(std::shared_ptr<component::Section>(std::make_shared<clsSezRett>())); }));
    all.push_back(make_class(
        kTeeClass, [] { return Instance(std::shared_ptr<component::Section>(std::make_shared<clsSezT>())); }));
    all.push_back(make_class(kCollectionClass, [] { return Instance(std::make_shared<SectionCollection>()); }));
    return all;
}

}  // namespace

const std::vector<ClassInfo>& classes() {
    static const std::vector<ClassInfo> all = build_classes();
    return all;
}

const ClassInfo* find_class(const char* name) noexcept {
    if (name == nullptr) return nullptr;
    for (const ClassInfo& c : classes())
        if (c.name == name) return &c;
    return nullptr;
}

const Member* find_member(const ClassInfo& cls, const char* name) noexcept {
    if (name == nullptr) return nullptr;
    const auto found = cls.index.find(std::string_view(name));
    return found == cls.index.end() ? nullptr : cls.members[static_cast<std::size_t>(found->second)];
}

ferrolit_object* make_handle(std::shared_ptr<clsGenVerSez> registry) {
    return new ferrolit_object(*find_class(kRegistryClass), std::move(registry));
}

ferrolit_object* make_handle(std::shared_ptr<SectionCollection> collection) {
    return new ferrolit_object(*find_class(kCollectionClass), std::move(collection));
}

ferrolit_object* make_handle(std::shared_ptr<component::Section> section) {
    const char* name = dynamic_cast<const clsSezT*>(section.get()) != nullptr ? kTeeClass : kRectClass;
    return new ferrolit_object(*find_class(name), std::move(section));
}

}  // namespace ferrolit::capi
