#pragma once

#include "app/DashboardTab.h"
#include "features/dashboard/DashboardPages.h"

#include <QPixmap>
#include <QPointer>
#include <QWidget>
#include <functional>

class AppModel;
class OnboardingView;
class OverlayHost;
class Sidebar;
class QVariantAnimation;

// The dashboard window's content: the sidebar, a rule, and the page of the model's current tab on
// dotted paper; over everything the first-run card until the user has been through it, and above
// that the window's overlays.
class DashboardView : public QWidget
{
    Q_OBJECT
public:
    explicit DashboardView(AppModel &model, PageServices services = {}, QWidget *parent = nullptr);

    QWidget *page() const { return m_page; }
    DashboardTab pageTab() const { return m_pageTab; }
    Sidebar *sidebar() const { return m_sidebar; }
    OnboardingView *onboarding() const { return m_onboarding; }
    bool isOnboardingShown() const;
    // A page change or the first-run card's exit is still fading.
    bool isPageFading() const { return m_pageFade; }
    bool isOnboardingFading() const { return m_scrimFade; }
    // The picture of the incoming page that a running page change fades to; null when none runs.
    QPixmap incomingPagePicture() const;
    // The widgets that paint a page change and the first-run card's exit, with how far each has
    // gone (the incoming page's share, the card's opacity; -1 when none runs). Both start from
    // their first frame on screen.
    QWidget *pageFade() const { return m_pageFade; }
    qreal pageFadeProgress() const;
    QWidget *onboardingFade() const { return m_scrimFade; }
    qreal onboardingFadeOpacity() const;
    OverlayHost *overlayHost() const { return m_overlay; }

    // How the first-run card asks for notification permission (tests hand in a fake).
    void setPermissionRequest(std::function<void()> request);

    static constexpr int minimumWidth = 960;
    static constexpr int minimumHeight = 660;

protected:
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;

private:
    void showPage(bool animated);
    void syncOnboarding();
    void finishOnboarding();
    void clearFocusSoon();

    AppModel &m_model;
    PageServices m_services;
    Sidebar *m_sidebar;
    QWidget *m_pageArea;
    QPointer<QWidget> m_page;
    DashboardTab m_pageTab = DashboardTab::overview;
    bool m_animateNextPage = false;
    QWidget *m_scrim = nullptr;
    OnboardingView *m_onboarding = nullptr;
    QPointer<QWidget> m_pageFade;
    QPointer<QVariantAnimation> m_pageFadeAnimation;
    QPointer<QWidget> m_scrimFade;
    QPointer<QVariantAnimation> m_scrimAnimation;
    std::function<void()> m_permissionRequest;
    OverlayHost *m_overlay = nullptr;
    bool m_shownOnce = false;
};
