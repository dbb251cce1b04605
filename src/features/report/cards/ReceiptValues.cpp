#include "features/report/cards/ReceiptValues.h"

#include "features/report/cards/ReportPieces.h"

#include <QtMath>

namespace ReceiptValues {

namespace {

const QString kNone = QStringLiteral("\u2014");

} // namespace

QString cashier(const WeeklyReport &report)
{
    return QStringLiteral("CASHIER: YOU     TERMINAL: ") +
           (report.topApp ? report.topApp->name.toUpper() : QStringLiteral("LINUX"));
}

int unexplainedRest(const WeeklyReport &report)
{
    int ranked = 0;
    for (const CountItem &item : report.triggers)
        ranked += item.count;
    return report.total - ranked;
}

QList<Line> items(const WeeklyReport &report)
{
    QList<Line> lines;
    for (const CountItem &item : report.triggers.mid(0, 7))
        lines.append({item.emoji.value_or(QString()) + QLatin1Char(' ') + item.name.toUpper(),
                      QStringLiteral("x") + QString::number(item.count)});
    const int rest = unexplainedRest(report);
    if (rest >= 1)
        lines.append({QStringLiteral("MISC. UNEXPLAINED"), QStringLiteral("x") + QString::number(rest)});
    return lines;
}

QList<Line> days(const WeeklyReport &report, const QLocale &locale)
{
    QList<Line> lines;
    for (const DayBucket &day : report.days) {
        QString label = locale.dayName(day.date.date().dayOfWeek(), QLocale::ShortFormat).toUpper();
        if (report.worstDay && report.worstDay->date == day.date)
            label += QStringLiteral("  \u2190 WORST");
        lines.append({label, day.isFuture ? kNone : QString::number(day.count)});
    }
    return lines;
}

QString change(int percent)
{
    return (percent > 0 ? QStringLiteral("+") : QString()) + QString::number(percent) + QLatin1Char('%');
}

QList<Line> summary(const WeeklyReport &report)
{
    QList<Line> lines{{QStringLiteral("PEAK HOUR"), report.peakTime.value_or(kNone)},
                      {QStringLiteral("TOP SUSPECT"), report.topApp ? report.topApp->name.toUpper() : kNone}};
    if (const auto percent = report.changePercent())
        lines.append({QStringLiteral("CHANGE VS LAST WEEK"), change(*percent)});
    return lines;
}

QString receiptNumber(const WeeklyReport &report)
{
    return QString::number(ReportPieces::weekNumber(report)) + QLatin1Char('-') +
           QString::asprintf("%04d", report.total) + QStringLiteral("-GX");
}

qint64 barcodeSeed(const WeeklyReport &report)
{
    return qint64(report.total) * 31 + ReportPieces::weekNumber(report);
}

QList<BarSlot> barcode(qint64 seed, qreal width)
{
    QList<BarSlot> bars;
    if (width <= 0)
        return bars;
    quint64 s = (quint64(seed) + 7919u) | 1u;
    qreal x = 0;
    while (x < width) {
        const quint64 a = s ^ (s << 13);
        const quint64 t = a ^ (a >> 7);
        s = t ^ (t << 17);
        const int w = int(s % 3) + 1;
        bars.append({x, w, s % 5 != 0});
        x += w + 1 + int(t & 1u);
    }
    return bars;
}

QPainterPath tornEdges(const QSizeF &size, qreal tooth)
{
    const qreal W = size.width(), H = size.height();
    const qreal d = tooth / 2;
    const int n = tooth > 0 ? int(W / tooth) : 0;
    QPainterPath path;
    path.moveTo(0, d);
    if (n <= 0) {
        path.lineTo(W, H - d);
        path.closeSubpath();
        return path;
    }
    const qreal step = W / n;
    for (int i = 0; i < n; ++i) {
        path.lineTo(i * step + step / 2, 0);
        path.lineTo((i + 1) * step, d);
    }
    path.lineTo(W, H - d);
    for (int i = n - 1; i >= 0; --i) {
        path.lineTo(i * step + step / 2, H);
        path.lineTo(i * step, H - d);
    }
    path.closeSubpath();
    return path;
}

} // namespace ReceiptValues
