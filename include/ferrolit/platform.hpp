#pragma once

#include <functional>
#include <string>

#include "ferrolit/export.hpp"

namespace ferrolit {

// Called, synchronously, where the design procedures stop with a modal
// critical-stop message box. Without a handler the title and text go to
// standard error.
using MessageBoxHandler = std::function<void(const std::string& text, const std::string& title)>;

// Called where the design procedures sound the alert beep. Without a handler
// a BEL character goes to standard error.
using BeepHandler = std::function<void()>;

// Install a handler; each returns the one it replaced (empty when none was set).
FERROLIT_API MessageBoxHandler setMessageBoxHandler(MessageBoxHandler handler);
FERROLIT_API BeepHandler setBeepHandler(BeepHandler handler);

// Fix the decimal separator of the "0.00" and "0.0" renderings used in
// messages. By default it comes from the locale named by LC_ALL, LC_NUMERIC
// or LANG (a comma for Italian), and is "." when none is set or it is unknown.
FERROLIT_API void setDecimalSeparator(char separator);

}  // namespace ferrolit
