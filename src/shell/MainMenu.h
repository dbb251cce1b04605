#pragma once

#include <QString>
#include <functional>

class QMenuBar;
class QWidget;

// The application's own commands that the menu bar reaches.
struct MainMenuActions
{
    std::function<void()> about;
    std::function<void()> checkForUpdates; // none: the entry is shown disabled
    std::function<void()> openSettings;
    std::function<void()> hide;
    std::function<void()> quit;
    std::function<void()> emojiPicker; // none: the entry is left out
};

namespace MainMenu {

// Fills `bar` with the Grumblix, Edit and Window menus. Edit commands go to the widget that has the
// keyboard; Window commands to `window`.
void install(QMenuBar *bar, QWidget *window, const MainMenuActions &actions);

} // namespace MainMenu
