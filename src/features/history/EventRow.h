#pragma once

#include <QFont>
#include <QRectF>
#include <QString>
#include <optional>

class QPainter;

// One line of the history list, as plain values: the short time, the trigger's emoji and name,
// the note's quote line and the application icon.
struct EventRowLook
{
    QString time;
    QString emoji;
    QString name;
    bool hasTrigger = false;         // the name is ink, not dim
    std::optional<QString> noteLine; // already quoted, on one line and bounded (shownNoteLine)
    bool hasApp = false;             // the icon shows only for a known application
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

// The pinned day header: the title, and the count on a capsule at the right, on the card colour.
qreal headerHeight();
void paintHeader(QPainter &p, const QRectF &rect, const QString &title, int count);

} // namespace EventRow
