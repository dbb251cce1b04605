#pragma once

#include "models/VorpEvent.h"
#include "ui/AchievementBanner.h"

#include <QPointer>
#include <QWidget>
#include <functional>
#include <optional>

class AppModel;
class BrutalCard;
class ThemedText;
class EStopButton;
class FlapCounter;
class KeyCaps;
class QStackedLayout;
class QTimer;
class SpringAnimator;
class TriggerGrid;

// The content of the tray panel: the big button, today's / this week's / all counts, a dry line,
// and after a press the trigger picker for the incident just logged. Built fresh at every opening.
class MenuPanelView : public QWidget
{
    Q_OBJECT
public:
    // `close` closes the panel; `seed` (0…999) picks the idle texts, random when absent.
    MenuPanelView(AppModel &model, std::function<void()> close, std::optional<int> seed = std::nullopt,
                  QWidget *parent = nullptr);
    ~MenuPanelView() override;

    // The big button's action: logs an incident and shows the picker for it.
    void press();
    // Arms the automatic close `seconds` from now, replacing a pending one (if auto-close is on).
    void scheduleClose(double seconds);

    int seed() const { return m_seed; }
    const std::optional<VorpEvent> &logged() const { return m_logged; }
    const std::optional<QString> &chosen() const { return m_chosen; }
    bool isClosePending() const;
    int pendingCloseMs() const; // the armed delay, -1 when none

    // The line under the button, the counters and the last-incident line as shown.
    QString line() const;
    QList<int> counts() const;
    QString quip() const;
    QString lastIncidentLine() const;
    QString chipText() const;
    QString appText() const;
    QString shownAppText() const; // as drawn: elided where the row has no room for all of it
    QWidget *appNameLabel() const { return m_appName; }
    QWidget *questionLabel() const;
    bool showsPicker() const;
    // The quip box and the picker are both on screen, fading into each other.
    bool isCrossFading() const;
    EStopButton *button() const { return m_button; }
    TriggerGrid *triggerGrid() const { return m_grid; }
    QWidget *picker() const { return m_picker; }
    KeyCaps *shortcutCaps() const { return m_keys; }
    AchievementBanner *banner() const { return m_banner; }

    // For tests: the picker's hover as the pointer would report it.
    void pickerHovered(bool inside);

protected:
    void hideEvent(QHideEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QWidget *buildHeader();
    QWidget *buildStats();
    QWidget *buildQuote();
    QWidget *buildPicker(const VorpEvent &event);
    QWidget *buildFooter();
    void choose(const QString &key);
    void finishCrossFade();
    void openDashboard(int tab);
    void cancelClose();
    void refresh();
    void refreshLastIncident();
    void refreshShortcut();
    void refreshBanner();
    void placeBanner();

    AppModel &m_model;
    std::function<void()> m_close;
    int m_seed;
    std::optional<VorpEvent> m_logged;
    std::optional<QString> m_chosen;
    // The pending automatic close. A child of this view: it never outlives the panel that armed it.
    QTimer *m_closeWork = nullptr;

    BrutalCard *m_card = nullptr;
    EStopButton *m_button = nullptr;
    ThemedText *m_line = nullptr;
    QList<FlapCounter *> m_counters;
    QWidget *m_middle = nullptr;
    QStackedLayout *m_middleStack = nullptr;
    QWidget *m_quote = nullptr;
    ThemedText *m_quip = nullptr;
    ThemedText *m_lastIncident = nullptr;
    QWidget *m_picker = nullptr;
    QWidget *m_chip = nullptr;
    QWidget *m_appName = nullptr;
    ThemedText *m_question = nullptr;
    TriggerGrid *m_grid = nullptr;
    KeyCaps *m_keys = nullptr;
    QPointer<AchievementBanner> m_banner;
    SpringAnimator *m_fade = nullptr;
};
