#include "window/process_link.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/un.h>

#include <cerrno>
#include <cstring>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "window/handle_space.h"
#include "window/messaging.h"

namespace qf::device::wm {
namespace {

constexpr std::uint32_t kWireMagic = 0x4D574651;  // "QFWM"

struct WireRequest {
    std::uint32_t magic;
    RemoteOp op;
    std::uint32_t window;
    std::uint32_t message;
    std::uint64_t wparam;
    std::int64_t lparam;
};

struct WireReply {
    std::int64_t result;
};

bool SocketAddress(const std::filesystem::path& path, sockaddr_un& address) {
    std::string text = path.string();
    if (text.size() >= sizeof address.sun_path) return false;
    address = {};
    address.sun_family = AF_UNIX;
    std::memcpy(address.sun_path, text.c_str(), text.size() + 1);
    return true;
}

// SOCK_SEQPACKET keeps each request and reply one whole record, so a read never sees half of one.
UniqueFd NewSocket() { return UniqueFd(::socket(AF_UNIX, SOCK_SEQPACKET | SOCK_CLOEXEC, 0)); }

LRESULT ReadReply(int fd) {
    WireReply reply{};
    return ::recv(fd, &reply, sizeof reply, 0) == static_cast<ssize_t>(sizeof reply) ? reply.result : 0;
}

// ReadReply once the reply is there; 0 when none comes within `timeout`.
LRESULT ReadReplyWithin(int fd, std::chrono::milliseconds timeout) {
    pollfd ready{fd, POLLIN, 0};
    int polled;
    do {
        polled = ::poll(&ready, 1, static_cast<int>(timeout.count()));
    } while (polled < 0 && errno == EINTR);
    return polled > 0 ? ReadReply(fd) : 0;
}

// The I/O thread: accepts requests on the listening socket and collects the replies to this process's own
// remote sends. Descriptors reach it through `Adopt`, which wakes its poll through an eventfd.
class Link {
  public:
    static Link& Get() {
        static Link* const link = new Link();
        return *link;
    }

    void Listen(UniqueFd listener) {
        std::lock_guard lock(mutex_);
        new_listener_ = std::move(listener);
        replace_listener_ = true;
        Wake();
    }

    void AwaitReplyOn(UniqueFd socket, std::shared_ptr<SendRequest> request) {
        std::lock_guard lock(mutex_);
        adopted_.push_back(Connection{std::move(socket), std::move(request)});
        Wake();
    }

    // The sender gave up: its connection is closed rather than kept until the other process answers.
    void Abandon(const std::shared_ptr<SendRequest>& request) {
        std::lock_guard lock(mutex_);
        abandoned_.push_back(request);
        Wake();
    }

  private:
    // An accepted request connection (request null) or an outgoing send waiting for its reply.
    struct Connection {
        UniqueFd fd;
        std::shared_ptr<SendRequest> request;
    };

    Link() : wake_(::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)) {
        // The thread lives as long as the process; the link is never destroyed.
        std::thread([this] { Run(); }).detach();
    }

    void Wake() {
        std::uint64_t one = 1;
        [[maybe_unused]] ssize_t n = ::write(wake_.get(), &one, sizeof one);
    }

    void TakeAdopted() {
        std::uint64_t count;
        [[maybe_unused]] ssize_t n = ::read(wake_.get(), &count, sizeof count);
        std::lock_guard lock(mutex_);
        if (replace_listener_) {
            listener_ = std::move(new_listener_);
            replace_listener_ = false;
        }
        for (auto& connection : adopted_) connections_.push_back(std::move(connection));
        adopted_.clear();
        for (const auto& request : abandoned_) {
            std::erase_if(connections_, [&](const Connection& c) { return c.request == request; });
        }
        abandoned_.clear();
    }

    void Run() {
        for (;;) {
            std::vector<pollfd> fds{{wake_.get(), POLLIN, 0}, {listener_.get(), POLLIN, 0}};
            for (const auto& connection : connections_) fds.push_back({connection.fd.get(), POLLIN, 0});
            if (::poll(fds.data(), fds.size(), -1) < 0) continue;
            // Connections first: their indexes in `fds` are only valid until the lists change.
            std::vector<Connection> ready;
            for (std::size_t i = connections_.size(); i-- > 0;) {
                if (fds[i + 2].revents == 0) continue;
                ready.push_back(std::move(connections_[i]));
                connections_.erase(connections_.begin() + static_cast<std::ptrdiff_t>(i));
            }
            for (auto& connection : ready) Serve(std::move(connection));
            if (fds[1].revents != 0) Accept();
            if (fds[0].revents != 0) TakeAdopted();
        }
    }

    void Accept() {
        UniqueFd fd(::accept4(listener_.get(), nullptr, nullptr, SOCK_CLOEXEC));
        if (fd) connections_.push_back(Connection{std::move(fd), nullptr});
    }

    void Serve(Connection connection) {
        if (connection.request) {
            LRESULT result = ReadReply(connection.fd.get());
            std::lock_guard lock(State::Get().mutex);
            State::Finish(*connection.request, result);
            return;
        }
        WireRequest request{};
        if (::recv(connection.fd.get(), &request, sizeof request, 0) !=
                static_cast<ssize_t>(sizeof request) ||
            request.magic != kWireMagic) {
            return;
        }
        HWND window = HandleOf(request.window);
        auto wparam = static_cast<WPARAM>(request.wparam);
        auto lparam = static_cast<LPARAM>(request.lparam);
        switch (request.op) {
            case RemoteOp::kIsWindow:
                SendReply(std::move(connection.fd), IsLocalWindow(window));
                return;
            case RemoteOp::kPost: {
                // Answer before posting: once posted, the message (WM_CLOSE, say) may end this process
                // before a reply written afterwards could leave it.
                bool lives = IsLocalWindow(window);
                SendReply(std::move(connection.fd), lives);
                if (lives) PostToLocalWindow(window, request.message, wparam, lparam);
                return;
            }
            case RemoteOp::kSend: {
                auto send = std::make_shared<SendRequest>();
                send->target = window;
                send->message = request.message;
                send->wparam = wparam;
                send->lparam = lparam;
                send->reply_socket = std::move(connection.fd);
                if (!QueueRemoteSend(send)) SendReply(std::move(send->reply_socket), 0);
                return;
            }
        }
    }

    UniqueFd wake_;
    // Touched by the I/O thread only.
    UniqueFd listener_;
    std::vector<Connection> connections_;
    // Handed over under the mutex.
    std::mutex mutex_;
    UniqueFd new_listener_;
    bool replace_listener_ = false;
    std::vector<Connection> adopted_;
    std::vector<std::shared_ptr<SendRequest>> abandoned_;
};

}  // namespace

void ListenForRemoteCalls(const std::filesystem::path& path) {
    sockaddr_un address;
    UniqueFd listener = NewSocket();
    std::error_code ignored;
    std::filesystem::create_directories(path.parent_path(), ignored);
    // The caller holds the slot, so a socket file left at its path belongs to a dead process.
    std::filesystem::remove(path, ignored);
    if (!listener || !SocketAddress(path, address) ||
        ::bind(listener.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
        ::listen(listener.get(), SOMAXCONN) != 0) {
        listener.Reset();
    }
    Link::Get().Listen(std::move(listener));
}

namespace {

// A connected socket with `op` sent on it; empty when nobody listens at the slot or the send fails.
UniqueFd SendRequestTo(RemoteOp op, HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    std::uint32_t slot = SlotOfHandle(HandleValue(window));
    sockaddr_un address;
    UniqueFd socket = NewSocket();
    // A dead process's socket refuses the connection at once.
    if (slot == 0 || !socket || !SocketAddress(SlotSocketPath(slot), address) ||
        ::connect(socket.get(), reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
        return {};
    }
    WireRequest request{kWireMagic,
                        op,
                        HandleValue(window),
                        message,
                        static_cast<std::uint64_t>(wparam),
                        static_cast<std::int64_t>(lparam)};
    if (::send(socket.get(), &request, sizeof request, MSG_NOSIGNAL) != static_cast<ssize_t>(sizeof request))
        return {};
    return socket;
}

}  // namespace

LRESULT CallRemoteWindow(RemoteOp op, HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    UniqueFd socket = SendRequestTo(op, window, message, wparam, lparam);
    // Posts and handle checks are answered by the other process's I/O thread without waiting on a
    // window; only a stopped process leaves them unanswered.
    return socket ? ReadReplyWithin(socket.get(), kRemoteAnswerTimeout) : 0;
}

bool CallRemoteSend(HWND window, UINT message, WPARAM wparam, LPARAM lparam, const SendWait& wait,
                    LRESULT& result) {
    result = 0;
    UniqueFd socket = SendRequestTo(RemoteOp::kSend, window, message, wparam, lparam);
    if (!socket) return true;
    SendWait bounded = wait;
    if (!bounded.deadline) bounded.deadline = std::chrono::steady_clock::now() + kRemoteAnswerTimeout;
    auto send = std::make_shared<SendRequest>();
    State& state = State::Get();
    std::unique_lock lock(state.mutex);
    auto queue = state.CurrentQueue();
    send->waiter = queue;
    lock.unlock();
    Link::Get().AwaitReplyOn(std::move(socket), send);
    lock.lock();
    if (!AwaitReply(lock, *queue, *send, bounded)) {
        lock.unlock();
        Link::Get().Abandon(send);
        SetLastError(ERROR_TIMEOUT);
        return false;
    }
    result = send->result;
    return true;
}

void SendReply(UniqueFd socket, LRESULT result) {
    WireReply reply{static_cast<std::int64_t>(result)};
    // MSG_NOSIGNAL: a sender that died meanwhile must not take this process down with SIGPIPE.
    [[maybe_unused]] ssize_t n = ::send(socket.get(), &reply, sizeof reply, MSG_NOSIGNAL);
}

}  // namespace qf::device::wm
