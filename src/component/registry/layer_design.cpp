#include "component/registry/layer_design.hpp"

#include "core/message_numbers.hpp"
#include "core/numeric.hpp"
#include "core/platform.hpp"

namespace ferrolit::component {

namespace {

// mm² to cm², two divisions by 10 each rounded to single precision.
float square_cm(float mm2) { return detail::single(detail::single(mm2 / 10.0) / 10.0); }

}  // namespace

float layer_area(const Section& s, PosizioneFerri layer) {
    switch (layer) {
        case PosizioneFerri::As_inf:
            return s.As_inf();
        case PosizioneFerri::As_sup:
            return s.As_sup();
        case PosizioneFerri::As_infY:
            return s.As_infY();
        case PosizioneFerri::As_supY:
            return s.As_supY();
    }
    return 0;
}

std::string layer_text(const Section& s, PosizioneFerri layer) {
    switch (layer) {
        case PosizioneFerri::As_inf:
            return s.stringaAs_inf();
        case PosizioneFerri::As_sup:
            return s.stringaAs_sup();
        case PosizioneFerri::As_infY:
            return s.stringaAs_infY();
        case PosizioneFerri::As_supY:
            return s.stringaAs_supY();
    }
    return {};
}

void write_layer(Section& s, PosizioneFerri layer, float area, const std::string& text) {
    switch (layer) {
        case PosizioneFerri::As_inf:
            s.As_inf(area);
            s.stringaAs_inf(text);
            break;
        case PosizioneFerri::As_sup:
            s.As_sup(area);
            s.stringaAs_sup(text);
            break;
        case PosizioneFerri::As_infY:
            s.As_infY(area);
            s.stringaAs_infY(text);
            break;
        case PosizioneFerri::As_supY:
            s.As_supY(area);
            s.stringaAs_supY(text);
            break;
    }
}

std::string dimension_lines(const Section& s, const char* base_label) {
    return std::string(base_label) + "B = " + detail::fixed_decimals(detail::single(s.Base() / 1000.0), 2) + " m.\n" +
           "Altezza: H = " + detail::fixed_decimals(detail::single(s.Altezza() / 1000.0), 2) + " m.\n";
}

std::string below_minimum_ending(float as_min, const std::string& text, float area) {
    return "L'Armatura Minima da normativa: As,min= " + detail::fixed_decimals(square_cm(as_min), 2) + "cm²\n" +
           "Non si può inserire nella sezione:  Con (" + text +
           ") si avrebbe As= " + detail::fixed_decimals(square_cm(area), 2) + "cm² < As,min";
}

std::string too_many_bars_ending(const std::string& text) {
    return "Per verificare la sezione Occorrono più di " + text;
}

void show_design_failure(const Section& s, const std::string& text) {
    detail::show_message_box(text, "Armatura Minima " + s.DescrSezione());
}

}  // namespace ferrolit::component
