#pragma once

// One client connection as httplib reads and writes it, with the limits that
// keep a client from holding the server: every request must arrive whole
// (head and body) before its deadline and within a number of bytes, however
// slowly its bytes trickle in. Bytes received beyond a request are kept for
// the next one, so that pipelined requests are all answered in turn.

#include <httplib.h>

#include <chrono>
#include <cstddef>
#include <functional>
#include <vector>

namespace ferrolit::cli::serve {

using Clock = std::chrono::steady_clock;

class ConnectionStream final : public httplib::Stream {
public:
    ConnectionStream(socket_t sock, Clock::duration write_timeout);

    // Waits until `deadline` for the first byte of the next request, checking
    // `give_up` now and then (an idle connection yields to waiting ones); false
    // when none comes, the client closed, or it gave up.
    bool await_request(Clock::time_point deadline, const std::function<bool()>& give_up);
    // The next request must arrive by `deadline` and within `most_bytes`.
    void start_request(Clock::time_point deadline, std::size_t most_bytes);

    bool is_readable() const override;
    bool is_writable() const override;
    ssize_t read(char* ptr, size_t size) override;
    ssize_t write(const char* ptr, size_t size) override;
    void get_remote_ip_and_port(std::string& ip, int& port) const override;
    void get_local_ip_and_port(std::string& ip, int& port) const override;
    socket_t socket() const override { return sock_; }

private:
    // One recv into the buffer, waiting until `deadline`; false on timeout, end or error.
    bool fill(Clock::time_point deadline);
    std::size_t buffered() const { return end_ - begin_; }

    socket_t sock_;
    Clock::duration write_timeout_;
    std::vector<char> buffer_;
    std::size_t begin_ = 0, end_ = 0;
    Clock::time_point deadline_;
    std::size_t bytes_left_ = 0;
};

// The numeric address of a socket's peer ("127.0.0.1"), or empty.
std::string peer_address(socket_t sock);

}  // namespace ferrolit::cli::serve
