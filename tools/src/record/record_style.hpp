#pragma once

// The stylesheet of the HTML record: screen and A4 print.

#include <string>

namespace ferrolit::cli {

// The record's rules after the shared palette (tools/web/palette.css).
std::string record_style();

// The running header and footer of every printed page: program, version,
// code, date and the page number.
std::string page_style(const std::string& version, const std::string& date, const std::string& code);

}  // namespace ferrolit::cli
