#include "component/registry/code_minimum.hpp"

#include <algorithm>

#include "component/registry/layer_design.hpp"
#include "core/platform.hpp"
#include "ferrolit/registry.hpp"

namespace ferrolit::component {

namespace {

float f(double v) { return static_cast<float>(v); }

// The component reads "f" as the bar marker only.
std::string component_text(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool mark = text[i] == '\xC3' && i + 1 < text.size() && (text[i + 1] == '\x98' || text[i + 1] == '\xB8');
        out += mark ? 'f' : text[i];
        i += mark ? 1 : 0;
    }
    return out;
}

std::shared_ptr<Section> create(clsGenVerSez& registry, const CodeMinimumSection& s) {
    const std::string tipo = s.column ? "Pilastro" : "Trave";
    const auto n = static_cast<std::int16_t>(s.NFerriMinimo);
    const auto d_min = static_cast<std::int16_t>(s.dFerriMinimo);
    const auto d_max = static_cast<std::int16_t>(s.dFerriMassimo);
    if (s.tee)
        registry.CreaSezT(tipo, s.description, f(s.Base), f(s.BaseInf), f(s.Altezza), f(s.SpessoreT),
                          f(s.Copriferro_Inf), f(s.Copriferro_Sup), 0, 0, f(s.Ned_x), 0, 0, n, d_min, d_max);
    else
        registry.CreaSezRett(tipo, s.description, f(s.Base), f(s.Altezza), f(s.Copriferro_Inf), f(s.Copriferro_Sup), 0,
                             0, f(s.Ned_x), 0, 0, n, d_min, d_max);
    registry.CreaMateriale_Sezione(s.ClasseCls, f(s.Rck), f(s.fck), f(s.gammaC), f(s.alfaCC), f(s.fcm), f(s.fctm),
                                   f(s.fctk05), f(s.fctk95), f(s.Ec), f(s.eps_c2), f(s.eps_cu), f(s.fcd), f(s.fctd),
                                   s.ClasseAcciaio, f(s.fyk), f(s.gammaS), f(s.Es), f(s.fyd), f(s.eps_yd), f(s.eps_ud));
    return registry.Sezioni()->Item(registry.SezioneCorrente());
}

}  // namespace

CodeMinimumChoice choose_code_minimum(const CodeMinimumSection& section, const std::vector<CodeMinimumLayer>& layers,
                                      bool stirrups) {
    CodeMinimumChoice choice;
    choice.bars.resize(layers.size());
    // The component speaks through its message box: kept on this thread; an
    // empty message is its beep.
    bool beeped = false;
    const detail::ThreadMessageSink sink(
        [&](const std::string& text, const std::string& title) { beeped = beeped || (text.empty() && title.empty()); });
    clsGenVerSez registry;
    const std::shared_ptr<Section> s = create(registry, section);
    // A fresh section's layers hold 0 and "": a layer given by one value alone keeps the other so.
    for (const CodeMinimumLayer& layer : layers)
        if (layer.bars || layer.area)
            write_layer(*s, layer.position, f(layer.area.value_or(0)), component_text(layer.bars.value_or("")));
    for (std::size_t i = 0; i < layers.size(); ++i) {
        if (!layers[i].choose) continue;
        bool go_on = true;
        std::string message;
        registry.ImpostaFerriNorm(layers[i].position, go_on, message);
        if (!go_on) {
            choice.unmet = layers[i].position;
            choice.as_min = s->AsMin();
            choice.most_bars = std::max<int>(
                s->NFerriMassimo(layers[i].position, static_cast<std::int16_t>(section.dFerriMassimo)), 0);
            return choice;
        }
        choice.bars[i] = layer_text(*s, layers[i].position);
    }
    if (stirrups) {
        registry.ImpostaStaffeNorm();
        choice.stirrups = CodeMinimumStirrups{s->fStaffe(), s->nBracciaStaffe(), s->passoStaffe(), beeped};
    }
    return choice;
}

}  // namespace ferrolit::component
