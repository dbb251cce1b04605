#include "features/update/UpdateWindowText.h"

#include <QFileInfo>

QString releaseLabel(const UpdateItem &item)
{
    return item.build.isEmpty() ? item.version : QStringLiteral("%1 (%2)").arg(item.version, item.build);
}

UpdateWindowText describeUpdateState(const UpdateService &service)
{
    using Action = UpdateWindowText::Action;
    using State = UpdateService::State;
    UpdateWindowText text;
    const QString current = UpdateService::versionString();
    const QString latest = releaseLabel(service.latest());
    switch (service.state()) {
    case State::Idle:
        text.heading = QStringLiteral("Check for Updates");
        text.detail = QStringLiteral("You have Grumblix %1.").arg(current);
        text.primary = QStringLiteral("Check Now");
        text.primaryAction = Action::Check;
        text.secondary = QStringLiteral("Close");
        text.secondaryAction = Action::Close;
        break;
    case State::NotConfigured:
        text.heading = QStringLiteral("Updates come from your package manager");
        text.detail = QStringLiteral("This copy of Grumblix (%1) is kept up to date by your system's package "
                                     "manager or software centre. Grumblix does not check for updates by "
                                     "itself, so automatic checks are off.")
                          .arg(current);
        text.primary = QStringLiteral("OK");
        text.primaryAction = Action::Close;
        break;
    case State::Checking:
        text.heading = QStringLiteral("Checking for updates…");
        text.detail = QStringLiteral("Looking for a version newer than Grumblix %1.").arg(current);
        text.showProgress = true;
        text.busy = true;
        text.secondary = QStringLiteral("Cancel");
        text.secondaryAction = Action::Cancel;
        break;
    case State::UpToDate:
        text.heading = QStringLiteral("You're up to date!");
        text.detail = QStringLiteral("Grumblix %1 is currently the newest version available.").arg(current);
        text.primary = QStringLiteral("OK");
        text.primaryAction = Action::Close;
        break;
    case State::Available:
        text.heading = QStringLiteral("A new version of Grumblix is available!");
        text.detail = QStringLiteral("Grumblix %1 is now available—you have %2. Would you like to download "
                                     "it now?")
                          .arg(latest, current);
        text.showNotes = !service.latest().notes.isEmpty();
        text.primary = QStringLiteral("Download");
        text.primaryAction = Action::Download;
        text.secondary = QStringLiteral("Remind Me Later");
        text.secondaryAction = Action::Close;
        break;
    case State::Downloading:
        text.heading = QStringLiteral("Downloading Grumblix %1…").arg(latest);
        text.detail = QStringLiteral("The download is checked against Grumblix's signing key before it is "
                                     "opened.");
        text.showProgress = true;
        text.secondary = QStringLiteral("Cancel");
        text.secondaryAction = Action::Cancel;
        break;
    case State::Downloaded: {
        const QString name = QFileInfo(service.downloadedFile()).fileName();
        text.heading = QStringLiteral("Grumblix %1 is ready to install").arg(latest);
        text.detail =
            service.downloadOpened()
                ? QStringLiteral("The download's signature checks out. It was saved as “%1” and "
                                 "opened with your system's installer.")
                      .arg(name)
                : QStringLiteral("The download's signature checks out. It was saved as “%1”; open it "
                                 "from your file manager to install it.")
                      .arg(name);
        text.primary = QStringLiteral("Done");
        text.primaryAction = Action::Close;
        text.secondary = QStringLiteral("Show in Folder");
        text.secondaryAction = Action::ShowInFolder;
        break;
    }
    case State::Failed:
        text.heading = service.latest().version.isEmpty() ? QStringLiteral("Update check failed")
                                                          : QStringLiteral("Update failed");
        text.detail = service.errorText();
        text.primary = QStringLiteral("OK");
        text.primaryAction = Action::Close;
        text.secondary = QStringLiteral("Try Again");
        text.secondaryAction = Action::Retry;
        break;
    }
    return text;
}
