#pragma once

#include "ui/BrutalCard.h"

class QLayout;
class QVBoxLayout;
class ThemedLabel;

// One section card of the settings page: a tilted tape title over the section's content, 14 apart.
class SettingsPanel : public BrutalCard
{
    Q_OBJECT
public:
    explicit SettingsPanel(const QString &title, QWidget *parent = nullptr);

    void add(QWidget *widget);
    void add(QLayout *layout);

    // The small explanatory text under a control.
    static ThemedLabel *note(const QString &text);
    // A note that tells of a failure; hidden until it has something to say.
    static ThemedLabel *problemNote();

private:
    QVBoxLayout *m_column;
};
