#pragma once

#include <cstddef>
#include <string>
#include <vector>

// The launcher's half of the hand-over in plain C++ (no Qt), so a launch while Grumblix runs
// loads nothing but the C and C++ runtimes. The running instance reads the frame with
// HandOver::takeRequest.
namespace HandOverWire {

// The most a request frame may carry after its four-byte length; the running instance refuses more.
constexpr std::size_t maxFrame = std::size_t(1) << 20;

// The request frame for these arguments (UTF-8, as the command line gives them).
std::string encodeRequest(const std::vector<std::string> &arguments);

struct Result
{
    enum class Outcome
    {
        answered, // the running instance replied and closed: reply holds its bytes
        noServer, // nobody listens on the socket (none there, or a leftover)
        noAnswer, // connected, but no complete reply before the deadline
        tooLarge, // someone listens, but the frame is over maxFrame: nothing was sent
    };
    Outcome outcome = Outcome::noServer;
    std::string reply;
};

// Sends `frame` over the socket at `socketPath` and waits for the reply, never past `timeoutMs`.
// The size is checked only once someone listens: with nobody there, the launch needs no hand-over.
Result send(const std::string &socketPath, const std::string &frame, int timeoutMs);

// What the user is told about a launch whose request frame (length included) has `frameSize` bytes,
// more than one launch may hand over.
std::string tooLargeMessage(std::size_t frameSize);

} // namespace HandOverWire
