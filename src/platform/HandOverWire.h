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

// The exit status of a launch, for the scripts that run it.
enum ExitStatus : int
{
    exitDone = 0,        // done; what it logged is on disk
    exitNothingDone = 1, // nothing was done (refused, no desktop session, cannot start …)
    exitKept = 2,        // logged and kept by the running Grumblix, not yet on disk
    exitUnknown = 3,     // the running Grumblix stopped answering once it had the launch
};

// A reply is one status byte, then a message for the launcher's user (UTF-8).
constexpr char doneByte = 'k';
constexpr char keptByte = 'p';
constexpr char refusedByte = 'r';
constexpr char unansweredByte = 'u';
// What earlier versions answered when the save failed; what they logged was kept all the same.
constexpr char failedByteOfOldVersions = 'e';

// The exit status a reply with this status byte means; exitUnknown for a byte no version writes.
constexpr int exitStatusFor(char statusByte)
{
    switch (statusByte) {
    case doneByte:
        return exitDone;
    case keptByte:
    case failedByteOfOldVersions:
        return exitKept;
    case refusedByte:
        return exitNothingDone;
    default:
        return exitUnknown;
    }
}

// The request frame for these arguments (UTF-8, as the command line gives them).
std::string encodeRequest(const std::vector<std::string> &arguments);

struct Result
{
    enum class Outcome
    {
        answered, // the running instance replied and closed: reply holds its bytes
        noServer, // nobody listens on the socket (none there, or a leftover)
        notTaken, // an instance is there but did not take the whole request (its queue stayed full,
                  // or it hung up first): nothing was handed over
        noAnswer, // the whole request went over, but no reply came before the instance hung up or
                  // the deadline passed: it may have been carried out
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
// ... about a launch the running instance did not take (Outcome::notTaken).
std::string notTakenMessage();
// ... about a launch that got no answer once the running instance had it (Outcome::noAnswer).
std::string unansweredMessage();
// ... about a launch that found another Grumblix holding the lock, but not yet listening.
std::string startingMessage();

} // namespace HandOverWire
