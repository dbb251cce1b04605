#include "features/update/UpdateWindow.h"

#include "features/update/UpdateWindowText.h"
#include "services/UpdateService.h"

#include <QApplication>
#include <QCheckBox>
#include <QDesktopServices>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>
#include <memory>

namespace {

QIcon programIcon()
{
    QIcon icon = QIcon::fromTheme(QStringLiteral("grumblix"));
    if (icon.isNull())
        icon = qApp->windowIcon();
    if (icon.isNull())
        icon = QIcon::fromTheme(QStringLiteral("system-software-update"));
    if (icon.isNull())
        icon = qApp->style()->standardIcon(QStyle::SP_MessageBoxInformation);
    return icon;
}

} // namespace

UpdateWindow::UpdateWindow(UpdateService &service, QWidget *parent)
    : QWidget(parent, Qt::Window), m_service(service)
{
    setWindowTitle(QStringLiteral("Software Update"));
    setAttribute(Qt::WA_DeleteOnClose, false);

    m_icon = new QLabel(this);
    m_icon->setPixmap(programIcon().pixmap(64, 64));
    m_icon->setFixedSize(72, 72);
    m_icon->setAlignment(Qt::AlignTop | Qt::AlignHCenter);

    m_heading = new QLabel(this);
    QFont headingFont = m_heading->font();
    headingFont.setBold(true);
    headingFont.setPointSizeF(headingFont.pointSizeF() * 1.25);
    m_heading->setFont(headingFont);
    m_heading->setWordWrap(true);

    m_detail = new QLabel(this);
    m_detail->setWordWrap(true);
    m_detail->setTextInteractionFlags(Qt::TextSelectableByMouse);

    m_notesLabel = new QLabel(QStringLiteral("Release notes:"), this);
    QFont notesFont = m_notesLabel->font();
    notesFont.setBold(true);
    m_notesLabel->setFont(notesFont);

    // Notes come from the feed: nothing is fetched for display, and only web links open, in the
    // browser.
    m_notes = new QTextBrowser(this);
    m_notes->setOpenLinks(false);
    connect(m_notes, &QTextBrowser::anchorClicked, this, [](const QUrl &url) {
        if (url.scheme() == QLatin1String("https") || url.scheme() == QLatin1String("http"))
            QDesktopServices::openUrl(url);
    });
    m_notes->setMinimumHeight(180);

    m_progress = new QProgressBar(this);
    m_progress->setTextVisible(false);

    m_automatic = new QCheckBox(QStringLiteral("Automatically check for updates"), this);
    connect(m_automatic, &QCheckBox::toggled, &m_service, &UpdateService::setAutomaticallyChecks);

    m_primary = new QPushButton(this);
    m_primary->setDefault(true);
    m_secondary = new QPushButton(this);
    connect(m_primary, &QPushButton::clicked, this, [this] { run(m_primaryAction); });
    connect(m_secondary, &QPushButton::clicked, this, [this] { run(m_secondaryAction); });

    auto *buttons = new QHBoxLayout;
    buttons->addWidget(m_automatic);
    buttons->addStretch(1);
    buttons->addWidget(m_secondary);
    buttons->addWidget(m_primary);

    auto *text = new QVBoxLayout;
    text->setSpacing(8);
    text->addWidget(m_heading);
    text->addWidget(m_detail);
    text->addSpacing(4);
    text->addWidget(m_notesLabel);
    text->addWidget(m_notes, 1);
    text->addWidget(m_progress);
    text->addStretch(0);

    auto *top = new QHBoxLayout;
    top->setSpacing(16);
    top->addWidget(m_icon, 0, Qt::AlignTop);
    top->addLayout(text, 1);

    auto *root = new QVBoxLayout(this);
    root->setContentsMargins(20, 20, 20, 16);
    root->setSpacing(16);
    root->addLayout(top, 1);
    root->addLayout(buttons);

    setMinimumWidth(520);

    connect(&m_service, &UpdateService::stateChanged, this, &UpdateWindow::refresh);
    connect(&m_service, &UpdateService::automaticallyChecksChanged, this, &UpdateWindow::refresh);
    connect(&m_service, &UpdateService::presentationRequested, this, &UpdateWindow::present);
    connect(&m_service, &UpdateService::downloadProgress, this, [this](qint64 received, qint64 total) {
        if (total > 0) {
            // Scaled to kibibytes so large files fit the bar's int range.
            m_progress->setRange(0, int(total / 1024) + 1);
            m_progress->setValue(int(received / 1024));
        }
    });
    refresh();
}

void UpdateWindow::attach(UpdateService &service)
{
    auto connection = std::make_shared<QMetaObject::Connection>();
    *connection = connect(&service, &UpdateService::presentationRequested, &service, [&service, connection] {
        QObject::disconnect(*connection);
        // From now on the window itself answers the service's requests.
        auto *window = new UpdateWindow(service);
        connect(&service, &QObject::destroyed, window, &QObject::deleteLater);
        window->present();
    });
}

void UpdateWindow::present()
{
    show();
    raise();
    activateWindow();
}

void UpdateWindow::refresh()
{
    const UpdateWindowText text = describeUpdateState(m_service);
    m_heading->setText(text.heading);
    m_detail->setText(text.detail);
    m_detail->setVisible(!text.detail.isEmpty());

    m_notesLabel->setVisible(text.showNotes);
    m_notes->setVisible(text.showNotes);
    if (text.showNotes) {
        const QString &notes = m_service.latest().notes;
        if (Qt::mightBeRichText(notes))
            m_notes->setHtml(notes);
        else
            m_notes->setPlainText(notes);
    }

    m_progress->setVisible(text.showProgress);
    if (text.busy) {
        m_progress->setRange(0, 0);
    } else if (text.showProgress && m_progress->maximum() == 0) {
        m_progress->setRange(0, 1);
        m_progress->setValue(0);
    }

    m_automatic->setVisible(m_service.isConfigured());
    {
        const QSignalBlocker block(m_automatic);
        m_automatic->setChecked(m_service.automaticallyChecks());
    }

    m_primaryAction = text.primaryAction;
    m_secondaryAction = text.secondaryAction;
    m_primary->setText(text.primary);
    m_primary->setVisible(!text.primary.isEmpty());
    m_secondary->setText(text.secondary);
    m_secondary->setVisible(!text.secondary.isEmpty());
    adjustSize();
}

void UpdateWindow::run(UpdateWindowText::Action action)
{
    using Action = UpdateWindowText::Action;
    switch (action) {
    case Action::None:
        break;
    case Action::Close:
        close();
        break;
    case Action::Check:
        m_service.checkForUpdates();
        break;
    case Action::Download:
        m_service.downloadUpdate();
        break;
    case Action::Cancel:
        m_service.cancel();
        break;
    case Action::ShowInFolder:
        QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(m_service.downloadedFile()).absolutePath()));
        break;
    case Action::Retry:
        if (m_service.latest().version.isEmpty())
            m_service.checkForUpdates();
        else
            m_service.downloadUpdate();
        break;
    }
}
