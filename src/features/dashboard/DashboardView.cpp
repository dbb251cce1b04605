#include "features/dashboard/DashboardView.h"

#include "app/AppModel.h"
#include "features/dashboard/DashboardPages.h"
#include "features/dashboard/Sidebar.h"
#include "features/onboarding/OnboardingView.h"
#include "models/Prefs.h"
#include "ui/DotGrid.h"
#include "ui/FadeEffect.h"
#include "ui/OverlayHost.h"
#include "ui/PageScroll.h"
#include "ui/Theme.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QTimer>
#include <QVBoxLayout>
#include <QVariantAnimation>

namespace {

// The thin ink line between the sidebar and the pages.
class Rule : public QWidget
{
public:
    Rule() { setFixedWidth(2); }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.setRenderHint(QPainter::Antialiasing);
        p.fillRect(QRectF(0, 0, 1.5, height()), QColor(Theme::ink));
    }
};

// Paper with the dot grid; the current page sits on top of it.
class PageArea : public QWidget
{
public:
    PageArea()
    {
        auto *layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
    }

protected:
    void paintEvent(QPaintEvent *event) override
    {
        // Only what the repaint exposed: a changed card repaints the paper behind it, not the page.
        QPainter p(this);
        p.fillRect(event->rect(), QColor(Theme::paper));
        paintDotGrid(p, QRectF(rect()), 22, event->rect());
    }
};

// Paints a change of page from two pictures of the page area (paper, dots and page, as drawn): the
// incoming one fading in over the outgoing one, so its last frame is the live page's first. The
// pages themselves carry no graphics effect while they fade: Qt draws an effect nested inside
// another (the e-stop's ground shadow) at wrong offsets.
class PageCrossFade : public QWidget
{
public:
    PageCrossFade(QPixmap from, QPixmap to, QWidget *parent)
        : QWidget(parent), m_from(std::move(from)), m_to(std::move(to))
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_OpaquePaintEvent);
    }
    void setProgress(qreal t)
    {
        m_t = t;
        update();
    }
    const QPixmap &incoming() const { return m_to; }
    qreal progress() const { return m_t; }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.drawPixmap(0, 0, m_from);
        p.setOpacity(m_t);
        p.drawPixmap(0, 0, m_to);
    }

private:
    QPixmap m_from;
    QPixmap m_to;
    qreal m_t = 0;
};

// The dimming behind the first-run card; it swallows every click so nothing beneath can be used.
class Scrim : public QWidget
{
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(rect(), QColor(0, 0, 0, 128));
    }
    void mousePressEvent(QMouseEvent *event) override { event->accept(); }
    void mouseReleaseEvent(QMouseEvent *event) override { event->accept(); }
    void wheelEvent(QWheelEvent *event) override { event->accept(); }
};

// Delivers the layout requests a newly shown page has posted (a scroll area shows its scroll bar
// only on one, which narrows the page): its picture must be of the page as it will first be drawn.
// Each request may post another further in; a handful of rounds covers the deepest nesting here.
void settleLayout()
{
    for (int round = 0; round < 4; ++round)
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
}

// A fade of `target` from `from` to `to`, owned by the target so it dies with it; the caller starts it.
template<typename Target, typename Apply>
QVariantAnimation *startFade(Target *target, qreal from, qreal to, int ms, QEasingCurve::Type curve,
                             Apply apply)
{
    auto *animation = new QVariantAnimation(target);
    animation->setStartValue(from);
    animation->setEndValue(to);
    animation->setDuration(ms);
    animation->setEasingCurve(curve);
    QObject::connect(animation, &QVariantAnimation::valueChanged, target,
                     [target, apply](const QVariant &v) { (target->*apply)(v.toReal()); });
    return animation;
}

} // namespace

DashboardView::DashboardView(AppModel &model, PageServices services, QWidget *parent)
    : QWidget(parent), m_model(model), m_services(std::move(services))
{
    setMinimumSize(minimumWidth, minimumHeight);
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    m_sidebar = new Sidebar(model);
    m_pageArea = new PageArea;
    row->addWidget(m_sidebar);
    row->addWidget(new Rule);
    row->addWidget(m_pageArea, 1);

    connect(m_sidebar, &Sidebar::tabChosen, this, [this](DashboardTab tab) {
        // Only a real change animates and clears focus; the same row again changes nothing.
        m_animateNextPage = tab != m_model.dashboardTab();
        m_model.setDashboardTab(tab);
        m_animateNextPage = false;
    });
    connect(&m_model, &AppModel::dashboardTabChanged, this, [this] {
        if (m_page && m_model.dashboardTab() == m_pageTab)
            return;
        showPage(m_animateNextPage);
        clearFocusSoon();
    });
    connect(&m_model.prefs(), &Prefs::changed, this, [this](const QString &key) {
        if (key == PrefKey::hasOnboarded)
            syncOnboarding();
    });

    showPage(false);
    syncOnboarding();
    m_overlay = OverlayHost::install(this);
}

void DashboardView::setPermissionRequest(std::function<void()> request)
{
    m_permissionRequest = std::move(request);
    if (m_onboarding && m_permissionRequest)
        m_onboarding->setPermissionRequest(m_permissionRequest);
}

QPixmap DashboardView::incomingPagePicture() const
{
    auto *fade = static_cast<PageCrossFade *>(m_pageFade.data());
    return fade ? fade->incoming() : QPixmap();
}

qreal DashboardView::pageFadeProgress() const
{
    auto *fade = static_cast<PageCrossFade *>(m_pageFade.data());
    return fade ? fade->progress() : -1;
}

qreal DashboardView::onboardingFadeOpacity() const
{
    auto *picture = static_cast<FadingSnapshot *>(m_scrimFade.data());
    return picture ? picture->opacity() : -1;
}

bool DashboardView::isOnboardingShown() const
{
    return m_scrim && m_scrim->isVisible();
}

void DashboardView::showPage(bool animated)
{
    m_pageTab = m_model.dashboardTab();
    // What is on screen now: the page, or the blend of a page change still running above it.
    QPixmap from;
    if (animated && m_page)
        from = m_pageArea->grab();
    if (m_pageFade) {
        m_pageFadeAnimation->stop();
        delete m_pageFade;
    }

    // The new page is built and laid out before anything fades, so no frame shows an empty page.
    QWidget *next = DashboardPages::makePage(m_pageTab, m_model, m_services);
    next->setObjectName(rawValue(m_pageTab));
    if (m_page)
        delete m_page;
    m_page = next;
    m_pageArea->layout()->addWidget(next);
    if (!animated || !m_pageArea->isVisible())
        return;
    m_pageArea->layout()->activate();
    next->show();
    settleLayout();
    auto *fade = new PageCrossFade(from, m_pageArea->grab(), m_pageArea);
    fade->setGeometry(m_pageArea->rect());
    fade->show();
    fade->raise();
    m_pageFade = fade;
    m_pageFadeAnimation = startFade(fade, 0.0, 1.0, 150, QEasingCurve::OutCubic, &PageCrossFade::setProgress);
    connect(m_pageFadeAnimation, &QVariantAnimation::finished, fade, [this, fade] {
        fade->deleteLater();
        if (m_pageFade == fade)
            m_pageFade = nullptr;
    });
    // The clock starts once the fade's first frame (the old page as it stood) is out: on a heavy
    // page, what that frame takes would otherwise be gone from the fade before anything is shown.
    afterNextFrame(fade, [animation = m_pageFadeAnimation] {
        if (animation)
            animation->start();
    });
}

void DashboardView::syncOnboarding()
{
    const bool needed = !m_model.prefs().hasOnboarded();
    if (!needed) {
        if (m_scrim && m_scrim->isVisible() && !m_scrimAnimation)
            finishOnboarding();
        return;
    }
    if (!m_scrim) {
        m_scrim = new Scrim(this);
        // A window shorter than the card scrolls the card as a whole instead of squeezing it.
        QVBoxLayout *center = nullptr;
        makeSeeThroughScroll(m_scrim, &center);
        m_onboarding = new OnboardingView(m_model, [this] {
            // Stored first; the change notice then fades the card out.
            m_model.prefs().setHasOnboarded(true);
        });
        if (m_permissionRequest)
            m_onboarding->setPermissionRequest(m_permissionRequest);
        // The card is as tall as its wrapped lines need at its one width; centred by stretches,
        // so a short window scrolls it.
        m_onboarding->setMinimumHeight(m_onboarding->heightForWidth(m_onboarding->minimumWidth()));
        center->addStretch(1);
        center->addWidget(m_onboarding, 0, Qt::AlignHCenter);
        center->addStretch(1);
    }
    m_scrim->setGeometry(rect());
    m_scrim->show();
    m_scrim->raise();
    if (m_overlay)
        m_overlay->raise();
}

void DashboardView::finishOnboarding()
{
    if (!m_scrim)
        return;
    // The card leaves as a picture: an opacity effect on the scrim would be a second effect around
    // the card's e-stop and its ground shadow, which Qt then draws in the wrong place.
    auto *picture = new FadingSnapshot(m_scrim);
    m_scrim->hide();
    m_scrim->deleteLater();
    m_scrim = nullptr;
    m_onboarding = nullptr;
    if (m_overlay)
        m_overlay->raise();
    m_scrimFade = picture;
    m_scrimAnimation = startFade(picture, 1.0, 0.0, 200, QEasingCurve::OutQuad, &FadingSnapshot::setOpacity);
    connect(m_scrimAnimation, &QVariantAnimation::finished, picture, [this, picture] {
        picture->deleteLater();
        m_scrimFade = nullptr;
        m_scrimAnimation = nullptr;
    });
    // From the first frame that shows the picture over the page behind it, which a demo week just
    // loaded makes a heavy one.
    afterNextFrame(picture, [animation = m_scrimAnimation] {
        if (animation)
            animation->start();
    });
}

void DashboardView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (m_scrim)
        m_scrim->setGeometry(rect());
    if (m_scrimFade)
        m_scrimFade->setGeometry(rect());
    if (m_pageFade)
        m_pageFade->setGeometry(m_pageArea->rect());
}

void DashboardView::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!m_shownOnce) {
        m_shownOnce = true;
        clearFocusSoon();
    }
}

void DashboardView::clearFocusSoon()
{
    // No text field of a newly shown page starts out focused.
    QTimer::singleShot(50, this, [] {
        if (QWidget *window = QApplication::activeWindow()) {
            if (QWidget *focus = window->focusWidget())
                focus->clearFocus();
        }
    });
}
