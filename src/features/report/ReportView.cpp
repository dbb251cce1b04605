#include "features/report/ReportView.h"

#include "app/AppModel.h"
#include "features/report/ReportCard.h"
#include "features/report/ReportFieldNotes.h"
#include "features/report/ReportFiles.h"
#include "features/report/ReportImage.h"
#include "features/report/ReportPreview.h"
#include "features/report/ReportThemeChip.h"
#include "features/report/ReportWeek.h"
#include "models/Prefs.h"
#include "ui/ButtonSkin.h"
#include "ui/ChunkyButton.h"
#include "ui/DialogCard.h"
#include "ui/Fonts.h"
#include "ui/Labels.h"
#include "ui/OverlayCenter.h"
#include "ui/PageHeader.h"
#include "ui/PageRefresh.h"
#include "ui/PageScroll.h"
#include "ui/SaveDialog.h"
#include "ui/SpringAnimator.h"
#include "ui/ThemedLabel.h"
#include "ui/ThemedText.h"

#include <QApplication>
#include <QClipboard>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGraphicsOpacityEffect>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QMenu>
#include <QPropertyAnimation>
#include <QScrollArea>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTimer>
#include <QVBoxLayout>
#include <QtMath>

namespace {

QString askSavePath(QWidget *parent, const QString &suggested)
{
    return SaveDialog::ask(parent, QStringLiteral("Export PNG"), suggested,
                           {QStringLiteral("PNG image (*.png)")}, QStringLiteral("png"));
}

// Where the save dialog starts: the pictures folder when there is one.
QString exportFolder()
{
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    if (!pictures.isEmpty() && QFileInfo(pictures).isDir())
        return pictures;
    return QDir::homePath();
}

ChunkyButton *actionButton(const QString &text, const QString &symbol, ThemeColor fill, ThemeColor foreground)
{
    auto *button = new ChunkyButton(text, fill, foreground, false);
    button->setSymbol(symbol);
    return button;
}

// The share menu as an in-window popup: one quiet button per way out.
class ShareMenu : public QWidget
{
public:
    ShareMenu(const QList<std::pair<QString, std::function<void()>>> &entries)
    {
        auto *column = new QVBoxLayout(this);
        column->setContentsMargins(6, 6, 6, 6);
        column->setSpacing(2);
        for (const auto &[text, action] : entries) {
            auto *button = new GhostButton(text);
            button->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
            QObject::connect(button, &QAbstractButton::clicked, this, action);
            column->addWidget(button);
        }
    }
};

} // namespace

ReportView::ReportView(AppModel &model, QWidget *parent)
    : QWidget(parent), m_model(model),
      m_weekOffset(ReportWeek::initialOffset(model.prefs().reportWeeksBack())),
      m_theme(ReportWeek::themeFromStored(model.prefs().reportTheme())), m_askSavePath(askSavePath),
      m_openUrl([](const QUrl &url) { return QDesktopServices::openUrl(url); })
{
    QVBoxLayout *column = nullptr;
    m_scroll = makePageScroll(this, &column, 26);

    m_header = new PageHeader(QStringLiteral("The Friday Report"), QStringLiteral("Your week, in review."),
                              buildNavigation());
    // The preview's room for its shadow takes the place of the page's padding beside and above the
    // card, so the card itself lines up with the header and sits 26 below it.
    const QMargins room = ReportPreview::shadowMargins();
    column->setContentsMargins(0, 32, 0, 0);
    column->setSpacing(qMax(0, 26 - room.top()));
    auto *headerRow = new QHBoxLayout;
    headerRow->setContentsMargins(32, 0, 32, 0);
    headerRow->addWidget(m_header);
    column->addLayout(headerRow);

    m_body = new QBoxLayout(QBoxLayout::LeftToRight);
    m_preview = new ReportPreview;
    m_body->addWidget(m_preview, 0, Qt::AlignTop | Qt::AlignLeft);
    m_right = buildRightColumn();
    m_body->addWidget(m_right, 1);
    m_body->addStretch(0);
    column->addLayout(m_body);
    column->addStretch(1);

    m_refreshTimer = watchForRefresh(m_model, this, [this] { refresh(); });
    connect(&m_model.prefs(), &Prefs::changed, this, [this](const QString &key) {
        if (key == PrefKey::reportTheme) {
            const ReportTheme stored = ReportWeek::themeFromStored(m_model.prefs().reportTheme());
            if (stored != m_theme) {
                m_theme = stored;
                applyTheme(true);
            }
        } else if (key == PrefKey::buttonSkin) {
            applyTheme(false);
        }
    });
    refresh();
}

QWidget *ReportView::buildNavigation()
{
    auto *nav = new QWidget;
    auto *row = new QHBoxLayout(nav);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(8);
    m_previous = new ChunkyButton(QString(), Theme::card, Theme::ink, true);
    m_previous->setSymbol(QStringLiteral("chevron.left"));
    m_previous->setToolTip(QStringLiteral("Previous week"));
    m_next = new ChunkyButton(QString(), Theme::card, Theme::ink, true);
    m_next->setSymbol(QStringLiteral("chevron.right"));
    m_next->setToolTip(QStringLiteral("Next week"));
    m_weekLabel = new ThemedLabel(QString(), Fonts::rounded(13, QFont::Bold), Theme::ink);
    m_weekLabel->setAlignment(Qt::AlignCenter);
    m_weekLabel->setMinimumWidth(110);
    row->addWidget(m_previous, 0, Qt::AlignVCenter);
    row->addWidget(m_weekLabel, 0, Qt::AlignVCenter);
    row->addWidget(m_next, 0, Qt::AlignVCenter);
    connect(m_previous, &QAbstractButton::clicked, this, &ReportView::stepBack);
    connect(m_next, &QAbstractButton::clicked, this, &ReportView::stepForward);
    return nav;
}

QWidget *ReportView::buildRightColumn()
{
    auto *right = new QWidget;
    right->setMaximumWidth(400);
    right->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    auto *column = new QVBoxLayout(right);
    column->setSpacing(16);

    auto *picker = new QVBoxLayout;
    picker->setContentsMargins(0, 0, 0, 8);
    picker->setSpacing(8);
    picker->addWidget(new Caption(QStringLiteral("Theme")), 0, Qt::AlignLeft);
    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(8);
    grid->setVerticalSpacing(8);
    const QList<ReportTheme> &themes = ReportThemes::allCases();
    for (int i = 0; i < themes.size(); ++i) {
        auto *chip = new ReportThemeChip(themes[i]);
        chip->setObjectName(ReportThemes::rawValue(themes[i]));
        connect(chip, &QAbstractButton::clicked, this, [this, theme = themes[i]] { pickTheme(theme); });
        grid->addWidget(chip, i / 4, i % 4);
        m_chips << chip;
    }
    for (int c = 0; c < 4; ++c)
        grid->setColumnStretch(c, 1);
    picker->addLayout(grid);
    column->addLayout(picker);

    column->addWidget(new ThemedText(QStringLiteral("Made for sharing.\nOr for your therapist."),
                                     Fonts::rounded(22, QFont::ExtraBold), Theme::ink,
                                     Qt::AlignLeft | Qt::AlignTop));
    column->addWidget(
        new ThemedLabel(QStringLiteral("Share it straight from here, or export it as an image and "
                                       "post it in the team channel. Nothing leaves this computer "
                                       "unless you do that yourself."),
                        Fonts::rounded(13, QFont::Medium), Theme::dim, true));
    column->addWidget(buildActions());

    m_pasteHint = new ThemedLabel(QStringLiteral("Image copied. Paste it into the post with Ctrl+V."),
                                  Fonts::rounded(12, QFont::Bold), Theme::red, true);
    m_pasteHint->setObjectName(QStringLiteral("pasteHint"));
    auto *fade = new QGraphicsOpacityEffect(m_pasteHint);
    fade->setOpacity(0);
    m_pasteHint->setGraphicsEffect(fade);
    m_pasteHint->hide();
    column->addWidget(m_pasteHint);
    m_problem = new ThemedLabel(QString(), Fonts::rounded(12, QFont::Bold), Theme::red, true);
    m_problem->setObjectName(QStringLiteral("problem"));
    m_problem->hide();
    column->addWidget(m_problem);

    m_notes = new ReportFieldNotes;
    column->addWidget(m_notes);
    column->addStretch(1);
    return right;
}

QWidget *ReportView::buildActions()
{
    auto *actions = new QWidget;
    auto *column = new QVBoxLayout(actions);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(16);

    auto *first = new QHBoxLayout;
    first->setSpacing(12);
    m_export = actionButton(QStringLiteral("Export PNG…"), QStringLiteral("square.and.arrow.down"),
                            Theme::red, Theme::white);
    m_copy =
        actionButton(QStringLiteral("Copy image"), QStringLiteral("doc.on.doc"), Theme::card, Theme::ink);
    first->addWidget(m_export);
    first->addWidget(m_copy);
    first->addStretch(1);
    column->addLayout(first);

    auto *second = new QHBoxLayout;
    second->setSpacing(12);
    m_share = actionButton(QStringLiteral("Share…"), QStringLiteral("square.and.arrow.up"), Theme::card,
                           Theme::ink);
    m_postX =
        actionButton(QStringLiteral("Post on X"), QStringLiteral("arrow.up.right"), Theme::card, Theme::ink);
    m_postLinkedIn =
        actionButton(QStringLiteral("LinkedIn"), QStringLiteral("arrow.up.right"), Theme::card, Theme::ink);
    second->addWidget(m_share);
    second->addWidget(m_postX);
    second->addWidget(m_postLinkedIn);
    second->addStretch(1);
    column->addLayout(second);

    connect(m_export, &QAbstractButton::clicked, this, &ReportView::exportPng);
    connect(m_copy, &QAbstractButton::clicked, this, &ReportView::copyImage);
    connect(m_share, &QAbstractButton::clicked, this, &ReportView::openShareMenu);
    connect(m_postX, &QAbstractButton::clicked, this, [this] { post(ReportShareLinks::Network::x); });
    connect(m_postLinkedIn, &QAbstractButton::clicked, this,
            [this] { post(ReportShareLinks::Network::linkedIn); });
    return actions;
}

void ReportView::refresh()
{
    m_refreshTimer->stop();
    m_report = WeeklyReport::build(m_model.allEvents(), m_model.allTriggers(), m_weekOffset, m_model.now(),
                                   Calendar(m_model.timeZone()));
    m_weekLabel->setText(ReportWeek::label(m_weekOffset, m_report));
    m_next->setEnabled(ReportWeek::canStepForward(m_weekOffset));
    m_notes->setLines(m_report.observations);
    m_notes->setVisible(!m_report.observations.isEmpty());
    applyTheme(false);
}

void ReportView::applyTheme(bool animate)
{
    for (ReportThemeChip *chip : std::as_const(m_chips))
        chip->setSelected(chip->theme() == m_theme);
    m_preview->setCard(card(), animate);
    arrangeBody();
}

void ReportView::arrangeBody()
{
    const QMargins room = ReportPreview::shadowMargins();
    // The scroll area fills the page; its own size may not have caught up yet during a resize.
    const int available = width() - 2 * 32 - m_scroll->verticalScrollBar()->sizeHint().width();
    const qreal cardWidth = m_preview->card() ? m_preview->card()->size().width() : 0;
    // The column's own width, without the indent it takes under the card: with it, a page that was
    // once stacked would never have room enough to go back.
    const QMargins indent = m_right->layout()->contentsMargins();
    const int columnWidth = m_right->minimumSizeHint().width() - indent.left() - indent.right();
    // Too narrow for the card at its own size beside the column: the card is shown smaller, so the
    // chips and the actions stay in view beside it at the top of the page. Only where even a card at
    // half its size leaves no room does the column go under the card.
    const qreal fit = cardWidth > 0 ? (available - 36 - columnWidth) / cardWidth : 1;
    const bool stacked = fit < minimumPreviewScale;
    m_preview->setScale(stacked ? 1 : qMin<qreal>(1, fit));
    const auto direction = stacked ? QBoxLayout::TopToBottom : QBoxLayout::LeftToRight;
    if (m_arranged && m_body->direction() == direction)
        return;
    m_arranged = true;
    m_body->setDirection(direction);
    m_body->setContentsMargins(0, 0, 32, 32);
    if (stacked) {
        // Too narrow for both side by side: the column goes under the card, at the page's edge.
        m_body->setSpacing(0);
        m_right->layout()->setContentsMargins(room.left(), 0, 0, 0);
    } else {
        // 36 between the card and the column, whose top is 20 below the card's.
        m_body->setSpacing(qMax(0, 36 - room.right()));
        m_right->layout()->setContentsMargins(0, room.top() + 20, 0, 0);
    }
}

bool ReportView::isStacked() const
{
    return m_body->direction() == QBoxLayout::TopToBottom;
}

void ReportView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    arrangeBody();
}

ReportCard ReportView::card() const
{
    return ReportCard(m_report, m_theme, ButtonSkin::effective(m_model.prefs().buttonSkin()), QLocale());
}

QImage ReportView::image() const
{
    return ReportImage::render(card());
}

void ReportView::stepBack()
{
    m_weekOffset = ReportWeek::stepBack(m_weekOffset);
    refresh();
}

void ReportView::stepForward()
{
    if (!ReportWeek::canStepForward(m_weekOffset))
        return;
    m_weekOffset = ReportWeek::stepForward(m_weekOffset);
    refresh();
}

void ReportView::pickTheme(ReportTheme theme)
{
    // The stored text is what the page shows from now on, also on the next visit.
    m_model.prefs().setReportTheme(ReportThemes::rawValue(theme));
    if (theme != m_theme) {
        m_theme = theme;
        applyTheme(true);
    }
}

void ReportView::later(int ms, const char *name, std::function<void()> reset)
{
    auto *timer = new QTimer(this);
    timer->setObjectName(QString::fromLatin1(name));
    timer->setSingleShot(true);
    timer->setInterval(ms);
    connect(timer, &QTimer::timeout, this, [timer, reset = std::move(reset)] {
        reset();
        timer->deleteLater();
    });
    timer->start();
}

void ReportView::setCopied(bool copied)
{
    m_copied = copied;
    m_copy->setText(copied ? QStringLiteral("Copied!") : QStringLiteral("Copy image"));
    m_copy->setSymbol(copied ? QStringLiteral("checkmark") : QStringLiteral("doc.on.doc"));
}

void ReportView::setPasteHint(bool shown)
{
    if (m_pasteHintShown == shown)
        return;
    m_pasteHintShown = shown;
    // Fades in and out; hidden once faded out, so it takes no room.
    auto *fade = qobject_cast<QGraphicsOpacityEffect *>(m_pasteHint->graphicsEffect());
    auto *animation = new QPropertyAnimation(fade, "opacity", m_pasteHint);
    animation->setDuration(SpringAnimator::animationsEnabled() ? 200 : 0);
    animation->setEasingCurve(QEasingCurve::InOutQuad);
    animation->setEndValue(shown ? 1.0 : 0.0);
    connect(animation, &QPropertyAnimation::finished, m_pasteHint,
            [this] { m_pasteHint->setVisible(m_pasteHintShown); });
    if (shown)
        m_pasteHint->show();
    animation->start(QAbstractAnimation::DeleteWhenStopped);
}

bool ReportView::isPasteHintShown() const
{
    return m_pasteHintShown;
}

QString ReportView::problem() const
{
    return m_problem->isHidden() ? QString() : m_problem->text();
}

void ReportView::showProblem(const QString &message)
{
    m_problem->setText(message);
    m_problem->setVisible(!message.isEmpty());
}

void ReportView::copyImage()
{
    const QImage picture = image();
    if (picture.isNull())
        return;
    ReportImage::copy(picture, *QGuiApplication::clipboard());
    showProblem({});
    setCopied(true);
    later(kCopiedMs, "copiedReset", [this] { setCopied(false); });
}

void ReportView::exportPng()
{
    const QImage picture = image();
    if (picture.isNull())
        return;
    const QString suggested = QDir(exportFolder()).filePath(ReportShareLinks::fileName(m_report));
    const QString path = m_askSavePath(this, suggested);
    if (path.isEmpty())
        return;
    const auto png = ReportImage::pngData(picture);
    if (!png) {
        showProblem(QStringLiteral("Could not turn the report into a PNG image."));
        return;
    }
    const ReportFiles::Written written = ReportFiles::write(path, *png);
    showProblem(written.error);
}

void ReportView::post(ReportShareLinks::Network network)
{
    const QImage picture = image();
    if (picture.isNull())
        return;
    ReportImage::copy(picture, *QGuiApplication::clipboard());
    showProblem({});
    const QUrl url = ReportShareLinks::postUrl(network);
    if (url.isValid())
        m_openUrl(url);
    setPasteHint(true);
    later(kPasteHintMs, "pasteHintReset", [this] { setPasteHint(false); });
}

void ReportView::showInFileManager()
{
    const QImage picture = image();
    if (picture.isNull())
        return;
    const auto png = ReportImage::pngData(picture);
    if (!png) {
        showProblem(QStringLiteral("Could not turn the report into a PNG image."));
        return;
    }
    const ReportFiles::Written written =
        ReportFiles::writeShareFile(ReportShareLinks::fileName(m_report), *png);
    showProblem(written.error);
    if (written.ok)
        m_openUrl(QUrl::fromLocalFile(QFileInfo(written.path).absolutePath()));
}

void ReportView::openShareMenu()
{
    const QList<std::pair<QString, std::function<void()>>> entries{
        {QStringLiteral("Copy image"), [this] { copyImage(); }},
        {QStringLiteral("Save PNG…"), [this] { exportPng(); }},
        {QStringLiteral("Show in file manager"), [this] { showInFileManager(); }},
    };
    if (OverlayCenter *center = OverlayCenter::of(this)) {
        QList<std::pair<QString, std::function<void()>>> closing;
        for (const auto &[text, action] : entries)
            closing.append({text, [center, action = action] {
                                center->dismiss();
                                action();
                            }});
        center->show(center->frameOf(m_share), 200, false, new PopoverSurface(new ShareMenu(closing)));
        return;
    }
    QMenu menu(this);
    for (const auto &[text, action] : entries)
        menu.addAction(text, this, action);
    menu.exec(m_share->mapToGlobal(QPoint(0, m_share->height() + 6)));
}

QString ReportView::weekLabel() const
{
    return m_weekLabel->text();
}
