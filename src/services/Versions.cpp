#include "Versions.h"

#include <QVersionNumber>

int compareVersions(const QString &a, const QString &b)
{
    qsizetype suffixA = 0;
    qsizetype suffixB = 0;
    const QVersionNumber va = QVersionNumber::fromString(a.trimmed(), &suffixA).normalized();
    const QVersionNumber vb = QVersionNumber::fromString(b.trimmed(), &suffixB).normalized();
    if (const int c = QVersionNumber::compare(va, vb); c != 0)
        return c < 0 ? -1 : 1;
    auto suffix = [](const QString &text, qsizetype at) {
        QString rest = text.trimmed().mid(at);
        while (!rest.isEmpty() && (rest.front() == QLatin1Char('-') || rest.front() == QLatin1Char('.') ||
                                   rest.front() == QLatin1Char('~')))
            rest.remove(0, 1);
        return rest;
    };
    const QString sa = suffix(a, suffixA);
    const QString sb = suffix(b, suffixB);
    if (sa == sb)
        return 0;
    if (sa.isEmpty())
        return 1;
    if (sb.isEmpty())
        return -1;
    return sa.compare(sb) < 0 ? -1 : 1;
}

bool isNewerRelease(const QString &version, const QString &build, const QString &currentVersion,
                    const QString &currentBuild)
{
    if (const int c = compareVersions(version, currentVersion); c != 0)
        return c > 0;
    bool okA = false;
    bool okB = false;
    const qulonglong a = build.trimmed().toULongLong(&okA);
    const qulonglong b = currentBuild.trimmed().toULongLong(&okB);
    return okA && okB && a > b;
}

QString formatVersionString(const std::optional<QString> &version, const std::optional<QString> &build)
{
    auto part = [](const std::optional<QString> &text) {
        return text && !text->isEmpty() ? *text : QStringLiteral("?");
    };
    return part(version) + QStringLiteral(" (") + part(build) + QLatin1Char(')');
}
