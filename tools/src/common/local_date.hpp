#pragma once

// Today's date in the machine's time zone, for the headers of the records.

#include <ctime>
#include <string>

namespace ferrolit::cli {

// `format` as for strftime: "%Y-%m-%d" for the HTML record, "%d/%m/%Y" for the text one.
inline std::string local_date(const char* format) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    char text[32];
    return std::strftime(text, sizeof text, format, &local) ? text : "";
}

}  // namespace ferrolit::cli
