#include "ui/PageHeader.h"

#include "ui/DashboardFonts.h"
#include "ui/Labels.h"
#include "ui/ThemedLabel.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

PageHeader::PageHeader(const QString &eyebrow, const QString &title, QWidget *trailing, QWidget *parent)
    : QWidget(parent), m_eyebrow(new TapeLabel(eyebrow, -1.5, Theme::tape)),
      m_title(new ThemedLabel(title, DashboardFonts::display(42), Theme::ink, true)), m_trailing(trailing)
{
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    auto *block = new QVBoxLayout;
    block->setSpacing(8);
    block->addWidget(m_eyebrow, 0, Qt::AlignLeft);
    block->addWidget(m_title);
    row->addLayout(block, 1);
    if (m_trailing)
        row->addWidget(m_trailing, 0, Qt::AlignBottom);
}

QString PageHeader::eyebrow() const
{
    return m_eyebrow->text();
}

void PageHeader::setEyebrow(const QString &eyebrow)
{
    m_eyebrow->setText(eyebrow);
}

QString PageHeader::title() const
{
    return m_title->text();
}
