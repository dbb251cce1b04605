#include "features/report/ReportShareLinks.h"

#include "services/WeeklyReport.h"

#include <QUrlQuery>

namespace ReportShareLinks {

QUrl productPage()
{
    return QUrl(QStringLiteral("https://grumblix.app"));
}

QString shortMessage()
{
    return QStringLiteral("My week, in frustration.");
}

QString shareMessage()
{
    return shortMessage() + QLatin1Char(' ') + productPage().toString();
}

QUrl postUrl(Network network)
{
    QUrl url;
    QUrlQuery query;
    switch (network) {
    case Network::x:
        url = QUrl(QStringLiteral("https://x.com/intent/post"));
        query.addQueryItem(QStringLiteral("text"), shortMessage());
        query.addQueryItem(QStringLiteral("url"), productPage().toString());
        break;
    case Network::linkedIn:
        url = QUrl(QStringLiteral("https://www.linkedin.com/feed/"));
        query.addQueryItem(QStringLiteral("shareActive"), QStringLiteral("true"));
        query.addQueryItem(QStringLiteral("text"), shareMessage());
        break;
    }
    url.setQuery(query);
    return url;
}

QString fileName(const WeeklyReport &report)
{
    // The interval starts at local midnight in the report's zone; its own date is the Monday.
    return QStringLiteral("grumblix-week-%1.png").arg(report.interval.start.date().toString(Qt::ISODate));
}

} // namespace ReportShareLinks
