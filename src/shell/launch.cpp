// What the desktop and scripts start. A launch while Grumblix runs is handed over by this small
// program, which loads no library beyond the C and C++ runtimes, so a URL is logged in a few
// milliseconds. When none runs, a launch of URLs alone starts the program proper in the background
// and returns once it has stored them; any other launch becomes the program proper.
#include "models/StoreLock.h"
#include "platform/DetachedStart.h"
#include "platform/HandOverWire.h"
#include "platform/RuntimeFolder.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

// How long a first launch waits for the program it started to take its URLs.
constexpr int startTimeoutMs = 30000;

// The program proper: beside this file in a build folder, under libexec once installed.
std::string programProper()
{
    char self[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", self, sizeof self - 1);
    if (length <= 0)
        return {};
    std::string folder(self, size_t(length));
    folder.erase(folder.rfind('/') + 1);
    for (const std::string &candidate : {folder + "grumblix-app", folder + GRUMBLIX_APP_FROM_BIN}) {
        if (::access(candidate.c_str(), X_OK) == 0)
            return candidate;
    }
    return {};
}

int finish(int status, const std::string &message)
{
    if (!message.empty())
        std::fprintf(stderr, "%s\n", message.c_str());
    return status;
}

// The store as the program proper finds it (QStandardPaths' GenericDataLocation): a path that
// differs costs only the slower way through the program proper.
std::string storePath()
{
    const char *data = std::getenv("XDG_DATA_HOME");
    std::string folder;
    if (data && data[0] == '/') {
        folder = data;
    } else {
        const char *home = std::getenv("HOME");
        folder = std::string(home && *home ? home : "") + "/.local/share";
    }
    return folder + "/Grumblix/Grumblix.store";
}

// Where the program that writes the store listens, when it noted a socket in a private folder of
// this user: a Grumblix started from another environment (the desktop's, when this launch comes
// from cron, su - or ssh). Empty otherwise.
std::string storeWriterSocket()
{
    const std::optional<StoreLock::Note> note = StoreLock::readNote(storePath());
    if (!note)
        return {};
    const size_t slash = note->address.rfind('/');
    if (slash == std::string::npos ||
        !RuntimeFolder::check(note->address.substr(0, slash), ::geteuid(), false).isUsable())
        return {};
    return note->address;
}

// Hands a launch of URLs alone to the running instance at `socketPath`. None when nobody listens
// there, or one is just starting: the program proper then decides.
std::optional<int> handOverAt(const std::string &socketPath, const std::vector<std::string> &arguments)
{
    const std::string frame = HandOverWire::encodeRequest(arguments);
    const HandOverWire::Result result = HandOverWire::send(socketPath, frame, 5000);
    switch (result.outcome) {
    case HandOverWire::Result::Outcome::answered:
        // The first byte says how it went; a message for the user follows.
        return finish(HandOverWire::exitStatusFor(result.reply.front()), result.reply.substr(1));
    case HandOverWire::Result::Outcome::notTaken:
        return finish(HandOverWire::exitNothingDone, HandOverWire::notTakenMessage());
    case HandOverWire::Result::Outcome::noAnswer:
        return finish(HandOverWire::exitUnknown, HandOverWire::unansweredMessage());
    case HandOverWire::Result::Outcome::tooLarge:
        return finish(HandOverWire::exitNothingDone, HandOverWire::tooLargeMessage(frame.size()));
    case HandOverWire::Result::Outcome::noServer:
        break;
    }
    return std::nullopt;
}

// Hands a launch of URLs alone to the instance of this runtime folder, else to the store's writer.
std::optional<int> handOver(const std::vector<std::string> &arguments)
{
    const RuntimeFolder folder = RuntimeFolder::resolve();
    if (!folder.isUsable())
        return finish(HandOverWire::exitNothingDone, folder.error);
    const std::string own = folder.path + "/grumblix.socket";
    if (const std::optional<int> status = handOverAt(own, arguments))
        return status;
    const std::string writer = storeWriterSocket();
    if (writer.empty() || writer == own)
        return std::nullopt;
    return handOverAt(writer, arguments);
}

} // namespace

int main(int argc, char **argv)
{
    // Only a launch of URLs alone takes the short way; options (--help, --tab=…) and their checks
    // belong to the program proper, which hands such a launch over itself.
    std::vector<std::string> arguments;
    bool options = false;
    for (int i = 1; i < argc; ++i) {
        options = options || argv[i][0] == '-';
        if (argv[i][0] != '\0')
            arguments.emplace_back(argv[i]);
    }
    if (!options) {
        if (const std::optional<int> status = handOver(arguments))
            return *status;
    }

    const std::string program = programProper();
    if (program.empty())
        return finish(HandOverWire::exitNothingDone,
                      "Grumblix is not installed completely: grumblix-app is missing.");
    // A script or xdg-open waits for this process: with URLs to log it returns once they are
    // stored, and Grumblix goes on in the background. Without any, the menu entry or a terminal
    // runs the program itself, as with options.
    if (!options && !arguments.empty()) {
        const DetachedStart started = DetachedStart::run(program, argv, startTimeoutMs);
        return finish(started.exitStatus, started.message);
    }
    ::execv(program.c_str(), argv);
    return finish(HandOverWire::exitNothingDone,
                  "Grumblix could not start " + program + ": " + std::strerror(errno) + ".");
}
