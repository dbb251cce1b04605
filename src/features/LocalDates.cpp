#include "LocalDates.h"

#include <map>
#include <memory>
#include <unicode/dtptngen.h>
#include <unicode/smpdtfmt.h>
#include <unicode/timezone.h>

namespace LocalDates {
namespace {

QString toQString(const icu::UnicodeString &text)
{
    return QString(reinterpret_cast<const QChar *>(text.getBuffer()), text.length());
}

icu::UnicodeString toIcu(const QString &text)
{
    return icu::UnicodeString(reinterpret_cast<const UChar *>(text.utf16()), int32_t(text.size()));
}

// Building a generator loads locale data, so one formatter per locale and skeleton is kept for the
// life of the process (the views format a handful of dates on every repaint).
icu::SimpleDateFormat *formatter(const QString &localeName, const QString &skeleton)
{
    static std::map<std::pair<QString, QString>, std::unique_ptr<icu::SimpleDateFormat>> cache;
    const auto key = std::make_pair(localeName, skeleton);
    if (auto it = cache.find(key); it != cache.end())
        return it->second.get();

    const icu::Locale locale(localeName.toLatin1().constData());
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::DateTimePatternGenerator> generator(
        icu::DateTimePatternGenerator::createInstance(locale, status));
    icu::UnicodeString pattern = toIcu(skeleton);
    if (U_SUCCESS(status) && generator) {
        const icu::UnicodeString best = generator->getBestPattern(toIcu(skeleton), status);
        if (U_SUCCESS(status))
            pattern = best;
    }
    status = U_ZERO_ERROR;
    auto format = std::make_unique<icu::SimpleDateFormat>(pattern, locale, status);
    if (U_FAILURE(status))
        return nullptr;
    // The wall-clock time is computed by Qt in the caller's zone and handed over as if it were UTC.
    format->adoptTimeZone(icu::TimeZone::createTimeZone(icu::UnicodeString(u"UTC")));
    return cache.emplace(key, std::move(format)).first->second.get();
}

} // namespace

QString format(const QDateTime &moment, const QTimeZone &zone, const QString &skeleton, const QLocale &locale)
{
    if (!moment.isValid())
        return {};
    const QDateTime local = zone.isValid() ? moment.toTimeZone(zone) : moment.toLocalTime();
    const QDateTime wall(local.date(), local.time(), Qt::UTC);
    icu::SimpleDateFormat *fmt = formatter(locale.name(), skeleton);
    if (!fmt)
        return locale.toString(local, QLocale::ShortFormat);
    icu::UnicodeString out;
    fmt->format(UDate(wall.toMSecsSinceEpoch()), out);
    return toQString(out);
}

QString longDay(const QDateTime &moment, const QTimeZone &zone, const QLocale &locale)
{
    return format(moment, zone, QStringLiteral("EEEEdMMMM"), locale);
}

QString shortWeekday(const QDateTime &moment, const QTimeZone &zone, const QLocale &locale)
{
    return format(moment, zone, QStringLiteral("EEE"), locale);
}

QString monthDay(const QDateTime &moment, const QTimeZone &zone, const QLocale &locale)
{
    return format(moment, zone, QStringLiteral("MMMd"), locale);
}

} // namespace LocalDates
