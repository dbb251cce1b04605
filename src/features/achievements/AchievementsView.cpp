#include "features/achievements/AchievementsView.h"

#include "app/AppModel.h"
#include "features/achievements/AchievementGrid.h"
#include "services/AchievementService.h"
#include "ui/DashboardFonts.h"
#include "ui/Labels.h"
#include "ui/PageHeader.h"
#include "ui/PageRefresh.h"
#include "ui/PageScroll.h"
#include "ui/Paint.h"
#include "ui/SymbolView.h"
#include "ui/ThemedLabel.h"

#include <QHBoxLayout>
#include <QPainter>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>

namespace {

constexpr int minTileHeight = 170;
constexpr qreal emojiSize = 34;

// The emoji in colour, or greyed and faded while the achievement is locked.
class EmojiBadge : public QWidget
{
public:
    EmojiBadge(const QString &emoji, bool colour) : m_emoji(emoji), m_colour(colour)
    {
        setFixedSize(int(emojiSize * 1.3), int(emojiSize * 1.3));
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        const qreal dpr = devicePixelRatioF();
        QImage image(size() * dpr, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(dpr);
        image.fill(Qt::transparent);
        {
            QPainter ip(&image);
            ip.setFont(Fonts::font(emojiSize));
            ip.drawText(QRectF(0, 0, width(), height()), Qt::AlignCenter, m_emoji);
        }
        if (!m_colour) {
            for (int y = 0; y < image.height(); ++y) {
                auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
                for (int x = 0; x < image.width(); ++x) {
                    const int g = qGray(line[x]);
                    line[x] = qRgba(g, g, g, qAlpha(line[x]));
                }
            }
        }
        QPainter p(this);
        p.setOpacity(m_colour ? 1.0 : 0.35);
        p.drawImage(QPointF(0, 0), image);
    }

private:
    QString m_emoji;
    bool m_colour;
};

// The progress track with its fill, at least 4 wide.
class ProgressBar : public QWidget
{
public:
    explicit ProgressBar(double fraction) : m_fraction(fraction)
    {
        setFixedHeight(5);
        setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(Qt::NoPen);
        const QRectF track(0, 0, width(), height());
        p.setBrush(QColor(Theme::grid));
        p.drawRoundedRect(track, 2.5, 2.5);
        p.setBrush(QColor(Theme::ink.opacity(0.7)));
        p.drawRoundedRect(QRectF(0, 0, std::max(4.0, track.width() * m_fraction), track.height()), 2.5, 2.5);
    }

private:
    double m_fraction;
};

} // namespace

AchievementCard::AchievementCard(const Achievement &achievement, QWidget *parent)
    : BrutalCard(18, Theme::card, 16, 4, parent), m_achievement(achievement)
{
    const bool unlocked = isUnlocked();
    setFill(unlocked ? Theme::card : Theme::well);
    setLift(unlocked ? 4 : 2);
    setMinimumHeight(minTileHeight);

    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(10);

    auto *top = new QHBoxLayout;
    top->addWidget(new EmojiBadge(achievement.emoji, unlocked), 0, Qt::AlignTop);
    top->addStretch(1);
    if (unlocked)
        top->addWidget(new TapeLabel(QStringLiteral("Unlocked"), 3.0, Theme::red), 0, Qt::AlignTop);
    else
        top->addWidget(new SymbolView(QStringLiteral("lock.fill"), 12, Theme::faint), 0, Qt::AlignTop);
    column->addLayout(top);

    column->addWidget(new ThemedLabel(achievement.title.toUpper(), DashboardFonts::display(19),
                                      unlocked ? Theme::ink : Theme::dim, true));
    column->addWidget(
        new ThemedLabel(achievement.detail, Fonts::rounded(12, QFont::Medium), Theme::dim, true));
    column->addStretch(1);
    if (!unlocked) {
        auto *progress = new QVBoxLayout;
        progress->setSpacing(4);
        progress->addWidget(
            new ProgressBar(AchievementGrid::progressFraction(achievement.progress, achievement.target)));
        progress->addWidget(
            new ThemedLabel(AchievementGrid::progressText(achievement.progress, achievement.target),
                            Fonts::mono(10, QFont::Bold), Theme::dim));
        column->addLayout(progress);
    }
}

AchievementGridView::AchievementGridView(QWidget *parent) : QWidget(parent)
{
    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

void AchievementGridView::setCards(const QList<AchievementCard *> &cards)
{
    qDeleteAll(m_cards);
    m_cards = cards;
    for (AchievementCard *card : cards) {
        card->setParent(this);
        card->show();
    }
    updateGeometry();
    place();
}

int AchievementGridView::columnCount() const
{
    return AchievementGrid::columns(width());
}

QList<int> AchievementGridView::rowHeights(int width) const
{
    const int columns = AchievementGrid::columns(width);
    const int cellWidth = int(AchievementGrid::columnWidth(width, columns));
    QList<int> heights;
    for (int i = 0; i < m_cards.size(); ++i) {
        const AchievementCard *card = m_cards[i];
        const int h =
            std::max({minTileHeight, card->heightForWidth(cellWidth), card->minimumSizeHint().height()});
        if (i % columns == 0)
            heights << h;
        else
            heights.last() = std::max(heights.last(), h);
    }
    return heights;
}

int AchievementGridView::heightForWidth(int width) const
{
    const QList<int> rows = rowHeights(width);
    int total = 0;
    for (int h : rows)
        total += h;
    return total + int(AchievementGrid::spacing) * std::max<int>(0, int(rows.size()) - 1);
}

QSize AchievementGridView::sizeHint() const
{
    return {720, heightForWidth(720)};
}

QSize AchievementGridView::minimumSizeHint() const
{
    // The height follows the width through heightForWidth; a minimum taken at one column would
    // keep the page as tall as a single column at every width.
    return {230, minTileHeight};
}

void AchievementGridView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    place();
}

void AchievementGridView::place()
{
    const int columns = AchievementGrid::columns(width());
    const double cellWidth = AchievementGrid::columnWidth(width(), columns);
    const QList<int> rows = rowHeights(width());
    double y = 0;
    for (int i = 0; i < m_cards.size(); ++i) {
        const int row = i / columns;
        const int col = i % columns;
        if (col == 0 && row > 0)
            y += rows[row - 1] + AchievementGrid::spacing;
        const double x = col * (cellWidth + AchievementGrid::spacing);
        m_cards[i]->setGeometry(QRectF(x, y, cellWidth, rows[row]).toRect());
    }
}

AchievementsView::AchievementsView(AppModel &model, QWidget *parent) : QWidget(parent), m_model(model)
{
    QVBoxLayout *column = nullptr;
    makePageScroll(this, &column, 26);
    m_header = new PageHeader(QString(), QStringLiteral("Easter eggs of pain."));
    m_grid = new AchievementGridView;
    column->addWidget(m_header);
    column->addWidget(m_grid);
    column->addStretch(1);

    m_refreshTimer = watchForRefresh(m_model, this, [this] { refresh(); });
    refresh();
}

void AchievementsView::refresh()
{
    m_refreshTimer->stop();
    const QList<Achievement> list = m_model.achievements();
    if (list == m_shown)
        return;
    m_shown = list;
    const auto unlocked =
        std::count_if(list.begin(), list.end(), [](const Achievement &a) { return a.progress >= a.target; });
    m_header->setEyebrow(QStringLiteral("%1 of %2 unlocked").arg(unlocked).arg(list.size()));
    QList<AchievementCard *> cards;
    for (const Achievement &a : list)
        cards << new AchievementCard(a);
    m_grid->setCards(cards);
}
