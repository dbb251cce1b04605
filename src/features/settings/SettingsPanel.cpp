#include "features/settings/SettingsPanel.h"

#include "ui/Fonts.h"
#include "ui/Labels.h"
#include "ui/ThemedLabel.h"

#include <QVBoxLayout>

SettingsPanel::SettingsPanel(const QString &title, QWidget *parent)
    : BrutalCard(20, Theme::card, 16, 4, parent), m_column(new QVBoxLayout(this))
{
    m_column->setContentsMargins(0, 0, 0, 0);
    m_column->setSpacing(14);
    m_column->addWidget(new TapeLabel(title, -1, Theme::tape), 0, Qt::AlignLeft);
}

void SettingsPanel::add(QWidget *widget)
{
    m_column->addWidget(widget);
}

void SettingsPanel::add(QLayout *layout)
{
    m_column->addLayout(layout);
}

ThemedLabel *SettingsPanel::note(const QString &text)
{
    return new ThemedLabel(text, Fonts::rounded(11, QFont::Medium), Theme::dim, true);
}

ThemedLabel *SettingsPanel::problemNote()
{
    auto *label = new ThemedLabel(QString(), Fonts::rounded(11, QFont::Bold), Theme::red, true);
    label->hide();
    return label;
}
