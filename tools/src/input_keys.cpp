#include "input_keys.hpp"

namespace ferrolit::cli {

namespace {

struct GroupText {
    KeyGroup group;
    const char* title;
    const char* how;
};

constexpr GroupText kGroups[] = {
    {KeyGroup::Creation, "Creation", "arguments of `CreaSezRett` / `CreaSezT`; actions default to 0"},
    {KeyGroup::Flange, "T section", "arguments of `CreaSezT`: both make the section a T"},
    {KeyGroup::Bars, "Bar layers",
     "written to the section; a bar text alone gives its area, and a layer with neither is chosen by the code "
     "minimum (`ImpostaFerriNorm`)"},
    {KeyGroup::Stirrups, "Stirrups",
     "written to the section; with none of the three the code sets them (`ImpostaStaffeNorm`)"},
    {KeyGroup::Section, "Other members", "written to the section after its creation"},
    {KeyGroup::Materials, "Materials",
     "arguments of `CreaMateriale_Sezione`; each value given wins, a known class name supplies the others"},
    {KeyGroup::Check, "Verification",
     "read by the check itself: the crack-width limit (otherwise by `CondizioniAmbientali`)"},
};

std::string key_text(const InputKey& key) {
    std::string note(key.unit);
    if (key.kind == KeyKind::Text) note = "text";
    if (key.kind == KeyKind::Integer) note = note.empty() ? "whole number" : note + ", whole number";
    std::string text = "`" + std::string(key.name) + "`";
    return note.empty() ? text : text + " (" + note + ")";
}

}  // namespace

std::string key_table_markdown() {
    std::string table = "| Group | Keys | How they reach the section |\n|---|---|---|\n";
    for (const GroupText& g : kGroups) {
        std::string keys;
        for (const InputKey& key : kInputKeys) {
            if (key.group != g.group) continue;
            keys += (keys.empty() ? "" : ", ") + key_text(key);
        }
        table += std::string("| ") + g.title + " | " + keys + " | " + g.how + " |\n";
    }
    return table;
}

}  // namespace ferrolit::cli
