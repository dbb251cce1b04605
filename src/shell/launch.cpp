// What the desktop and scripts start. A launch while Grumblix runs is handed over by this small
// program, which loads no library beyond the C and C++ runtimes, so a URL is logged in a few
// milliseconds; only when no instance answers does this process become the program proper.
#include "platform/HandOverWire.h"
#include "platform/RuntimeFolder.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <optional>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

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

// Hands a launch of URLs alone to the running instance. None when this process should go on as the
// program proper: nobody runs, or one is just starting.
std::optional<int> handOver(const std::vector<std::string> &arguments)
{
    const RuntimeFolder folder = RuntimeFolder::resolve();
    if (!folder.isUsable()) {
        std::fprintf(stderr, "%s\n", folder.error.c_str());
        return 1;
    }
    const std::string frame = HandOverWire::encodeRequest(arguments);
    const HandOverWire::Result result = HandOverWire::send(folder.path + "/grumblix.socket", frame, 5000);
    switch (result.outcome) {
    case HandOverWire::Result::Outcome::answered:
        // The first byte says how it went ('k': done); a message for the user follows.
        if (result.reply.front() == 'k')
            return 0;
        std::fprintf(stderr, "%s\n", result.reply.c_str() + 1);
        return 1;
    case HandOverWire::Result::Outcome::noAnswer:
        std::fprintf(stderr, "Grumblix is already starting but does not answer; try again in a moment.\n");
        return 1;
    case HandOverWire::Result::Outcome::tooLarge:
        std::fprintf(stderr, "%s\n", HandOverWire::tooLargeMessage(frame.size()).c_str());
        return 1;
    case HandOverWire::Result::Outcome::noServer:
        break;
    }
    return std::nullopt;
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
    if (program.empty()) {
        std::fprintf(stderr, "Grumblix is not installed completely: grumblix-app is missing.\n");
        return 1;
    }
    ::execv(program.c_str(), argv);
    std::fprintf(stderr, "Grumblix could not start %s: %s\n", program.c_str(), std::strerror(errno));
    return 1;
}
