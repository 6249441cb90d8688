// The platform hooks and the version, for C hosts: C callbacks with a
// user-data pointer wrapped into the library's handlers.

#include "capi/status.hpp"
#include "ferrolit/ferrolit.h"
#include "ferrolit/platform.hpp"
#include "ferrolit/version.h"

using ferrolit::capi::guard;

extern "C" {

ferrolit_status ferrolit_set_message_box_handler(ferrolit_message_box_fn handler, void* user_data) {
    return guard([&] {
        ferrolit::MessageBoxHandler h;
        if (handler != nullptr)
            h = [handler, user_data](const std::string& text, const std::string& title) {
                handler(text.c_str(), title.c_str(), user_data);
            };
        ferrolit::setMessageBoxHandler(std::move(h));
    });
}

ferrolit_status ferrolit_set_beep_handler(ferrolit_beep_fn handler, void* user_data) {
    return guard([&] {
        ferrolit::BeepHandler h;
        if (handler != nullptr) h = [handler, user_data] { handler(user_data); };
        ferrolit::setBeepHandler(std::move(h));
    });
}

ferrolit_status ferrolit_set_decimal_separator(char separator) {
    return guard([&] { ferrolit::setDecimalSeparator(separator); });
}

const char* ferrolit_version(void) { return FERROLIT_VERSION_STRING; }

}  // extern "C"
