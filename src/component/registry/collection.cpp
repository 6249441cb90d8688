#include "ferrolit/error.hpp"
#include "ferrolit/registry.hpp"

namespace ferrolit {

using component::Section;

std::shared_ptr<Section> SectionCollection::Item(std::int32_t index) const {
    if (index < 1 || index > Count()) throw Error(ErrorKind::InvalidIndex);
    return items_[static_cast<std::size_t>(index - 1)];
}

void SectionCollection::Add(std::shared_ptr<Section> item) {
    if (!item) throw Error(ErrorKind::ObjectRequired);
    items_.push_back(std::move(item));
}

void SectionCollection::Remove(std::int32_t index) {
    if (index < 1 || index > Count()) throw Error(ErrorKind::InvalidIndex);
    items_.erase(items_.begin() + (index - 1));
}

}  // namespace ferrolit
