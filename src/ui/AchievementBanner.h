#pragma once

#include <QWidget>

class QVariantAnimation;

// The hazard-yellow strip announcing a newly unlocked achievement: its emoji, the header
// "ACHIEVEMENT UNLOCKED" and its title. enter() slides it down from the top while fading in;
// leave() slides it up and out, then hides it.
class AchievementBanner : public QWidget
{
    Q_OBJECT
public:
    AchievementBanner(const QString &emoji, const QString &title, QWidget *parent = nullptr);
    // Any achievement value with `emoji` and `title` texts.
    template<class A>
    explicit AchievementBanner(const A &achievement, QWidget *parent = nullptr)
        : AchievementBanner(achievement.emoji, achievement.title, parent)
    {
    }

    QString emoji() const { return m_emoji; }
    QString title() const { return m_title; }
    void setAchievement(const QString &emoji, const QString &title);

    void enter();
    void leave();

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

Q_SIGNALS:
    void left();

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void animateTo(qreal end);

    QString m_emoji;
    QString m_title;
    qreal m_shown = 1.0;
    QVariantAnimation *m_animation;
};
