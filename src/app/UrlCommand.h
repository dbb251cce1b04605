#pragma once

#include "models/EventSource.h"

#include <QString>
#include <optional>

// A grumblix:// URL read into the command it asks for.
struct UrlCommand
{
    enum class Kind
    {
        ignore,    // not a grumblix URL
        log,       // grumblix://log?source=…&trigger=…&note=…
        report,    // grumblix://report: the report page, then the dashboard
        dashboard, // any other host, or none: the dashboard on its current page
    };

    Kind kind = Kind::ignore;
    EventSource source = EventSource::url;
    std::optional<QString> triggerKey; // "trigger=" gives an empty key, "trigger" alone none
    std::optional<QString> note;

    // Takes the URL as written: the scheme and the command are compared case-sensitively, which a
    // parsed QUrl (it lower-cases hosts) could not do.
    static UrlCommand parse(const QString &url);
    // The first query item of that exact name: none when absent, or when it has no "=".
    static std::optional<QString> queryValue(const QString &query, const QString &name);
    // Decodes percent escapes; one that is malformed, or whose bytes are not UTF-8, stays as written.
    static QString percentDecoded(QStringView text);
};
