#pragma once

#include <QFont>
#include <QRectF>
#include <QString>
#include <QTextLayout>
#include <memory>
#include <optional>

class QPainter;

// A row's quote line fitted to a width and laid out once, so that painting the row again (hover,
// selection, a scrolled frame) draws the same glyphs instead of shaping them anew: a colour emoji
// costs a bitmap decode each time it is shaped.
class NoteQuote
{
public:
    NoteQuote(const QString &line, qreal width);
    const QString &text() const { return m_text; }
    qreal width() const { return m_width; }
    // Draws as QPainter::drawText(rect, Qt::AlignLeft | Qt::AlignVCenter, text()) would, in the
    // painter's pen: from the kept layout with a window's left-to-right painter, by drawText itself
    // with any other (an image's painter runs in the text's own direction).
    void draw(QPainter &p, const QRectF &rect) const;

private:
    QString m_text;
    qreal m_width;
    QTextLayout m_layout;
};

// One line of the history list, as plain values: the short time, the trigger's emoji and name,
// the note's quote line and the application icon.
struct EventRowLook
{
    QString time;
    QString emoji;
    QString name;
    bool hasTrigger = false;         // the name is ink, not dim
    std::optional<QString> noteLine; // already quoted, on one line and bounded (shownNoteLine)
    // The quote laid out for this row's width, when the caller keeps one; made afresh otherwise.
    std::shared_ptr<const NoteQuote> quote;
    bool hasApp = false; // the icon shows only for a known application
    std::optional<QString> bundleID;
    bool selected = false;
    bool hovered = false;
};

namespace EventRow {

// The row's height with or without a quote line.
qreal height(bool hasNoteLine);
// The width of the time column: 52, or more where the locale's short times are wider.
qreal timeWidth();
void paint(QPainter &p, const QRectF &rect, const EventRowLook &look, qreal dpr);
// The quote line as a row `width` wide shows it: exactly what eliding the whole line gives, read
// and laid out from only as much of the line as can show (a colour emoji costs a bitmap decode
// each time it is laid out, and a line may hold hundreds).
QString fittedNoteLine(const QString &line, qreal width);
// The font of the quote line.
QFont noteFont();
// Where the application icon of a row in `rect` is drawn (its tool tip area).
QRectF iconRect(const QRectF &rect);
// The width the name and the quote get in a row in `rect`.
qreal textWidth(const QRectF &rect, bool hasApp);

// The pinned day header: the title, and the count on a capsule at the right, on the card colour.
qreal headerHeight();
void paintHeader(QPainter &p, const QRectF &rect, const QString &title, int count);

} // namespace EventRow
