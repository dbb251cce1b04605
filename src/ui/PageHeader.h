#pragma once

#include <QWidget>

class TapeLabel;
class ThemedLabel;

// The title block at the top of every dashboard page: a tilted tape eyebrow over a large title on
// the left, and the page's own control (or nothing) at the right, level with the foot of the title.
class PageHeader : public QWidget
{
    Q_OBJECT
public:
    PageHeader(const QString &eyebrow, const QString &title, QWidget *trailing = nullptr,
               QWidget *parent = nullptr);

    QString eyebrow() const;
    void setEyebrow(const QString &eyebrow);
    QString title() const;
    QWidget *trailing() const { return m_trailing; }

private:
    TapeLabel *m_eyebrow;
    ThemedLabel *m_title;
    QWidget *m_trailing;
};
