#include "features/panel/MenuPanelView.h"

#include "app/AppModel.h"
#include "app/DashboardTab.h"
#include "models/Prefs.h"
#include "models/Store.h"
#include "services/Achievement.h"
#include "services/Analytics.h"
#include "services/Copy.h"
#include "ui/AchievementBanner.h"
#include "ui/AppIconCache.h"
#include "ui/BrutalCard.h"
#include "ui/ChosenSkin.h"
#include "ui/ChunkyButton.h"
#include "ui/EStopButton.h"
#include "ui/FadeEffect.h"
#include "ui/FlapCounter.h"
#include "ui/Fonts.h"
#include "ui/Labels.h"
#include "ui/LiveQueries.h"
#include "ui/Paint.h"
#include "ui/SpringAnimator.h"
#include "ui/ThemedLabel.h"
#include "ui/ThemedText.h"
#include "ui/TriggerGrid.h"
#include "ui/WellBox.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QPainter>
#include <QPainterPath>
#include <QRandomGenerator>
#include <QStackedLayout>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr int kCardWidth = 320;
constexpr int kMiddleHeight = 132;
constexpr int kLastIncidentRefreshMs = 30 * 1000;

// The red status chip of the picker.
class StatusChip : public QWidget
{
public:
    explicit StatusChip(QWidget *parent = nullptr) : QWidget(parent)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    QString text() const { return m_text; }
    void setText(const QString &text)
    {
        m_text = text;
        updateGeometry();
        update();
    }
    QSize sizeHint() const override
    {
        const QFontMetricsF fm(font());
        return QSize(qCeil(fm.horizontalAdvance(m_text) + 12), qCeil(fm.height() + 6));
    }
    QSize minimumSizeHint() const override { return sizeHint(); }
    QFont font() const { return Fonts::mono(10, QFont::ExtraBold); }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        p.setBrush(QColor(Theme::red));
        p.drawPath(Paint::roundedRect(rect(), 4));
        p.setFont(font());
        p.setPen(QColor(Theme::white));
        p.drawText(rect(), Qt::AlignCenter, m_text);
    }

private:
    QString m_text;
};

// The application's name in the status row: as wide as it needs while there is room, elided at the
// end where there is not, so it never runs under "What happened?".
QFont appNameFont()
{
    return Fonts::rounded(12, QFont::DemiBold);
}

// The footer's strip: a translucent well with a hairline on top, its bottom corners rounded to
// match the card.
class FooterStrip : public QWidget
{
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        const QRectF r = rect();
        const qreal radius = 20;
        QPainterPath shape;
        shape.moveTo(r.topLeft());
        shape.lineTo(r.topRight());
        shape.lineTo(r.right(), r.bottom() - radius);
        shape.arcTo(QRectF(r.right() - 2 * radius, r.bottom() - 2 * radius, 2 * radius, 2 * radius), 0, -90);
        shape.lineTo(r.left() + radius, r.bottom());
        shape.arcTo(QRectF(r.left(), r.bottom() - 2 * radius, 2 * radius, 2 * radius), -90, -90);
        shape.closeSubpath();
        p.setClipPath(shape);
        p.fillRect(r, QColor(Theme::well.opacity(0.6)));
        p.fillRect(QRectF(r.left(), r.top(), r.width(), 1), QColor(Theme::ink.opacity(0.12)));
    }
};

// A 1-point hairline between the counters.
class Hairline : public QWidget
{
public:
    explicit Hairline(QWidget *parent = nullptr) : QWidget(parent) { setFixedSize(1, 44); }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(rect(), QColor(Theme::ink.opacity(0.15)));
    }
};

QWidget *padded(QWidget *content, int left, int top, int right, int bottom, Qt::Alignment alignment = {})
{
    auto *box = new QWidget;
    auto *layout = new QVBoxLayout(box);
    layout->setContentsMargins(left, top, right, bottom);
    layout->setSpacing(0);
    layout->addWidget(content, 0, alignment);
    return box;
}

// Today, this calendar week, every incident.
QList<int> counterValues(const Analytics &stats)
{
    return {stats.todayCount(), stats.countIn(stats.week(0)), int(stats.events.size())};
}

} // namespace

MenuPanelView::MenuPanelView(AppModel &model, std::function<void()> close, std::optional<int> seed,
                             QWidget *parent)
    : QWidget(parent), m_model(model), m_close(std::move(close)),
      m_seed(seed.value_or(int(QRandomGenerator::system()->bounded(1000))))
{
    setAttribute(Qt::WA_TranslucentBackground);
    auto *outer = new QVBoxLayout(this);
    // Room around the card: its hard shadow needs 4 of the right and bottom margins.
    outer->setContentsMargins(8, 6, 12 - 4, 12 - 4);
    outer->setSpacing(0);
    outer->setSizeConstraint(QLayout::SetFixedSize);

    m_card = new BrutalCard(0, Theme::card, 20, 4);
    outer->addWidget(m_card);
    auto *column = new QVBoxLayout(m_card);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);

    auto *body = new QWidget;
    body->setFixedWidth(kCardWidth);
    auto *stack = new QVBoxLayout(body);
    stack->setContentsMargins(0, 0, 0, 0);
    stack->setSpacing(0);
    column->addWidget(body);

    stack->addWidget(buildHeader());

    m_button = new EStopButton(230, ButtonSkin::classic, [this] { press(); });
    followChosenSkin(m_model.prefs(), m_button,
                     [button = m_button](ButtonSkin skin) { button->setSkin(skin); });
    m_button->addShortcut(QKeySequence(Qt::Key_Return));
    // Straight in the card's column, not in a box of its own: the ground shadow falls past the
    // button's box and only the parent has room for it.
    stack->addSpacing(2);
    stack->addWidget(m_button, 0, Qt::AlignHCenter);

    m_line = new ThemedText(QString(), Fonts::rounded(13, QFont::DemiBold), Theme::ink);
    m_line->setCrossFade(true);
    stack->addWidget(padded(m_line, 0, 6, 0, 0, Qt::AlignHCenter));

    stack->addWidget(buildStats());

    m_middle = new QWidget;
    m_middle->setFixedHeight(kMiddleHeight);
    m_middleStack = new QStackedLayout(m_middle);
    m_middleStack->setStackingMode(QStackedLayout::StackOne);
    m_quote = buildQuote();
    m_middleStack->addWidget(m_quote);
    stack->addWidget(padded(m_middle, 16, 12, 16, 0));

    stack->addWidget(padded(buildFooter(), 0, 12, 0, 0));

    // The switch to the after-press look runs inside one spring: the quip box and the picker
    // stand on top of each other, one fading out as the other fades in.
    m_fade = new SpringAnimator(0.5, 0.85, this);
    m_fade->jumpTo(1.0);
    connect(m_fade, &SpringAnimator::valueChanged, this, [this](qreal v) {
        if (auto *out = qobject_cast<FadeEffect *>(m_quote->graphicsEffect()))
            out->setOpacity(1 - v);
        if (m_picker) {
            if (auto *in = qobject_cast<FadeEffect *>(m_picker->graphicsEffect()))
                in->setOpacity(v);
        }
    });
    connect(m_fade, &SpringAnimator::settled, this, &MenuPanelView::finishCrossFade);

    auto *tick = new QTimer(this);
    tick->setInterval(kLastIncidentRefreshMs);
    connect(tick, &QTimer::timeout, this, &MenuPanelView::refreshLastIncident);
    tick->start();

    connect(&m_model.store(), &Store::changed, this, &MenuPanelView::refresh);
    connect(&m_model, &AppModel::logTickChanged, this, &MenuPanelView::refresh);
    connect(&m_model, &AppModel::dayChanged, this, &MenuPanelView::refresh);
    connect(&m_model, &AppModel::shortcutChanged, this, &MenuPanelView::refreshShortcut);
    connect(&m_model, &AppModel::freshAchievementChanged, this, &MenuPanelView::refreshBanner);
    refresh();
    refreshShortcut();
    refreshBanner();
}

MenuPanelView::~MenuPanelView() = default;

QWidget *MenuPanelView::buildHeader()
{
    auto *row = new QWidget;
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(14, 14, 14, 0);
    layout->addWidget(new TapeLabel(QStringLiteral("Grumblix"), -2.0, Theme::tape));
    layout->addStretch(1);
    auto *settings = new GhostButton(QString());
    settings->setSymbol(QStringLiteral("gearshape.fill"));
    settings->setToolTip(QStringLiteral("Settings"));
    settings->setAccessibleName(QStringLiteral("Settings"));
    settings->setFocusPolicy(Qt::NoFocus);
    connect(settings, &QAbstractButton::clicked, this,
            [this] { openDashboard(int(DashboardTab::settings)); });
    layout->addWidget(settings);
    return row;
}

QWidget *MenuPanelView::buildStats()
{
    auto *row = new QWidget;
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(16, 14, 16, 0);
    layout->setSpacing(0);
    const QStringList labels{QStringLiteral("today"), QStringLiteral("this week"), QStringLiteral("total")};
    // Start at the current figures: only later changes roll.
    const QList<int> values = counterValues(LiveQueries::analytics(m_model));
    for (int i = 0; i < labels.size(); ++i) {
        if (i > 0)
            layout->addWidget(new Hairline, 0, Qt::AlignVCenter);
        auto *stat = new QWidget;
        auto *column = new QVBoxLayout(stat);
        column->setContentsMargins(0, 0, 0, 0);
        column->setSpacing(5);
        auto *counter = new FlapCounter(values[i], 17, 1, Theme::white);
        m_counters.append(counter);
        column->addWidget(counter, 0, Qt::AlignHCenter);
        column->addWidget(new ThemedText(labels[i], Fonts::rounded(11, QFont::DemiBold), Theme::dim), 0,
                          Qt::AlignHCenter);
        layout->addWidget(stat, 1, Qt::AlignVCenter);
    }
    return row;
}

QWidget *MenuPanelView::buildQuote()
{
    auto *box = new QWidget;
    auto *layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    layout->addStretch(1);
    auto *well = new WellBox(14);
    auto *wellLayout = new QVBoxLayout(well);
    wellLayout->setContentsMargins(0, 14, 0, 14);
    const QString tagline = Copy::taglines().at(m_seed % Copy::taglines().size());
    m_quip = new ThemedText(QChar(0x201C) + tagline + QChar(0x201D), Fonts::rounded(14, QFont::DemiBold),
                            Theme::ink);
    wellLayout->addWidget(m_quip);
    layout->addWidget(well);
    m_lastIncident = new ThemedText(QString(), Fonts::rounded(11, QFont::Medium), Theme::dim);
    layout->addWidget(m_lastIncident, 0, Qt::AlignHCenter);
    layout->addStretch(1);
    return box;
}

QWidget *MenuPanelView::buildPicker(const VorpEvent &event)
{
    auto *picker = new QWidget;
    picker->setAttribute(Qt::WA_Hover);
    picker->installEventFilter(this);
    auto *layout = new QVBoxLayout(picker);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);

    auto *status = new QHBoxLayout;
    status->setSpacing(6);
    auto *chip = new StatusChip;
    chip->setText(QStringLiteral("LOGGED ✓"));
    m_chip = chip;
    status->addWidget(chip, 0, Qt::AlignVCenter);
    m_appName = nullptr;
    if (event.appName) {
        status->addWidget(new AppIconView(event.bundleIdentifier, 14), 0, Qt::AlignVCenter);
        auto *name = new ThemedLabel(*event.appName, appNameFont(), Theme::ink);
        name->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
        m_appName = name;
        status->addWidget(name, 0, Qt::AlignVCenter);
    }
    status->addStretch(1);
    m_question =
        new ThemedText(QStringLiteral("What happened?"), Fonts::rounded(11, QFont::Medium), Theme::dim);
    m_question->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    status->addWidget(m_question, 0, Qt::AlignVCenter);
    layout->addLayout(status);

    m_grid = new TriggerGrid(LiveQueries::visibleTriggers(m_model), std::nullopt, 5, true,
                             [this](const Trigger &t) { choose(t.key); });
    layout->addWidget(m_grid);
    layout->addStretch(1);
    return picker;
}

QWidget *MenuPanelView::buildFooter()
{
    auto *strip = new FooterStrip;
    auto *layout = new QHBoxLayout(strip);
    layout->setContentsMargins(10, 10, 10, 10);
    layout->setSpacing(2);
    auto *dashboard = new GhostButton(QStringLiteral("Dashboard"));
    auto *report = new GhostButton(QStringLiteral("Report"));
    for (auto *b : {dashboard, report})
        b->setFocusPolicy(Qt::NoFocus);
    connect(dashboard, &QAbstractButton::clicked, this,
            [this] { openDashboard(int(DashboardTab::overview)); });
    connect(report, &QAbstractButton::clicked, this, [this] { openDashboard(int(DashboardTab::report)); });
    layout->addWidget(dashboard, 0, Qt::AlignVCenter);
    layout->addWidget(report, 0, Qt::AlignVCenter);
    layout->addStretch(1);
    m_keys = new KeyCaps({}, 10);
    layout->addWidget(m_keys, 0, Qt::AlignVCenter);
    return strip;
}

void MenuPanelView::press()
{
    const VorpEvent event = m_model.log(EventSource::menuBar);
    m_logged = event;
    m_chosen.reset();

    QWidget *old = m_picker;
    const bool fromQuote = !old;
    if (old)
        finishCrossFade();
    m_picker = buildPicker(event);
    m_middleStack->addWidget(m_picker);
    if (fromQuote && SpringAnimator::animationsEnabled()) {
        // Quip box to picker: both shown, cross-fading on the panel's spring.
        auto *out = new FadeEffect(m_quote);
        m_quote->setGraphicsEffect(out);
        auto *in = new FadeEffect(m_picker);
        in->setOpacity(0);
        m_picker->setGraphicsEffect(in);
        m_middleStack->setStackingMode(QStackedLayout::StackAll);
        m_middleStack->setCurrentWidget(m_picker);
        m_quote->show();
        m_fade->jumpTo(0.0);
        m_fade->setTarget(1.0);
    } else {
        m_middleStack->setCurrentWidget(m_picker);
    }
    if (old) {
        m_middleStack->removeWidget(old);
        old->deleteLater();
    }
    refresh();
    scheduleClose(3.5);
}

void MenuPanelView::finishCrossFade()
{
    if (m_middleStack->stackingMode() != QStackedLayout::StackAll)
        return;
    m_quote->setGraphicsEffect(nullptr);
    if (m_picker)
        m_picker->setGraphicsEffect(nullptr);
    m_middleStack->setStackingMode(QStackedLayout::StackOne);
    if (m_picker)
        m_middleStack->setCurrentWidget(m_picker);
}

void MenuPanelView::choose(const QString &key)
{
    if (!m_logged)
        return;
    m_model.setTrigger(key, *m_logged);
    m_logged->triggerKey = key;
    m_chosen = key;
    if (m_grid)
        m_grid->setSelected(key);
    refresh();
    scheduleClose(0.7);
}

void MenuPanelView::scheduleClose(double seconds)
{
    if (!m_model.prefs().autoClosePanel())
        return;
    cancelClose();
    m_closeWork = new QTimer(this);
    m_closeWork->setSingleShot(true);
    m_closeWork->setInterval(qRound(seconds * 1000));
    connect(m_closeWork, &QTimer::timeout, this, [this] {
        if (m_close)
            m_close();
    });
    m_closeWork->start();
}

void MenuPanelView::cancelClose()
{
    if (m_closeWork) {
        m_closeWork->stop();
        m_closeWork->deleteLater();
        m_closeWork = nullptr;
    }
}

bool MenuPanelView::isClosePending() const
{
    return m_closeWork && m_closeWork->isActive();
}

int MenuPanelView::pendingCloseMs() const
{
    return isClosePending() ? m_closeWork->interval() : -1;
}

void MenuPanelView::pickerHovered(bool inside)
{
    if (inside) {
        cancelClose();
    } else if (!m_chosen) {
        scheduleClose(2.0);
    }
}

bool MenuPanelView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_picker) {
        if (event->type() == QEvent::Enter)
            pickerHovered(true);
        else if (event->type() == QEvent::Leave)
            pickerHovered(false);
    }
    return QWidget::eventFilter(watched, event);
}

void MenuPanelView::hideEvent(QHideEvent *event)
{
    // Closed by any route: a close armed by this panel must not close the next one.
    cancelClose();
    QWidget::hideEvent(event);
}

void MenuPanelView::openDashboard(int tab)
{
    cancelClose();
    m_model.setDashboardTab(DashboardTab(tab));
    m_model.showDashboard();
}

void MenuPanelView::refresh()
{
    const Analytics stats = LiveQueries::analytics(m_model);
    const int today = stats.todayCount();
    if (m_logged) {
        m_line->setText(Copy::afterPress(today).replace(QLatin1Char('\n'), QLatin1Char(' ')));
    } else {
        m_line->setText(Copy::slogans().at(m_seed % Copy::slogans().size()));
    }
    const QList<int> values = counterValues(stats);
    for (int i = 0; i < m_counters.size(); ++i)
        m_counters[i]->setValue(values[i]);
    if (m_picker) {
        static_cast<StatusChip *>(m_chip)->setText(m_chosen ? QStringLiteral("FILED ✓")
                                                            : QStringLiteral("LOGGED ✓"));
        if (m_grid) {
            const QList<Trigger> visible = LiveQueries::visibleTriggers(m_model);
            if (LiveQueries::triggersDiffer(m_grid->triggers(), visible))
                m_grid->setTriggers(visible);
        }
    }
    refreshLastIncident();
}

void MenuPanelView::refreshLastIncident()
{
    // The store keeps incidents oldest first: the newest is the last.
    const EventSnapshot events = m_model.store().events();
    std::optional<QDateTime> newest;
    if (!events.isEmpty())
        newest = events.last().timestamp;
    m_lastIncident->setText(Copy::relative(newest, m_model.now()));
}

void MenuPanelView::refreshShortcut()
{
    const QStringList caps = m_model.shortcutKeyCaps();
    m_keys->setKeys(caps);
    m_keys->setToolTip(QStringLiteral("Log from anywhere with ") + caps.join(QLatin1Char('+')));
}

void MenuPanelView::refreshBanner()
{
    const Achievement *fresh = m_model.freshAchievement();
    if (fresh) {
        if (!m_banner) {
            m_banner = new AchievementBanner(*fresh, this);
            m_banner->show();
            m_banner->raise();
            m_banner->enter();
        } else {
            m_banner->setAchievement(fresh->emoji, fresh->title);
        }
        placeBanner();
    } else if (m_banner) {
        AchievementBanner *banner = m_banner;
        connect(banner, &AchievementBanner::left, banner, &QObject::deleteLater);
        banner->leave();
        m_banner = nullptr;
    }
}

void MenuPanelView::placeBanner()
{
    if (!m_banner)
        return;
    const QRect card = m_card->geometry();
    const int width = card.width() - 4 - 20; // inside the card, 10 from each side
    const int height = m_banner->sizeHint().height();
    m_banner->setGeometry(card.left() + 10, card.top() + 10, width, height);
}

void MenuPanelView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    placeBanner();
}

QString MenuPanelView::line() const
{
    return m_line->text();
}

QList<int> MenuPanelView::counts() const
{
    QList<int> values;
    for (const FlapCounter *c : m_counters)
        values.append(c->value());
    return values;
}

QString MenuPanelView::quip() const
{
    return m_quip->text();
}

QString MenuPanelView::lastIncidentLine() const
{
    return m_lastIncident->text();
}

QString MenuPanelView::chipText() const
{
    return m_chip ? static_cast<StatusChip *>(m_chip)->text() : QString();
}

QString MenuPanelView::appText() const
{
    return m_appName ? static_cast<ThemedLabel *>(m_appName)->text() : QString();
}

QWidget *MenuPanelView::questionLabel() const
{
    return m_question;
}

QString MenuPanelView::shownAppText() const
{
    if (!m_appName)
        return QString();
    // What the label draws: its text elided to its width.
    return QFontMetricsF(appNameFont())
        .elidedText(static_cast<ThemedLabel *>(m_appName)->text(), Qt::ElideRight, m_appName->width());
}

bool MenuPanelView::showsPicker() const
{
    return m_picker && m_middleStack->currentWidget() == m_picker;
}

bool MenuPanelView::isCrossFading() const
{
    return m_middleStack->stackingMode() == QStackedLayout::StackAll;
}
