#pragma once

#include <QWidget>
#include <optional>

class QPainter;

// The thin proportional bar under a ranking row: a Theme::grid capsule track across `rect` and a
// fill of max(width × fraction, 4) from the left, red when highlighted, ink at 0.75 otherwise.
// The fill is not clamped: a fraction above 1 runs past the track.
void paintRankBar(QPainter &p, const QRectF &rect, double fraction, bool highlight);

// One line of a ranking: optional rank, a leading glyph widget, the name, an optional detail and
// the count at the right, over a proportional bar.
class BarRow : public QWidget
{
    Q_OBJECT
public:
    BarRow(std::optional<int> rank, QWidget *leading, const QString &name, int count, double fraction,
           bool highlight, const std::optional<QString> &detail = std::nullopt, QWidget *parent = nullptr);

    std::optional<int> rank() const { return m_rank; }
    QWidget *leading() const { return m_leading; }
    QString name() const { return m_name; }
    int count() const { return m_count; }
    double fraction() const { return m_fraction; }
    bool highlight() const { return m_highlight; }
    std::optional<QString> detail() const { return m_detail; }
    // New figures for the same row; repaints only when one changed.
    void setValues(int count, double fraction, bool highlight, const std::optional<QString> &detail);

    // Where the texts go; exposed so tests can check the layout.
    QRectF nameRect() const;
    QRectF countRect() const;
    QRectF barRect() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    struct Layout
    {
        QRectF rank, leading, name, detail, count, bar;
    };
    Layout layoutFor(qreal width) const;
    qreal lineHeight() const;

    std::optional<int> m_rank;
    QWidget *m_leading;
    QString m_name;
    int m_count;
    double m_fraction;
    bool m_highlight;
    std::optional<QString> m_detail;
};
