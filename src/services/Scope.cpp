#include "Scope.h"

QString rawValue(Scope scope)
{
    switch (scope) {
    case Scope::week:
        return QStringLiteral("Week");
    case Scope::month:
        return QStringLiteral("Month");
    case Scope::all:
        break;
    }
    return QStringLiteral("All time");
}

std::optional<Scope> scopeFromRaw(const QString &raw)
{
    for (Scope scope : allScopes()) {
        if (rawValue(scope) == raw)
            return scope;
    }
    return std::nullopt;
}

const QList<Scope> &allScopes()
{
    static const QList<Scope> scopes{Scope::week, Scope::month, Scope::all};
    return scopes;
}
