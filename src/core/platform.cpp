#include "core/platform.hpp"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <mutex>
#include <utility>

#include "core/numeric.hpp"
#include "ferrolit/platform.hpp"

namespace ferrolit {

namespace {

std::mutex& handler_mutex() {
    static std::mutex m;
    return m;
}

MessageBoxHandler& message_box_handler() {
    static MessageBoxHandler handler;
    return handler;
}

BeepHandler& beep_handler() {
    static BeepHandler handler;
    return handler;
}

thread_local detail::ThreadMessageSink* current_sink = nullptr;

// 0 while the separator follows the environment.
std::atomic<char> fixed_separator{'\0'};

// Languages whose usual decimal separator is a comma.
constexpr std::string_view kCommaLanguages[] = {"it", "de", "fr", "es", "pt", "nl", "ru", "pl", "cs", "sk", "sl",
                                                "hr", "sr", "bs", "hu", "ro", "bg", "uk", "be", "el", "tr", "sv",
                                                "da", "nb", "nn", "no", "fi", "et", "lv", "lt", "ca", "gl", "id"};

// Territories whose language takes a comma elsewhere but a point there.
constexpr std::string_view kPointTerritories[] = {"de_CH", "it_CH", "de_LI", "es_MX", "es_US"};

}  // namespace

MessageBoxHandler setMessageBoxHandler(MessageBoxHandler handler) {
    std::lock_guard lock(handler_mutex());
    return std::exchange(message_box_handler(), std::move(handler));
}

BeepHandler setBeepHandler(BeepHandler handler) {
    std::lock_guard lock(handler_mutex());
    return std::exchange(beep_handler(), std::move(handler));
}

void setDecimalSeparator(char separator) { fixed_separator.store(separator); }

namespace detail {

ThreadMessageSink::ThreadMessageSink(Sink sink) : sink_(std::move(sink)), previous_(current_sink) {
    current_sink = this;
}

ThreadMessageSink::~ThreadMessageSink() { current_sink = previous_; }

void show_message_box(const std::string& text, const std::string& title) {
    if (current_sink != nullptr) {
        current_sink->deliver(text, title);
        return;
    }
    MessageBoxHandler handler;
    {
        std::lock_guard lock(handler_mutex());
        handler = message_box_handler();
    }
    // Called outside the lock (a handler may install another one), and in
    // the host's own floating-point environment.
    if (handler) {
        const HostFpEnvironment host;
        handler(text, title);
        return;
    }
    std::fprintf(stderr, "%s\n%s\n", title.c_str(), text.c_str());
}

void alert_beep() {
    if (current_sink != nullptr) {
        current_sink->deliver("", "");
        return;
    }
    BeepHandler handler;
    {
        std::lock_guard lock(handler_mutex());
        handler = beep_handler();
    }
    if (handler) {
        const HostFpEnvironment host;
        handler();
        return;
    }
    std::fputc('\a', stderr);
    std::fflush(stderr);
}

char separator_of_locale(std::string_view name) {
    // language[_territory][.codeset][@modifier]
    const std::size_t cut = name.find_first_of(".@");
    if (cut != std::string_view::npos) name = name.substr(0, cut);
    for (std::string_view territory : kPointTerritories) {
        if (name == territory) return '.';
    }
    const std::string_view language = name.substr(0, name.find('_'));
    for (std::string_view comma : kCommaLanguages) {
        if (language == comma) return ',';
    }
    return '.';
}

char decimal_separator() {
    if (const char fixed = fixed_separator.load()) return fixed;
    // The first of these that is set and not empty names the numeric locale.
    for (const char* variable : {"LC_ALL", "LC_NUMERIC", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value != nullptr && *value != '\0') return separator_of_locale(value);
    }
    return '.';
}

}  // namespace detail

}  // namespace ferrolit
