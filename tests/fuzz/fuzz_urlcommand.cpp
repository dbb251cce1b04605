// libFuzzer target over the grumblix:// URL reader: any text must parse without a crash, and
// nothing but the exact "grumblix" scheme may ever become a command.
#include "app/UrlCommand.h"

#include <QString>
#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString url = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const UrlCommand command = UrlCommand::parse(url);
    if (!url.startsWith(QLatin1String("grumblix:")) && command.kind != UrlCommand::Kind::ignore)
        __builtin_trap();
    if (command.kind != UrlCommand::Kind::log && (command.triggerKey || command.note))
        __builtin_trap();
    // Escapes never decode into replacement characters: a malformed one stays as written.
    if (command.note && command.note->contains(QChar::ReplacementCharacter) &&
        !url.contains(QChar::ReplacementCharacter))
        __builtin_trap();
    UrlCommand::queryValue(url, QStringLiteral("note"));
    return 0;
}
