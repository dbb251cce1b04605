// What the desktop and scripts start. A launch while Grumblix runs is handed over by this small
// program, which loads no library beyond the C and C++ runtimes, so a URL is logged in a few
// milliseconds; only when no instance answers does this process become the program proper.
#include "platform/HandOverWire.h"
#include "platform/RuntimeFolder.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
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

} // namespace

int main(int argc, char **argv)
{
    const RuntimeFolder folder = RuntimeFolder::resolve();
    if (!folder.isUsable()) {
        std::fprintf(stderr, "%s\n", folder.error.c_str());
        return 1;
    }
    const std::vector<std::string> arguments(argv + 1, argv + argc);
    const HandOverWire::Result result =
        HandOverWire::send(folder.path + "/grumblix.socket", HandOverWire::encodeRequest(arguments), 5000);
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
    case HandOverWire::Result::Outcome::noServer:
        break;
    }

    // Nobody runs (or one is just starting): the program proper takes over this process.
    const std::string program = programProper();
    if (program.empty()) {
        std::fprintf(stderr, "Grumblix is not installed completely: grumblix-app is missing.\n");
        return 1;
    }
    ::execv(program.c_str(), argv);
    std::fprintf(stderr, "Grumblix could not start %s: %s\n", program.c_str(), std::strerror(errno));
    return 1;
}
