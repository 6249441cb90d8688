#include "verify/input/project_data.hpp"

#include <stdexcept>
#include <utility>

namespace ferrolit::verification {

namespace {

constexpr const char* kBlock = "progetto";

// Each text of the block and where it goes, in the order of the title page.
const std::pair<const char*, std::string ProjectData::*> kFields[] = {{"opera", &ProjectData::work},
                                                                      {"committente", &ProjectData::client},
                                                                      {"progettista", &ProjectData::designer},
                                                                      {"luogo", &ProjectData::place},
                                                                      {"note", &ProjectData::notes}};

// A text of the block is for a person to read on the title page, not a document of its own.
constexpr std::size_t kMostBytes = 2000;

std::string field_names() {
    std::string names;
    for (const auto& field : kFields) names += (names.empty() ? "" : ", ") + std::string(field.first);
    return names;
}

}  // namespace

ProjectData read_project_data(const nlohmann::json& block, const ProjectProblem& fail) {
    ProjectData project;
    const auto refuse = [&](const std::string& path, const std::string& problem) {
        fail(path, problem);
        throw std::logic_error("read_project_data: the reporter returned");  // fail() never returns
    };
    if (!block.is_object()) refuse(kBlock, "è un oggetto {" + field_names() + "} di testi");
    for (const auto& entry : block.items()) {
        const std::string path = std::string(kBlock) + "." + entry.key();
        const auto* field = [&]() -> const std::pair<const char*, std::string ProjectData::*>* {
            for (const auto& f : kFields)
                if (entry.key() == f.first) return &f;
            return nullptr;
        }();
        if (field == nullptr) refuse(path, "chiave sconosciuta: ammesse " + field_names());
        if (!entry.value().is_string()) refuse(path, "è un testo");
        std::string text = entry.value().get<std::string>();
        if (text.size() > kMostBytes) refuse(path, "testo troppo lungo: al massimo 2000 byte");
        // A line feed may break a note; no other control character belongs in a printed text.
        for (const unsigned char c : text)
            if ((c < 0x20 && c != '\n') || c == 0x7F) refuse(path, "il testo contiene caratteri di controllo");
        project.*(field->second) = std::move(text);
    }
    return project;
}

}  // namespace ferrolit::verification
