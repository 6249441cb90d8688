#pragma once

// The library's side of the platform hooks: the modal message box, the alert
// beep and the decimal separator of number patterns in messages.

#include <functional>
#include <string>
#include <string_view>

namespace ferrolit::detail {

// Shows a critical-stop box (text, title) through the host's handler, or
// writes both to standard error when none is installed. Returns once the
// handler returns.
void show_message_box(const std::string& text, const std::string& title);

// Sounds the alert beep through the host's handler, or writes BEL to
// standard error.
void alert_beep();

// While alive, the message boxes and beeps raised on the constructing thread
// go to `sink` (a beep as an empty text and title) instead of the host's
// handlers; nests, and leaves other threads alone. The library's own
// procedures use it to collect what the design procedures say, so that
// parallel verifications never touch the process-wide handlers.
class ThreadMessageSink {
public:
    using Sink = std::function<void(const std::string& text, const std::string& title)>;
    explicit ThreadMessageSink(Sink sink);
    ~ThreadMessageSink();
    ThreadMessageSink(const ThreadMessageSink&) = delete;
    ThreadMessageSink& operator=(const ThreadMessageSink&) = delete;
    void deliver(const std::string& text, const std::string& title) const { sink_(text, title); }

private:
    Sink sink_;
    ThreadMessageSink* previous_;
};

// The separator the host fixed, else the one of the locale named by the
// environment.
char decimal_separator();

// The decimal separator of a locale name such as "it_IT.UTF-8": ',' for the
// languages that write decimals with a comma, '.' for every other name,
// including an empty or unknown one.
char separator_of_locale(std::string_view locale_name);

}  // namespace ferrolit::detail
