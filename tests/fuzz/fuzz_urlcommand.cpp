// libFuzzer target over the grumblix:// URL reader and the hand-over frame reader: any bytes must
// parse without a crash, and nothing but the exact "grumblix" scheme may ever become a command.
#include "app/UrlCommand.h"
#include "platform/HandOver.h"

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

    // The same bytes as they might arrive on the single-instance socket: a request is read, or
    // rejected, and what is read leaves the buffer.
    QByteArray buffer(reinterpret_cast<const char *>(data), qsizetype(size));
    bool malformed = false;
    const auto request = HandOver::takeRequest(buffer, &malformed);
    if (request && (malformed || buffer.size() >= qsizetype(size)))
        __builtin_trap();
    HandOver::Reply::decode(buffer);
    return 0;
}
