#pragma once

#include <QString>
#include <QUrl>

struct WeeklyReport;

// Where the report image goes when it leaves the page: its file name and the browser share pages.
namespace ReportShareLinks {

enum class Network
{
    x,
    linkedIn,
};

// The product's web page, named in every post.
QUrl productPage();
// "My week, in frustration." and the product page; the short message is the first sentence alone.
QString shareMessage();
QString shortMessage();

// The share page of `network` with its query items in their fixed order: X gets "text" (the short
// message) and "url" (the product page); LinkedIn gets "shareActive" = "true" and "text" (the share
// message).
QUrl postUrl(Network network);

// "grumblix-week-" + the date of the week's Monday where the report was built (its own time zone, so
// the name agrees with the dates on the card) + ".png".
QString fileName(const WeeklyReport &report);

} // namespace ReportShareLinks
