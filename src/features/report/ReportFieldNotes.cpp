#include "features/report/ReportFieldNotes.h"

#include "ui/Fonts.h"
#include "ui/Labels.h"
#include "ui/ThemedLabel.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace {

// A line names a trigger or an application, which a hand-edited store may make a megabyte long:
// the label lays out only the start of it.
QString shownLine(const QString &line)
{
    constexpr qsizetype kShown = 1000;
    if (line.size() <= kShown)
        return line;
    const qsizetype end = line.at(kShown).isLowSurrogate() ? kShown - 1 : kShown;
    return line.first(end) + QChar(0x2026);
}

} // namespace

ReportFieldNotes::ReportFieldNotes(QWidget *parent) : QWidget(parent), m_body(nullptr)
{
    m_column = new QVBoxLayout(this);
    m_column->setContentsMargins(0, 10, 0, 0);
    m_column->setSpacing(10);
    m_column->addWidget(new TapeLabel(QStringLiteral("Field notes"), -1, Theme::tape), 0, Qt::AlignLeft);
}

void ReportFieldNotes::setLines(const QStringList &lines)
{
    if (m_body && lines == m_lines)
        return;
    m_lines = lines;
    delete m_body;
    m_body = new QWidget(this);
    auto *body = new QVBoxLayout(m_body);
    body->setContentsMargins(0, 0, 0, 0);
    body->setSpacing(10);
    const QFont font = Fonts::rounded(13, QFont::DemiBold);
    for (const QString &line : lines) {
        auto *row = new QHBoxLayout;
        row->setSpacing(8);
        auto *arrow = new ThemedLabel(QStringLiteral("→"), Fonts::rounded(13, QFont::Black), Theme::red);
        arrow->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        row->addWidget(arrow, 0, Qt::AlignTop);
        auto *text = new ThemedLabel(shownLine(line), font, Theme::ink, true);
        text->setAlignment(Qt::AlignLeft | Qt::AlignTop);
        row->addWidget(text, 1);
        body->addLayout(row);
    }
    m_column->addWidget(m_body);
}
