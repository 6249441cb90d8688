#include "verify/members/model_input.hpp"

#include "verify/input/input_keys.hpp"
#include "verify/input/json_text.hpp"
#include "verify/input/name_lists.hpp"
#include "verify/input/project_data.hpp"
#include "verify/members/model_errors.hpp"

namespace ferrolit::members {

namespace {

using nlohmann::json;

// A model holds its rows as well as its sections: far larger than one section.
constexpr std::size_t kMostModelBytes = std::size_t{1} << 28;

// The keys of a member that pass to its section when the section reader knows them.
constexpr const char* kPassedKeys[] = {"luce_netta", "l0_y", "l0_z", "sismica"};
constexpr const char* kMemberKeys[] = {"id", "sezione", "tipo"};

std::string text_of(const json& object, const char* key, const std::string& where) {
    if (!object.contains(key)) return {};
    if (!object[key].is_string()) model_error(where + "." + key, "è un testo");
    return object[key].get<std::string>();
}

ProjectData project_of(const json& root) {
    if (!root.contains("progetto")) return {};
    return verification::read_project_data(root["progetto"], model_error);
}

// The member's own keys onto a copy of its section's object.
void complete_section(MemberEntry& m, const json& item, const json& sections) {
    if (!sections.contains(m.section)) {
        m.problem = "sezione \"" + m.section + "\" assente in \"sezioni\"";
        return;
    }
    json section = sections[m.section];
    if (!section.is_object()) {
        m.problem = "sezione \"" + m.section + "\": non è un oggetto";
        return;
    }
    if (section.contains("combinazioni")) {
        m.problem = "sezione \"" + m.section + "\": le combinazioni vengono dalle sollecitazioni, non dalla sezione";
        return;
    }
    if (!m.type.empty()) {
        const auto type = verification::parse_name(kMemberTypes, m.type);
        if (!type) {
            m.problem = "tipo \"" + m.type + "\": " + verification::allowed_names("ammessi", kMemberTypes);
            return;
        }
        section["TipoSezione"] = member_type_name(*type);
    }
    for (const char* key : kPassedKeys) {
        if (!item.contains(key)) continue;
        if (verification::find_key(key))
            section[key] = item[key];
        else
            m.warnings.push_back(std::string("\"") + key +
                                 "\" della membratura conservato ma non ancora usato dalle verifiche");
    }
    for (const auto& entry : item.items()) {
        // A plain variable, not a structured binding: clang 14 (the fuzz and
        // WebAssembly builds) cannot capture bindings in a lambda.
        const std::string& key = entry.key();
        const auto known = [&](const auto& list) {
            return std::find_if(std::begin(list), std::end(list), [&](const char* k) { return key == k; }) !=
                   std::end(list);
        };
        if (!known(kPassedKeys) && !known(kMemberKeys)) {
            m.problem = "chiave sconosciuta \"" + key +
                        "\" della membratura: ammesse id, sezione, tipo, luce_netta, l0_y, l0_z, sismica";
            return;
        }
    }
    m.section_text = section.dump();
}

// The model's JSON, its top-level keys checked.
json parse_model(std::string_view text) {
    if (text.size() > kMostModelBytes) model_error("", "modello troppo grande: al massimo 256 MiB");
    if (verification::too_deep_at(text, verification::kMostDepth) != std::string_view::npos)
        model_error("", "annidamento oltre 16 livelli di liste e oggetti");
    json root;
    try {
        root = json::parse(text);
    } catch (const json::exception& e) {
        model_error("", std::string("il modello non è un JSON valido: ") + e.what());
    }
    if (!root.is_object()) model_error("", "il modello è un oggetto {progetto, sezioni, membrature, sollecitazioni}");
    for (const auto& [key, value] : root.items())
        if (key != "progetto" && key != "sezioni" && key != "membrature" && key != "sollecitazioni" &&
            key != "convenzioni" && key != "combinazioni")
            model_error(
                key,
                "chiave sconosciuta: ammesse progetto, sezioni, membrature, sollecitazioni, convenzioni, combinazioni");
    return root;
}

}  // namespace

Model::Model(std::string_view text) : root(parse_model(text)) {
    const json& doc = root;  // read only: a const json's operator[] adds no key
    project = project_of(doc);
    if (!doc.contains("sezioni") || !doc["sezioni"].is_object())
        model_error("sezioni", "manca: un oggetto {nome: sezione}");
    if (!doc.contains("membrature") || !doc["membrature"].is_array() || doc["membrature"].empty())
        model_error("membrature", "manca: una lista [{id, sezione, tipo}, …]");
    const json& list = doc["membrature"];
    for (std::size_t i = 0; i < list.size(); ++i) {
        const std::string where = "membrature[" + std::to_string(i + 1) + "]";
        const json& item = list[i];
        if (!item.is_object()) model_error(where, "è un oggetto {id, sezione, tipo}");
        MemberEntry m;
        m.id = item.contains("id") && item["id"].is_number_integer() ? item["id"].dump() : text_of(item, "id", where);
        if (m.id.empty())
            model_error(where + ".id", "manca: il nome della membratura nella tabella delle sollecitazioni");
        m.section = text_of(item, "sezione", where);
        if (m.section.empty()) model_error(where + ".sezione", "manca: il nome di una sezione di \"sezioni\"");
        m.type = text_of(item, "tipo", where);
        if (!index.emplace(m.id, members.size()).second)
            model_error(where + ".id", "membratura \"" + m.id + "\" ripetuta");
        complete_section(m, item, doc["sezioni"]);
        members.push_back(std::move(m));
    }
}

VerificationInput member_section(const MemberEntry& member) { return read_verification_input(member.section_text); }

}  // namespace ferrolit::members
