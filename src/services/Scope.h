#pragma once

#include <QList>
#include <QString>
#include <optional>

// The time range of the overview cards; the raw value is what the picker shows.
enum class Scope
{
    week,
    month,
    all
};

QString rawValue(Scope scope);
// "Week", "Month" or "All time", exactly; any other text names no scope.
std::optional<Scope> scopeFromRaw(const QString &raw);
// week, month, all: the picker's order.
const QList<Scope> &allScopes();
