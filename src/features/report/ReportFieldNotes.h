#pragma once

#include <QStringList>
#include <QWidget>

class QVBoxLayout;

// The week's observations under a "Field notes" tape, one red arrow and sentence per line.
class ReportFieldNotes : public QWidget
{
    Q_OBJECT
public:
    explicit ReportFieldNotes(QWidget *parent = nullptr);

    QStringList lines() const { return m_lines; }
    // Rebuilds the lines only when they differ from those shown.
    void setLines(const QStringList &lines);

private:
    QStringList m_lines;
    QVBoxLayout *m_column;
    QWidget *m_body;
};
