#include "features/onboarding/OnboardingView.h"

#include "app/AppModel.h"
#include "models/Prefs.h"
#include "ui/ChosenSkin.h"
#include "ui/ChunkyButton.h"
#include "ui/DashboardFonts.h"
#include "ui/EStopButton.h"
#include "ui/EStopDrawing.h"
#include "ui/GXToggles.h"
#include "ui/HazardStripes.h"
#include "ui/Paint.h"
#include "ui/SymbolView.h"
#include "ui/ThemedLabel.h"
#include "ui/WellBox.h"

#include <QAbstractScrollArea>
#include <QEvent>
#include <QHBoxLayout>
#include <QPainter>
#include <QShortcut>
#include <QVBoxLayout>
#include <QtMath>

namespace {
constexpr qreal radius = 20;
constexpr qreal shadowOffset = 6;
constexpr qreal bandHeight = 14;
const ThemeColor nearBlack = ThemeColor::fixed(0x141211);

QString shortcutText(const Shortcut &shortcut)
{
    // Linux names its modifiers in words, joined with "+".
    return shortcut.displayText() + QStringLiteral(" from anywhere");
}
} // namespace

OnboardingView::OnboardingView(AppModel &model, std::function<void()> done, QWidget *parent)
    : QWidget(parent), m_model(model), m_done(std::move(done)),
      m_requestPermission([&model] { model.requestNotificationPermission(); })
{
    setFixedWidth(cardWidth + int(shadowOffset));
    auto *column = new QVBoxLayout(this);
    // Room for the stripe band above and the hard shadow to the right and below.
    column->setContentsMargins(30, bandHeight + 30, 30 + shadowOffset, 30 + shadowOffset);
    column->setSpacing(22);

    m_buttonBox = new QVBoxLayout;
    m_buttonBox->setContentsMargins(0, 6, 0, 0);
    setButtonWidth(buttonWidth);
    column->addLayout(m_buttonBox);

    auto *titles = new QVBoxLayout;
    titles->setSpacing(6);
    auto *title = new ThemedLabel(QStringLiteral("Your frustration is\nyour business."),
                                  DashboardFonts::display(36), Theme::ink, true);
    title->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    auto *subtitle =
        new ThemedLabel(QStringLiteral("Something annoying happens. You press the button. That's it."),
                        Fonts::rounded(14, QFont::Medium), Theme::dim, true);
    subtitle->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    titles->addWidget(title);
    titles->addWidget(subtitle);
    column->addLayout(titles);

    auto *well = new WellBox(14);
    auto *points = new QVBoxLayout(well);
    points->setContentsMargins(18, 18, 18, 18);
    points->setSpacing(14);
    m_shortcutTitle =
        new ThemedLabel(shortcutText(model.shortcut()), Fonts::rounded(13, QFont::Bold), Theme::ink, true);
    points->addWidget(point(QStringLiteral("keyboard"), m_shortcutTitle,
                            QStringLiteral("Logs instantly. Doesn't steal focus from your IDE.")));
    points->addWidget(
        point(QStringLiteral("app.badge"),
              new ThemedLabel(QStringLiteral("Remembers which app did it"), Fonts::rounded(13, QFont::Bold),
                              Theme::ink, true),
              QStringLiteral("Only the app's name. No window titles, URLs, screenshots or content.")));
    points->addWidget(point(QStringLiteral("lock.fill"),
                            new ThemedLabel(QStringLiteral("Stays on this computer"),
                                            Fonts::rounded(13, QFont::Bold), Theme::ink, true),
                            QStringLiteral("No account. No cloud. No telemetry. Export or erase anytime.")));
    points->addWidget(point(QStringLiteral("doc.richtext"),
                            new ThemedLabel(QStringLiteral("The Friday Report"),
                                            Fonts::rounded(13, QFont::Bold), Theme::ink, true),
                            QStringLiteral("A shareable summary of your week in suffering.")));
    column->addWidget(well);

    m_friday = new GXCheckbox(QStringLiteral("Send me the Friday report"));
    m_friday->setChecked(true);
    column->addWidget(m_friday, 0, Qt::AlignHCenter);

    auto *buttons = new QHBoxLayout;
    buttons->setSpacing(12);
    m_demo = new ChunkyButton(QStringLiteral("Load a demo week"), Theme::card, Theme::ink);
    m_go = new ChunkyButton(QStringLiteral("Let's go"), Theme::red, Theme::white);
    buttons->addStretch(1);
    buttons->addWidget(m_demo);
    buttons->addWidget(m_go);
    buttons->addStretch(1);
    column->addLayout(buttons);

    connect(m_demo, &QAbstractButton::clicked, this, &OnboardingView::loadDemoWeek);
    connect(m_go, &QAbstractButton::clicked, this, &OnboardingView::letsGo);
    // "Let's go" is the default action.
    for (const auto key : {Qt::Key_Return, Qt::Key_Enter}) {
        auto *shortcut = new QShortcut(QKeySequence(key), this);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, [this] {
            if (isVisible())
                letsGo();
        });
    }
    connect(&m_model, &AppModel::shortcutChanged, this,
            [this] { m_shortcutTitle->setText(shortcutText(m_model.shortcut())); });
}

QWidget *OnboardingView::point(const QString &symbol, ThemedLabel *title, const QString &detail)
{
    auto *row = new QWidget;
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(12);
    auto *icon = new SymbolView(symbol, 14, Theme::red);
    auto *iconBox = new QWidget;
    iconBox->setFixedWidth(22);
    auto *iconLayout = new QVBoxLayout(iconBox);
    iconLayout->setContentsMargins(0, 0, 0, 0);
    iconLayout->addWidget(icon, 0, Qt::AlignHCenter | Qt::AlignTop);
    layout->addWidget(iconBox, 0, Qt::AlignTop);
    auto *texts = new QVBoxLayout;
    texts->setSpacing(2);
    texts->addWidget(title);
    texts->addWidget(new ThemedLabel(detail, Fonts::rounded(12, QFont::Medium), Theme::dim, true));
    layout->addLayout(texts, 1);
    return row;
}

void OnboardingView::setButtonWidth(int width)
{
    if (m_button && qRound(m_button->buttonWidth()) == width)
        return;
    // The card's big button only shows off: it logs nothing.
    auto *button = new EStopButton(width, ButtonSkin::classic, [] {});
    followChosenSkin(m_model.prefs(), button, [button](ButtonSkin skin) { button->setSkin(skin); });
    if (m_button) {
        delete m_buttonBox->replaceWidget(m_button, button);
        delete m_button;
    } else {
        m_buttonBox->addWidget(button, 0, Qt::AlignHCenter);
    }
    m_button = button;
    // At once, not when the layout would get round to it: the card's height counts it.
    button->setVisible(true);
}

void OnboardingView::fitInto(int height)
{
    // The card's height less what its button takes: the button alone gives way to a short window.
    const auto buttonHeight = [](int width) { return qCeil(eStopHeight(width)); };
    const int rest = heightForWidth(this->width()) - buttonHeight(qRound(m_button->buttonWidth()));
    int width = buttonWidth;
    while (width > leastButtonWidth && rest + buttonHeight(width) > height)
        --width;
    setButtonWidth(width);
    setMinimumHeight(rest + buttonHeight(width));
}

void OnboardingView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // The room is that of the scrolling area the card is centred in, less the margins round it.
    QWidget *area = nullptr;
    for (QWidget *w = parentWidget(); w && !area; w = w->parentWidget())
        if (auto *scroll = qobject_cast<QAbstractScrollArea *>(w))
            area = scroll->viewport();
    if (area && area != m_room) {
        if (m_room)
            m_room->removeEventFilter(this);
        m_room = area;
        m_room->installEventFilter(this);
    }
    fitRoom();
}

bool OnboardingView::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_room && event->type() == QEvent::Resize)
        fitRoom();
    return QWidget::eventFilter(watched, event);
}

void OnboardingView::fitRoom()
{
    if (!m_room)
        return;
    const QMargins around =
        parentWidget() && parentWidget()->layout() ? parentWidget()->layout()->contentsMargins() : QMargins();
    fitInto(m_room->height() - around.top() - around.bottom());
}

bool OnboardingView::wantsFridayReport() const
{
    return m_friday->isChecked();
}

void OnboardingView::setWantsFridayReport(bool wants)
{
    m_friday->setChecked(wants);
}

QString OnboardingView::shortcutTitle() const
{
    return m_shortcutTitle->text();
}

void OnboardingView::loadDemoWeek()
{
    m_model.addDemoData();
    finish();
}

void OnboardingView::letsGo()
{
    finish();
}

void OnboardingView::finish()
{
    m_model.prefs().setNotifyFriday(wantsFridayReport());
    if (m_requestPermission)
        m_requestPermission();
    if (m_done)
        m_done();
}

void OnboardingView::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF card(0, 0, cardWidth, height() - shadowOffset);
    Paint::slab(p, card, radius, QPointF(shadowOffset, shadowOffset), Theme::shadow);
    const QPainterPath shape = Paint::roundedRect(card, radius);
    p.fillPath(shape, QColor(Theme::card));
    p.save();
    p.setClipPath(shape);
    paintHazardStripes(p, QRectF(0, 0, cardWidth, bandHeight), 12, Theme::hazard, nearBlack);
    p.restore();
    // The border is drawn inside the edge.
    p.setPen(QPen(QColor(Theme::stroke), 1.5));
    p.setBrush(Qt::NoBrush);
    p.drawPath(Paint::roundedRect(card.adjusted(0.75, 0.75, -0.75, -0.75), radius - 0.75));
}
