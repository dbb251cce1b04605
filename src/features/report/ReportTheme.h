#pragma once

#include <QList>
#include <QString>
#include <optional>

// The eight looks of the weekly report card, in the order the theme picker lists them. Stored by
// its raw value under the preference "reportTheme".
enum class ReportTheme
{
    midnight,
    paper,
    hazard,
    receipt,
    tabloid,
    synthwave,
    blueprint,
    incident,
};

namespace ReportThemes {

const QList<ReportTheme> &allCases();
QString rawValue(ReportTheme theme);
// Exactly the eight raw values; anything else is no theme and the caller falls back.
std::optional<ReportTheme> fromRawValue(const QString &raw);
// The text on the theme's chip ("Incident Form" for incident).
QString title(ReportTheme theme);

} // namespace ReportThemes
