#pragma once

#include "services/WeeklyReport.h"

#include <QList>
#include <QLocale>
#include <QPainterPath>
#include <QRectF>
#include <QString>

// The rules by which the receipt card picks its lines, numbers and barcode.
namespace ReceiptValues {

struct Line
{
    QString label;
    QString value;
    bool operator==(const Line &) const = default;
};

// "CASHIER: YOU     TERMINAL: " and the top application's name upper-cased, or LINUX.
QString cashier(const WeeklyReport &report);
// The week's incidents without a trigger: the total less every ranked trigger's count.
int unexplainedRest(const WeeklyReport &report);
// One line per trigger, the first seven only, then the unexplained rest when there is one.
QList<Line> items(const WeeklyReport &report);
// One line per day; the worst day's label ends in "  ← WORST", days to come read "—".
QList<Line> days(const WeeklyReport &report, const QLocale &locale);
// Peak hour, top suspect and, when there was an earlier week to compare, the change.
QList<Line> summary(const WeeklyReport &report);
// "+12%", "0%", "-12%".
QString change(int percent);
// Week number, the total padded to four digits, "-GX": 23-0042-GX.
QString receiptNumber(const WeeklyReport &report);
qint64 barcodeSeed(const WeeklyReport &report);

// One slot of the barcode: a bar of `width` points at `x`, or a gap of that width when not filled.
struct BarSlot
{
    qreal x = 0;
    int width = 0;
    bool filled = false;
    bool operator==(const BarSlot &) const = default;
};
// The slots a seed gives over `width` points (xorshift on 64 bits, wrapping).
QList<BarSlot> barcode(qint64 seed, qreal width);

// The outline of the torn paper over a rectangle of `size`: `size.width() / tooth` whole teeth
// along the top and bottom, tooth / 2 deep, the points at the outer edges.
QPainterPath tornEdges(const QSizeF &size, qreal tooth);

} // namespace ReceiptValues
