#pragma once

#include <QWidget>
#include <functional>

class AppModel;
class ChunkyButton;
class EStopButton;
class GXCheckbox;
class ThemedLabel;

// The first-run card: the button, four selling points, the Friday-report choice, and the way in,
// with or without a demo week. Both ways store the choice, ask for notification permission and
// then call `done`.
class OnboardingView : public QWidget
{
    Q_OBJECT
public:
    OnboardingView(AppModel &model, std::function<void()> done, QWidget *parent = nullptr);

    // How notification permission is asked for; the notification service by default.
    void setPermissionRequest(std::function<void()> request) { m_requestPermission = std::move(request); }

    bool wantsFridayReport() const;
    void setWantsFridayReport(bool wants);

    // "Load a demo week" and "Let's go".
    void loadDemoWeek();
    void letsGo();

    ChunkyButton *demoButton() const { return m_demo; }
    ChunkyButton *goButton() const { return m_go; }
    EStopButton *button() const { return m_button; }
    QString shortcutTitle() const;

    static constexpr int cardWidth = 480;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void finish();
    QWidget *point(const QString &symbol, ThemedLabel *title, const QString &detail);

    AppModel &m_model;
    std::function<void()> m_done;
    std::function<void()> m_requestPermission;
    EStopButton *m_button;
    ThemedLabel *m_shortcutTitle;
    GXCheckbox *m_friday;
    ChunkyButton *m_demo;
    ChunkyButton *m_go;
};
