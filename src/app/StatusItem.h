#pragma once

// The tray item and its panel as the model drives them. Implemented by the shell's
// StatusItemController; tests use a fake.
class StatusItem
{
public:
    virtual ~StatusItem() = default;

    // Redraws the badge with today's count (left alone while a flash is running).
    virtual void updateTitle(int todayCount) = 0;
    // The short badge flash that answers a press.
    virtual void flash() = 0;
    virtual void openPanel() = 0;
    // Closes the panel if one is open; otherwise does nothing.
    virtual void closePanel() = 0;
};
