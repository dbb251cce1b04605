#include "EventSource.h"

#include <array>
#include <utility>

namespace {
constexpr std::array<std::pair<EventSource, const char *>, 6> kSources{{
    {EventSource::menuBar, "menuBar"},
    {EventSource::shortcut, "shortcut"},
    {EventSource::dashboard, "dashboard"},
    {EventSource::url, "url"},
    {EventSource::physical, "physical"},
    {EventSource::demo, "demo"},
}};
} // namespace

QString rawValue(EventSource source)
{
    for (const auto &[value, raw] : kSources) {
        if (value == source)
            return QString::fromLatin1(raw);
    }
    return QStringLiteral("menuBar");
}

std::optional<EventSource> eventSourceFromRaw(const QString &raw)
{
    for (const auto &[value, name] : kSources) {
        if (raw == QLatin1String(name))
            return value;
    }
    return std::nullopt;
}
