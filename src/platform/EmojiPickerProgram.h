#pragma once

#include <QString>
#include <functional>

// An installed emoji picker (a character map the user picks from and copies out of), found on the
// PATH. The main menu and the triggers page's emoji pop-over both start it.
namespace EmojiPickerProgram {

// The program's path, or empty when none of the known pickers is installed.
QString find();

// An action that starts the installed picker detached, or an empty function when there is none,
// so a caller can leave its control out.
std::function<void()> launcher();

} // namespace EmojiPickerProgram
