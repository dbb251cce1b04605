#pragma once

#include "features/update/UpdateWindowText.h"

#include <QWidget>

class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;
class QTextBrowser;

// "Software Update": the result of an update check, the release notes of a newer version with its
// Download button, the download's progress, and why a check or download failed. It follows the
// service and comes forward whenever the service asks for it.
class UpdateWindow : public QWidget
{
    Q_OBJECT
public:
    explicit UpdateWindow(UpdateService &service, QWidget *parent = nullptr);

    // Creates the service's window the first time the service asks to present it, and keeps it for
    // the life of the service. The shell calls this once at start-up.
    static void attach(UpdateService &service);

    // Shows the window, raised and focused.
    void present();

private:
    void refresh();
    void run(UpdateWindowText::Action action);

    UpdateService &m_service;
    QLabel *m_icon = nullptr;
    QLabel *m_heading = nullptr;
    QLabel *m_detail = nullptr;
    QLabel *m_notesLabel = nullptr;
    QTextBrowser *m_notes = nullptr;
    QProgressBar *m_progress = nullptr;
    QCheckBox *m_automatic = nullptr;
    QPushButton *m_primary = nullptr;
    QPushButton *m_secondary = nullptr;
    UpdateWindowText::Action m_primaryAction = UpdateWindowText::Action::None;
    UpdateWindowText::Action m_secondaryAction = UpdateWindowText::Action::None;
};
