// The Italian names of the verification's enumerations, as the input and
// the record write them.

#include "ferrolit/verify.hpp"

namespace ferrolit {

const char* member_type_name(MemberType member) {
    switch (member) {
        case MemberType::Beam:
            return "Trave";
        case MemberType::Column:
            return "Pilastro";
        case MemberType::Slab:
            return "Soletta";
    }
    return "";
}

const char* combination_kind_name(CombinationKind kind) {
    switch (kind) {
        case CombinationKind::Ultimate:
            return "SLU";
        case CombinationKind::Seismic:
            return "SLU sismica";
        case CombinationKind::Characteristic:
            return "SLE rara";
        case CombinationKind::Frequent:
            return "SLE frequente";
        case CombinationKind::QuasiPermanent:
            return "SLE quasi permanente";
    }
    return "";
}

bool is_ultimate(CombinationKind kind) { return kind == CombinationKind::Ultimate || kind == CombinationKind::Seismic; }

const char* environment_name(Environment environment) {
    switch (environment) {
        case Environment::Ordinary:
            return "ordinario";
        case Environment::Aggressive:
            return "aggressivo";
        case Environment::VeryAggressive:
            return "molto aggressivo";
    }
    return "";
}

const char* shape_kind_name(ShapeKind kind) {
    switch (kind) {
        case ShapeKind::Rectangle:
            return "rettangolare";
        case ShapeKind::Tee:
            return "T";
        case ShapeKind::InvertedTee:
            return "T rovescia";
        case ShapeKind::Ell:
            return "L";
        case ShapeKind::Polygon:
            return "poligono";
    }
    return "";
}

const char* origin_name(Origin origin) {
    switch (origin) {
        case Origin::Given:
            return "assegnata";
        case Origin::CodeMinimum:
            return "minimo di normativa";
        case Origin::Designed:
            return "progetto";
    }
    return "";
}

}  // namespace ferrolit
