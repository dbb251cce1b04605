#pragma once

#include <QPointer>
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

    // Fits the card into `height`: where the card is taller, its button gives up size (down to
    // leastButtonWidth wide), so the way in stays in view without scrolling on a short screen.
    void fitInto(int height);

    static constexpr int cardWidth = 480;
    static constexpr int buttonWidth = 200;
    static constexpr int leastButtonWidth = 90;

protected:
    void paintEvent(QPaintEvent *event) override;
    void showEvent(QShowEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void setButtonWidth(int width);
    // Fits the card into the area that scrolls it, once shown there.
    void fitRoom();
    void finish();
    QWidget *point(const QString &symbol, ThemedLabel *title, const QString &detail);

    AppModel &m_model;
    std::function<void()> m_done;
    std::function<void()> m_requestPermission;
    EStopButton *m_button = nullptr;
    class QVBoxLayout *m_buttonBox = nullptr;
    QPointer<QWidget> m_room;
    ThemedLabel *m_shortcutTitle;
    GXCheckbox *m_friday;
    ChunkyButton *m_demo;
    ChunkyButton *m_go;
};
