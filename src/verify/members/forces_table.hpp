#pragma once

// The internal forces of the analysis program, one row per member, station
// and combination, read row after row (never the whole table at once) from
// a CSV text or from the rows of the model, mapped to this library's names,
// signs and units by the model's "convenzioni".

#include <istream>
#include <map>
#include <memory>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

#include "ferrolit/verify_lists.hpp"

namespace ferrolit::members {

// Our columns, in the order of a row's values.
enum Column { kMember, kStation, kCombination, kKind, kN, kVy, kVz, kT, kMy, kMz, kColumnCount };
inline constexpr const char* kColumnNames[kColumnCount] = {"membratura", "ascissa", "combinazione", "tipo", "N", "Vy",
                                                           "Vz",         "T",       "My",           "Mz"};

struct Conventions {
    std::map<std::string, std::string> headers;  // our column name -> the table's header
    double sign[kColumnCount] = {1, 1, 1, 1, 1, 1, 1, 1, 1, 1};
    double force_factor = 1;                       // to kN
    double moment_factor = 1;                      // to kNm
    double length_factor = 1;                      // to m
    std::map<std::string, CombinationKind> kinds;  // "combinazioni": combination -> kind
};

// Reads "convenzioni" and "combinazioni" of the model; InputError naming the key.
Conventions read_conventions(const nlohmann::json& model);

struct ForceRow {
    int line = 0;  // CSV line, or item of the list counted from 1
    std::string member, combination;
    std::optional<CombinationKind> kind;                  // from the column "tipo" or the model's "combinazioni"
    double x = 0;                                         // m
    double N = 0, Vy = 0, Vz = 0, T = 0, My = 0, Mz = 0;  // kN, kNm, this library's signs
    std::string problem;  // not empty: the row cannot be used, and why (the member's error)
};

class RowSource {
public:
    virtual ~RowSource() = default;
    // The next row; empty at the end. InputError for a table that cannot be read at all.
    virtual std::optional<ForceRow> next() = 0;
};

// A CSV table (header row, "," ";" or tab separated, decimal point or comma).
std::unique_ptr<RowSource> csv_rows(std::istream& in, const std::string& name, const Conventions& conventions);
// The model's list of rows (objects keyed by the table's headers).
std::unique_ptr<RowSource> list_rows(const nlohmann::json& rows, const Conventions& conventions);

}  // namespace ferrolit::members
