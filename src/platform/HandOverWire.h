#pragma once

#include <string>
#include <vector>

// The launcher's half of the hand-over in plain C++ (no Qt), so a launch while Grumblix runs
// loads nothing but the C and C++ runtimes. The running instance reads the frame with
// HandOver::takeRequest.
namespace HandOverWire {

// The request frame for these arguments (UTF-8, as the command line gives them).
std::string encodeRequest(const std::vector<std::string> &arguments);

struct Result
{
    enum class Outcome
    {
        answered, // the running instance replied and closed: reply holds its bytes
        noServer, // nobody listens on the socket (none there, or a leftover)
        noAnswer, // connected, but no complete reply before the deadline
    };
    Outcome outcome = Outcome::noServer;
    std::string reply;
};

// Sends `frame` over the socket at `socketPath` and waits for the reply, never past `timeoutMs`.
Result send(const std::string &socketPath, const std::string &frame, int timeoutMs);

} // namespace HandOverWire
