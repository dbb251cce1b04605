#pragma once

#include <QList>
#include <QRect>
#include <QWidget>

class Caption;

// A fact's value in the editor's fact boxes: one line at its size where it fits, shrunk towards
// 70 % of it where that keeps it to one line, and otherwise wrapped at words, smaller only where a
// word itself is wider than the line. It is never narrower than 70 % of its widest word, so no word
// is cut.
class FactValue : public QWidget
{
    Q_OBJECT
public:
    explicit FactValue(QWidget *parent = nullptr);

    QString text() const { return m_text; }
    void setText(const QString &text);
    // The share of its size the text is drawn at in `width`.
    qreal scaleAt(int width) const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

    static constexpr qreal kLeastScale = 0.7;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    qreal widestWord() const;

    QString m_text;
};

// The editor's titled fact boxes, painted on the well colour. Where each value fits its box on one
// line they stand side by side, each under its caption, sharing the width (a box whose content
// needs more takes it). Where they do not, they share one box as lines of a table, each caption
// beside its value, which keeps them as short as the row of boxes; and where even the table cannot
// hold a value's widest word, they stand one above the other, each the full width.
class FactRow : public QWidget
{
    Q_OBJECT
public:
    enum class Arrangement
    {
        SideBySide,
        Table,
        Stacked,
    };

    explicit FactRow(QWidget *parent = nullptr);

    // Adds a fact: its caption, and its content (a row of an icon and a value).
    void addFact(const QString &title, QWidget *content);

    Arrangement arrangementAt(int width) const;
    Arrangement arrangement() const { return arrangementAt(width()); }
    // The wells behind the facts as they are drawn now, in this widget's coordinates.
    QList<QRect> wells() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    struct Fact
    {
        Caption *caption;
        QWidget *content;
    };
    // Lays the facts out at `width` (moving them when `apply`), fills `wells` and returns the height.
    int place(int width, bool apply, QList<QRect> *wells) const;
    // The widths of side-by-side boxes: equal shares, a box whose content needs more taking that.
    QList<int> shares(int width) const;
    int boxNeed(const Fact &fact) const;
    int captionColumn() const;

    QList<Fact> m_facts;
    QList<QRect> m_wells;
};
