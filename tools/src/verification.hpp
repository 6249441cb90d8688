#pragma once

// The typical use of the library in a verification: create the section, give it its
// materials, choose what reinforcement is missing, then ask the library for
// the resisting moments, the shear resistances and the crack width and set
// each against its action.

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "ferrolit/section.hpp"
#include "input.hpp"

namespace ferrolit::cli {

// A section whose data are readable but that the library cannot compute.
class ComputeError : public std::runtime_error {
public:
    ComputeError(const SectionInput& in, const std::string& problem);
};

struct Layer {
    std::string name;     // member name of the area: "As_inf", ...
    std::string bars;     // bar text such as "3f20"
    float area = 0;       // mm²
    bool chosen = false;  // chosen by the code minimum rather than given
};

struct Stirrups {
    float diameter = 0, spacing = 0;  // mm
    int legs = 0;
    float per_metre = 0, minimum = 0;  // mm²/m: provided and required by the code
    bool chosen = false;               // set by the code rules rather than given
    bool short_of_minimum = false;     // the code rules could not reach the minimum
};

struct Flexure {
    std::string direction;                                   // "Y" or "Z"
    float Med = 0, Mrd = 0, Ned = 0;                         // kNm, kNm, kN
    float xn = 0, sigma_tension = 0, sigma_compression = 0;  // mm, MPa, MPa
    bool outside_domain = false;                             // Ned lies outside the domain: no resisting moment
    double ratio = 0;
    bool ok = false;
};

struct Shear {
    std::string plane;                                        // "Z" (plane of Med_y) or "Y" (plane of Med_z)
    float Ved = 0, Vrd_cls = 0, Vrsd = 0, Vrcd = 0, Vrd = 0;  // kN; Vrd = min(Vrsd, Vrcd)
    double ratio = 0;
    bool ok = false;
};

struct Crack {
    float Med_Fes = 0;     // kNm, the moment the width was computed for
    bool hogging = false;  // negative moment: the top layer is the tensioned one
    float Wk = 0, wk_lim = 0, EPSsm = 0, DELTAsm = 0;
    std::string limit_source;       // where wk_lim came from
    bool unknown_diameter = false;  // tensioned bars given by area alone: no diameter for the spacing
    double ratio = 0;
    bool ok = false;
};

struct Biaxial {
    double value = 0;  // |Med_y|/MrdY + |Med_z|/MrdZ
    bool ok = false;
};

// One branch of an interaction domain: points in sweep order, M signed for
// plotting (the branch of negative moments carries negative M).
struct Branch {
    std::vector<float> N, M;
};

struct Domain {
    std::string direction;
    Branch positive, negative;
    float Ned = 0, Med = 0;
};

struct Verification {
    std::string file;
    int line = 0;
    std::shared_ptr<Section> section;  // with the reinforcement used and the results
    bool tee = false;
    std::vector<Layer> layers;
    Stirrups stirrups;
    float AsMin = 0, AsMax = 0;
    Flexure flexure[2];  // "Y", "Z"
    Shear shear[2];      // "Z", "Y"
    Crack crack;
    std::optional<Biaxial> biaxial;
    std::vector<std::string> messages;  // what the library had to say on the way
    std::vector<Domain> domains;        // filled when asked for

    bool ok() const;
    double max_ratio() const;
    std::string governing() const;  // name of the check with the largest ratio
};

// Runs the verification of one section. Throws InputError for data that
// cannot be used and ComputeError when the library cannot compute the section.
Verification verify(const SectionInput& in, bool with_domains);

}  // namespace ferrolit::cli
