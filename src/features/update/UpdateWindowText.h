#pragma once

#include "services/UpdateService.h"

#include <QString>

// What the update window says and offers in each state of the update service. Plain values, so
// the wording is checked without a window.
struct UpdateWindowText
{
    enum class Action
    {
        None,
        Close,
        Check,
        Download,
        Cancel,
        ShowInFolder,
        Retry
    };

    QString heading;
    QString detail;
    bool showNotes = false;
    bool showProgress = false;
    bool busy = false; // progress without a known end
    QString primary;
    Action primaryAction = Action::None;
    QString secondary;
    Action secondaryAction = Action::None;
};

UpdateWindowText describeUpdateState(const UpdateService &service);

// "1.2.0 (31)", or "1.2.0" without a build number.
QString releaseLabel(const UpdateItem &item);
