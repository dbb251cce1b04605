#include "HandOverWire.h"

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

constexpr std::uint32_t protocolMagic = 0x47524d31; // "GRM1"

void appendBigEndian(std::string &out, std::uint32_t value)
{
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(char((value >> shift) & 0xff));
}

// UTF-8 to UTF-16 code units; a byte that starts no valid sequence becomes U+FFFD.
std::u16string utf16(const std::string &text)
{
    std::u16string out;
    const auto *bytes = reinterpret_cast<const unsigned char *>(text.data());
    const size_t size = text.size();
    for (size_t i = 0; i < size;) {
        const unsigned char lead = bytes[i];
        std::uint32_t code = 0;
        size_t length = 0;
        std::uint32_t minimum = 0;
        if (lead < 0x80) {
            code = lead, length = 1;
        } else if (lead >= 0xc2 && lead < 0xe0) {
            code = lead & 0x1f, length = 2, minimum = 0x80;
        } else if (lead >= 0xe0 && lead < 0xf0) {
            code = lead & 0x0f, length = 3, minimum = 0x800;
        } else if (lead >= 0xf0 && lead < 0xf5) {
            code = lead & 0x07, length = 4, minimum = 0x10000;
        }
        bool valid = length > 0 && i + length <= size;
        for (size_t k = 1; valid && k < length; ++k) {
            if ((bytes[i + k] & 0xc0) != 0x80)
                valid = false;
            else
                code = code << 6 | (bytes[i + k] & 0x3f);
        }
        if (valid && (code < minimum || code > 0x10ffff || (code >= 0xd800 && code < 0xe000)))
            valid = false;
        if (!valid) {
            out.push_back(u'\ufffd');
            ++i;
            continue;
        }
        if (code >= 0x10000) {
            code -= 0x10000;
            out.push_back(char16_t(0xd800 + (code >> 10)));
            out.push_back(char16_t(0xdc00 + (code & 0x3ff)));
        } else {
            out.push_back(char16_t(code));
        }
        i += length;
    }
    return out;
}

class Descriptor
{
public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    int get() const { return m_fd; }

private:
    int m_fd;
};

using Clock = std::chrono::steady_clock;

int remainingMs(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? int(left) : 0;
}

// Waits until `fd` is ready for `events`; false at the deadline.
bool waitFor(int fd, short events, Clock::time_point deadline)
{
    while (true) {
        pollfd entry{fd, events, 0};
        const int rc = ::poll(&entry, 1, remainingMs(deadline));
        if (rc > 0)
            return true;
        if (rc == 0 || errno != EINTR)
            return false;
    }
}

} // namespace

namespace HandOverWire {

std::string encodeRequest(const std::vector<std::string> &arguments)
{
    // QDataStream's layout: the magic, then a string list (a count, then each string as its byte
    // length and UTF-16 big-endian units), all inside one length-prefixed byte array.
    std::string payload;
    appendBigEndian(payload, protocolMagic);
    appendBigEndian(payload, std::uint32_t(arguments.size()));
    for (const std::string &argument : arguments) {
        const std::u16string units = utf16(argument);
        appendBigEndian(payload, std::uint32_t(units.size() * 2));
        for (const char16_t unit : units) {
            payload.push_back(char(unit >> 8));
            payload.push_back(char(unit & 0xff));
        }
    }
    std::string frame;
    appendBigEndian(frame, std::uint32_t(payload.size()));
    return frame + payload;
}

Result send(const std::string &socketPath, const std::string &frame, int timeoutMs)
{
    Result result;
    const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    sockaddr_un address = {};
    address.sun_family = AF_UNIX;
    if (socketPath.size() >= sizeof address.sun_path)
        return result;
    std::memcpy(address.sun_path, socketPath.data(), socketPath.size());
    const auto *target = reinterpret_cast<const sockaddr *>(&address);

    Descriptor socket(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (socket.get() < 0)
        return result;
    if (::connect(socket.get(), target, sizeof address) != 0) {
        if (errno == EAGAIN) {
            // A full queue means a live but busy instance: keep trying until the deadline.
            while (true) {
                if (remainingMs(deadline) == 0) {
                    result.outcome = Result::Outcome::notTaken;
                    return result;
                }
                ::usleep(5000);
                if (::connect(socket.get(), target, sizeof address) == 0 || errno == EISCONN)
                    break;
                if (errno != EAGAIN)
                    return result;
            }
        } else if (errno == EINPROGRESS) {
            int error = 0;
            socklen_t length = sizeof error;
            if (!waitFor(socket.get(), POLLOUT, deadline) ||
                ::getsockopt(socket.get(), SOL_SOCKET, SO_ERROR, &error, &length) != 0 || error != 0)
                return result;
        } else {
            return result;
        }
    }

    // From here the instance exists: whatever goes wrong is its silence, not its absence.
    if (frame.size() > 4 + maxFrame) {
        result.outcome = Result::Outcome::tooLarge;
        return result;
    }
    // Until the last byte is out the instance cannot hold the request, so it cannot have acted on it.
    result.outcome = Result::Outcome::notTaken;
    size_t sent = 0;
    while (sent < frame.size()) {
        const ssize_t n = ::send(socket.get(), frame.data() + sent, frame.size() - sent, MSG_NOSIGNAL);
        if (n > 0)
            sent += size_t(n);
        else if (n < 0 && errno == EINTR)
            continue;
        else if (n < 0 && errno == EAGAIN && waitFor(socket.get(), POLLOUT, deadline))
            continue;
        else if (n < 0 && (errno == EPIPE || errno == ECONNRESET))
            break; // the instance stopped reading; its reply, if any, says why
        else
            return result;
    }
    if (sent == frame.size())
        result.outcome = Result::Outcome::noAnswer;

    // The reply is complete when the instance closes its end.
    std::string reply;
    char buffer[512];
    while (true) {
        const ssize_t n = ::recv(socket.get(), buffer, sizeof buffer, 0);
        if (n > 0) {
            reply.append(buffer, size_t(n));
            if (reply.size() > 64 * 1024)
                return result;
        } else if (n == 0) {
            break;
        } else if (errno == EINTR) {
            continue;
        } else if (errno == EAGAIN) {
            if (!waitFor(socket.get(), POLLIN, deadline))
                return result;
        } else {
            break;
        }
    }
    if (!reply.empty()) {
        result.outcome = Result::Outcome::answered;
        result.reply = std::move(reply);
    }
    return result;
}

std::string tooLargeMessage(std::size_t frameSize)
{
    // Bytes as a person counts them: whole KiB, rounded up so that "more than" stays true.
    const auto kibibytes = [](std::size_t bytes) {
        std::string digits = std::to_string((bytes + 1023) / 1024);
        for (std::size_t at = digits.size(); at > 3; at -= 3)
            digits.insert(at - 3, ",");
        return digits + " KiB";
    };
    // The frame holds the arguments as UTF-16: two bytes a character, four for one beyond the basic
    // plane, as most emoji are (a joined emoji is several of them).
    return "Grumblix cannot take this launch: its request is " + kibibytes(frameSize) +
           ", and one launch may hand at most " + kibibytes(maxFrame) +
           " to the running Grumblix (each character of a URL takes two bytes, an emoji four or more). "
           "Nothing was done; hand the URLs over in smaller launches.";
}

std::string notTakenMessage()
{
    return "The running Grumblix did not take this launch (it is busy, or it hung up); nothing was done. "
           "Try again in a moment.";
}

std::string unansweredMessage()
{
    return "The running Grumblix stopped answering after it was handed this launch, so what the launch "
           "asks may already be done (a URL already logged): check the history before you try again.";
}

std::string startingMessage()
{
    return "Grumblix is already starting but does not take launches yet; nothing was done. Try again in "
           "a moment.";
}

} // namespace HandOverWire
