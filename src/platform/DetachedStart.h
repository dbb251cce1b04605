#pragma once

#include <string>
#include <sys/types.h>

// A first launch of URLs alone, from the launcher's side: the program proper starts in a session
// of its own (standard streams on /dev/null, none of the caller's other descriptors, signals at
// their defaults, the root folder as its working folder) and this side waits, never past a
// deadline, for its StartReport. The script, cron job or desktop that launched gets back an exit
// status and a message once the URLs are stored, while Grumblix goes on running. Plain C++.
struct DetachedStart
{
    int exitStatus = 1;  // a HandOverWire::ExitStatus
    std::string message; // for the user; empty when all is done
    pid_t pid = -1;      // the started program, once it was started

    // `argv` is the program's argument list, its name first, ending in a null pointer.
    static DetachedStart run(const std::string &program, char *const argv[], int timeoutMs);
};
