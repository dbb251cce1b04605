#pragma once

#include "models/VorpEvent.h"
#include "ui/AchievementBanner.h"

#include <QPointer>
#include <QWidget>
#include <functional>
#include <optional>

class AppModel;
class FlapCounter;
class QVBoxLayout;
class ThemedText;
class TriggerGrid;

// The toast's content after a quick log: where it was logged, today's count, and one click to file
// the incident under a trigger. Reports the pointer so that the toast stays while it is over it.
class HUDView : public QWidget
{
    Q_OBJECT
public:
    HUDView(AppModel &model, const VorpEvent &event, std::function<void()> onChosen,
            std::function<void(bool)> onHover, QWidget *parent = nullptr);

    const VorpEvent &event() const { return m_event; }
    const std::optional<QString> &chosen() const { return m_chosen; }

    QString loggedText() const;
    bool showsAppIcon() const { return m_showsIcon; }
    int todayCount() const;
    // The filed chip's text, empty while the picker shows.
    QString filedText() const;
    TriggerGrid *triggerGrid() const { return m_grid; }
    AchievementBanner *banner() const { return m_banner; }

    // The picker is still giving way to the filed chip.
    bool isSwapping() const;
    QWidget *filingArea() const { return m_filing; }

    // Files the incident under the trigger, as a click on its tile does.
    void choose(const QString &key);

protected:
    void enterEvent(QEnterEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    void refresh();
    void showFiling();
    void refreshBanner();
    QWidget *makeChip();

    AppModel &m_model;
    VorpEvent m_event;
    std::function<void()> m_onChosen;
    std::function<void(bool)> m_onHover;
    std::optional<QString> m_chosen;
    bool m_showsIcon = false;

    ThemedText *m_logged = nullptr;
    FlapCounter *m_today = nullptr;
    QVBoxLayout *m_stack = nullptr;
    QWidget *m_filing = nullptr;
    ThemedText *m_filed = nullptr;
    TriggerGrid *m_grid = nullptr;
    QPointer<AchievementBanner> m_banner;
};
