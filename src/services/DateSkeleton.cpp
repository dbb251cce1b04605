#include "DateSkeleton.h"

#include <QTimeZone>
#include <algorithm>
#include <map>
#include <memory>
#include <mutex>
#include <unicode/dtptngen.h>
#include <unicode/smpdtfmt.h>

namespace {

icu::UnicodeString toIcu(const QString &text)
{
    return icu::UnicodeString(reinterpret_cast<const UChar *>(text.utf16()), int32_t(text.size()));
}

QString fromIcu(const icu::UnicodeString &text)
{
    return QString(reinterpret_cast<const QChar *>(text.getBuffer()), text.length());
}

// The BCP 47 tag keeps the script (sr-Latn), which QLocale::name() drops.
icu::Locale icuLocale(const QString &tag)
{
    UErrorCode status = U_ZERO_ERROR;
    const icu::Locale locale = icu::Locale::forLanguageTag(tag.toStdString(), status);
    return U_SUCCESS(status) ? locale : icu::Locale::getEnglish();
}

// A pattern generator loads locale data, so the pattern of each locale and skeleton is kept.
icu::UnicodeString patternFor(const QString &tag, const QString &skeleton)
{
    static std::mutex mutex;
    static std::map<std::pair<QString, QString>, icu::UnicodeString> patterns;
    std::lock_guard lock(mutex);
    const auto key = std::make_pair(tag, skeleton);
    if (const auto it = patterns.find(key); it != patterns.end())
        return it->second;
    icu::UnicodeString pattern = toIcu(skeleton);
    UErrorCode status = U_ZERO_ERROR;
    std::unique_ptr<icu::DateTimePatternGenerator> generator(
        icu::DateTimePatternGenerator::createInstance(icuLocale(tag), status));
    if (U_SUCCESS(status) && generator) {
        const icu::UnicodeString best = generator->getBestPattern(pattern, status);
        if (U_SUCCESS(status))
            pattern = best;
    }
    patterns.emplace(key, pattern);
    return pattern;
}

} // namespace

QString formatSkeleton(const QDateTime &instant, const QString &skeleton, const QLocale &locale)
{
    if (!instant.isValid())
        return {};
    const QString tag = locale.bcp47Name();
    UErrorCode status = U_ZERO_ERROR;
    icu::SimpleDateFormat format(patternFor(tag, skeleton), icuLocale(tag), status);
    if (U_FAILURE(status))
        return locale.toString(instant.date(), QLocale::ShortFormat);
    // Qt works out the wall-clock time in the instant's zone (ICU may know the zone under
    // another name or not at all); ICU only writes it, as if it were UTC.
    format.adoptTimeZone(icu::TimeZone::createTimeZone(icu::UnicodeString(u"UTC")));
    const QDateTime wall(instant.date(), instant.time(), Qt::UTC);
    icu::UnicodeString out;
    format.format(UDate(wall.toMSecsSinceEpoch()), out);
    return fromIcu(out);
}

QString narrowDayName(int dayOfWeek, const QLocale &locale)
{
    const QString name = locale.dayName(dayOfWeek, QLocale::NarrowFormat);
    const bool numbered = std::all_of(name.cbegin(), name.cend(), [](QChar c) { return c.isDigit(); });
    if (locale.language() != QLocale::C && !numbered)
        return name;
    return QLocale(QLocale::English).dayName(dayOfWeek, QLocale::NarrowFormat);
}
