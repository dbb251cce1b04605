#include "features/report/ReportTheme.h"

namespace ReportThemes {

const QList<ReportTheme> &allCases()
{
    static const QList<ReportTheme> all{ReportTheme::midnight,  ReportTheme::paper,   ReportTheme::hazard,
                                        ReportTheme::receipt,   ReportTheme::tabloid, ReportTheme::synthwave,
                                        ReportTheme::blueprint, ReportTheme::incident};
    return all;
}

QString rawValue(ReportTheme theme)
{
    switch (theme) {
    case ReportTheme::midnight:
        return QStringLiteral("midnight");
    case ReportTheme::paper:
        return QStringLiteral("paper");
    case ReportTheme::hazard:
        return QStringLiteral("hazard");
    case ReportTheme::receipt:
        return QStringLiteral("receipt");
    case ReportTheme::tabloid:
        return QStringLiteral("tabloid");
    case ReportTheme::synthwave:
        return QStringLiteral("synthwave");
    case ReportTheme::blueprint:
        return QStringLiteral("blueprint");
    case ReportTheme::incident:
        return QStringLiteral("incident");
    }
    return QStringLiteral("midnight");
}

std::optional<ReportTheme> fromRawValue(const QString &raw)
{
    for (ReportTheme theme : allCases()) {
        if (rawValue(theme) == raw)
            return theme;
    }
    return std::nullopt;
}

QString title(ReportTheme theme)
{
    switch (theme) {
    case ReportTheme::midnight:
        return QStringLiteral("Midnight");
    case ReportTheme::paper:
        return QStringLiteral("Paper");
    case ReportTheme::hazard:
        return QStringLiteral("Hazard");
    case ReportTheme::receipt:
        return QStringLiteral("Receipt");
    case ReportTheme::tabloid:
        return QStringLiteral("Tabloid");
    case ReportTheme::synthwave:
        return QStringLiteral("Synthwave");
    case ReportTheme::blueprint:
        return QStringLiteral("Blueprint");
    case ReportTheme::incident:
        return QStringLiteral("Incident Form");
    }
    return {};
}

} // namespace ReportThemes
