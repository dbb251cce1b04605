#include "features/dashboard/DashboardView.h"

#include "app/AppModel.h"
#include "features/dashboard/DashboardPages.h"
#include "features/dashboard/Sidebar.h"
#include "features/onboarding/OnboardingView.h"
#include "models/Prefs.h"
#include "ui/DotGrid.h"
#include "ui/OverlayHost.h"
#include "ui/PageScroll.h"
#include "ui/Theme.h"

#include <QApplication>
#include <QGraphicsOpacityEffect>
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

bool DashboardView::isOnboardingShown() const
{
    return m_scrim && m_scrim->isVisible();
}

void DashboardView::showPage(bool animated)
{
    m_pageTab = m_model.dashboardTab();
    QWidget *next = DashboardPages::makePage(m_pageTab, m_model, m_services);
    next->setObjectName(rawValue(m_pageTab));
    if (m_page)
        delete m_page;
    m_page = next;
    m_pageArea->layout()->addWidget(next);
    if (animated) {
        // A page chosen in the sidebar fades in.
        auto *fade = new QGraphicsOpacityEffect(next);
        fade->setOpacity(0);
        next->setGraphicsEffect(fade);
        auto *animation = new QVariantAnimation(next);
        animation->setStartValue(0.0);
        animation->setEndValue(1.0);
        animation->setDuration(150);
        animation->setEasingCurve(QEasingCurve::OutCubic);
        connect(animation, &QVariantAnimation::valueChanged, fade,
                [fade](const QVariant &v) { fade->setOpacity(v.toReal()); });
        connect(animation, &QVariantAnimation::finished, next, [next] { next->setGraphicsEffect(nullptr); });
        animation->start(QAbstractAnimation::DeleteWhenStopped);
    }
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
    m_scrimFade = new QGraphicsOpacityEffect(m_scrim);
    m_scrim->setGraphicsEffect(m_scrimFade);
    m_scrimAnimation = new QVariantAnimation(this);
    m_scrimAnimation->setStartValue(1.0);
    m_scrimAnimation->setEndValue(0.0);
    m_scrimAnimation->setDuration(200);
    m_scrimAnimation->setEasingCurve(QEasingCurve::OutQuad);
    connect(m_scrimAnimation, &QVariantAnimation::valueChanged, this,
            [this](const QVariant &v) { m_scrimFade->setOpacity(v.toReal()); });
    connect(m_scrimAnimation, &QVariantAnimation::finished, this, [this] {
        m_scrim->deleteLater();
        m_scrim = nullptr;
        m_onboarding = nullptr;
        m_scrimAnimation = nullptr;
    });
    m_scrimAnimation->start(QAbstractAnimation::DeleteWhenStopped);
}

void DashboardView::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (m_scrim)
        m_scrim->setGeometry(rect());
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
