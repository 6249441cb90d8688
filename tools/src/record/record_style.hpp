#pragma once

// The stylesheet of the HTML record: screen and A4 print.

namespace ferrolit::cli {

extern const char* const kRecordStyle;

}  // namespace ferrolit::cli
