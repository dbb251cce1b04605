#pragma once

#include "app/AppModel.h"
#include "app/DashboardWindow.h"
#include "app/FrontmostApp.h"
#include "app/GlobalHotKey.h"
#include "app/NoticeSender.h"
#include "app/PressSound.h"
#include "app/StatusItem.h"
#include "app/Toast.h"

#include <QStringList>

// Fakes of the pieces AppModel drives. Each records what it was asked into one shared journal, so
// a test can check both the calls and their order.
namespace TestSupport {

struct Journal
{
    QStringList calls;
    QList<int> titles; // every count passed to updateTitle
    QList<VorpEvent> toasts;
    QList<std::pair<QString, QString>> notices;
};

class FakeStatusItem : public StatusItem
{
public:
    explicit FakeStatusItem(Journal &journal) : m_journal(journal) {}
    void updateTitle(int todayCount) override;
    void flash() override { m_journal.calls << QStringLiteral("flash"); }
    void openPanel() override { m_journal.calls << QStringLiteral("openPanel"); }
    void closePanel() override { m_journal.calls << QStringLiteral("closePanel"); }

private:
    Journal &m_journal;
};

class FakeToast : public Toast
{
public:
    explicit FakeToast(Journal &journal) : m_journal(journal) {}
    void show(const VorpEvent &event) override;

private:
    Journal &m_journal;
};

class FakeDashboardWindow : public DashboardWindow
{
public:
    explicit FakeDashboardWindow(Journal &journal) : m_journal(journal) {}
    void showDashboard() override { m_journal.calls << QStringLiteral("showDashboard"); }

private:
    Journal &m_journal;
};

class FakeSound : public PressSound
{
public:
    explicit FakeSound(Journal &journal) : m_journal(journal) {}
    void warmUp() override { m_journal.calls << QStringLiteral("warmUp"); }
    void play() override { m_journal.calls << QStringLiteral("play"); }

private:
    Journal &m_journal;
};

class FakeFrontmostApp : public FrontmostApp
{
public:
    explicit FakeFrontmostApp(Journal &journal) : m_journal(journal) {}
    void start() override { m_journal.calls << QStringLiteral("startFrontmost"); }
    std::optional<AppContext> currentContext() const override { return current; }
    std::optional<AppContext> lastExternal() const override { return external; }

    std::optional<AppContext> current;
    std::optional<AppContext> external;

private:
    Journal &m_journal;
};

class FakeHotKey : public GlobalHotKey
{
public:
    explicit FakeHotKey(Journal &journal) : m_journal(journal) {}
    void setHandler(std::function<void()> handler) override;
    bool registerShortcut(const Shortcut &shortcut) override;
    void unregisterShortcut() override { m_journal.calls << QStringLiteral("unregister"); }
    void press() const
    {
        if (handler)
            handler();
    }

    std::function<void()> handler;
    bool accept = true;
    std::optional<Shortcut> registered;

private:
    Journal &m_journal;
};

class FakeNotices : public NoticeSender
{
public:
    explicit FakeNotices(Journal &journal) : m_journal(journal) {}
    void start() override { m_journal.calls << QStringLiteral("startNotices"); }
    void send(const QString &title, const QString &body) override;
    void requestAuthorization() override { m_journal.calls << QStringLiteral("requestAuthorization"); }

private:
    Journal &m_journal;
};

// One of every fake, wired into a model with setServices().
struct FakeServices
{
    Journal journal;
    FakeSound sound{journal};
    FakeFrontmostApp frontmost{journal};
    FakeHotKey hotKey{journal};
    FakeNotices notices{journal};
    FakeStatusItem statusItem{journal};
    FakeToast toast{journal};
    FakeDashboardWindow dashboardWindow{journal};

    // Fills in every service, the tray item, the toast and the dashboard window.
    void install(AppModel &model);
};

} // namespace TestSupport
