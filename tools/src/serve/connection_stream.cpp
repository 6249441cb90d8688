#include "serve/connection_stream.hpp"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace ferrolit::cli::serve {

namespace {

constexpr std::size_t kBufferBytes = 16 * 1024;
// How often a connection waiting for its next request checks whether to give up.
constexpr auto kIdleCheck = std::chrono::milliseconds(50);

// Waits for `events` on the socket until `deadline`; false on timeout or error.
bool wait_for(socket_t sock, short events, Clock::time_point deadline) {
    for (;;) {
        const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
        if (left <= 0) return false;
        pollfd p{sock, events, 0};
        const int n = ::poll(&p, 1, static_cast<int>(std::min<long long>(left, 60'000)));
        if (n > 0) return true;
        if (n < 0 && errno != EINTR) return false;
    }
}

void address_of(const sockaddr_storage& a, std::string& ip, int& port) {
    char text[INET6_ADDRSTRLEN] = {};
    if (a.ss_family == AF_INET) {
        const auto& v4 = reinterpret_cast<const sockaddr_in&>(a);
        inet_ntop(AF_INET, &v4.sin_addr, text, sizeof text);
        port = ntohs(v4.sin_port);
    } else if (a.ss_family == AF_INET6) {
        const auto& v6 = reinterpret_cast<const sockaddr_in6&>(a);
        inet_ntop(AF_INET6, &v6.sin6_addr, text, sizeof text);
        port = ntohs(v6.sin6_port);
    }
    ip = text;
}

}  // namespace

ConnectionStream::ConnectionStream(socket_t sock, Clock::duration write_timeout)
    : sock_(sock), write_timeout_(write_timeout), buffer_(kBufferBytes) {}

bool ConnectionStream::fill(Clock::time_point deadline) {
    if (begin_ == end_) begin_ = end_ = 0;
    if (end_ == buffer_.size()) {  // room at the end: drop what has been read
        std::memmove(buffer_.data(), buffer_.data() + begin_, buffered());
        end_ -= begin_;
        begin_ = 0;
    }
    if (!wait_for(sock_, POLLIN, deadline)) return false;
    ssize_t n;
    do n = ::recv(sock_, buffer_.data() + end_, buffer_.size() - end_, 0);
    while (n < 0 && errno == EINTR);
    if (n <= 0) return false;
    end_ += static_cast<std::size_t>(n);
    return true;
}

bool ConnectionStream::await_request(Clock::time_point deadline, const std::function<bool()>& give_up) {
    while (buffered() == 0) {
        if (give_up && give_up()) return false;
        const auto step = std::min(deadline, Clock::now() + kIdleCheck);
        if (fill(step)) continue;
        if (Clock::now() >= deadline) return false;
        // fill() also fails when the client closed: tell it from a timeout.
        pollfd p{sock_, POLLIN, 0};
        if (::poll(&p, 1, 0) > 0) return false;
    }
    return true;
}

void ConnectionStream::start_request(Clock::time_point deadline, std::size_t most_bytes) {
    deadline_ = deadline;
    bytes_left_ = most_bytes;
}

bool ConnectionStream::is_readable() const {
    if (buffered() > 0) return true;
    return bytes_left_ > 0 && wait_for(sock_, POLLIN, deadline_);
}

bool ConnectionStream::is_writable() const { return wait_for(sock_, POLLOUT, Clock::now() + write_timeout_); }

ssize_t ConnectionStream::read(char* ptr, size_t size) {
    if (bytes_left_ == 0) return -1;  // the request is over its size: refused
    if (buffered() == 0 && !fill(deadline_)) return -1;
    const std::size_t n = std::min({size, buffered(), bytes_left_});
    std::memcpy(ptr, buffer_.data() + begin_, n);
    begin_ += n;
    bytes_left_ -= n;
    return static_cast<ssize_t>(n);
}

ssize_t ConnectionStream::write(const char* ptr, size_t size) {
    if (!is_writable()) return -1;
    ssize_t n;
    do n = ::send(sock_, ptr, size, MSG_NOSIGNAL);
    while (n < 0 && errno == EINTR);
    return n;
}

void ConnectionStream::get_remote_ip_and_port(std::string& ip, int& port) const {
    sockaddr_storage a{};
    socklen_t length = sizeof a;
    if (::getpeername(sock_, reinterpret_cast<sockaddr*>(&a), &length) == 0) address_of(a, ip, port);
}

void ConnectionStream::get_local_ip_and_port(std::string& ip, int& port) const {
    sockaddr_storage a{};
    socklen_t length = sizeof a;
    if (::getsockname(sock_, reinterpret_cast<sockaddr*>(&a), &length) == 0) address_of(a, ip, port);
}

std::string peer_address(socket_t sock) {
    std::string ip;
    int port = 0;
    sockaddr_storage a{};
    socklen_t length = sizeof a;
    if (::getpeername(sock, reinterpret_cast<sockaddr*>(&a), &length) == 0) address_of(a, ip, port);
    return ip;
}

}  // namespace ferrolit::cli::serve
