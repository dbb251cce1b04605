#include "WavData.h"

#include <cstdint>

namespace {
std::uint32_t readU32(const QByteArray &b, qsizetype at)
{
    return std::uint32_t(std::uint8_t(b[at])) | std::uint32_t(std::uint8_t(b[at + 1])) << 8 |
           std::uint32_t(std::uint8_t(b[at + 2])) << 16 | std::uint32_t(std::uint8_t(b[at + 3])) << 24;
}

std::uint16_t readU16(const QByteArray &b, qsizetype at)
{
    return std::uint16_t(std::uint8_t(b[at]) | std::uint8_t(b[at + 1]) << 8);
}
} // namespace

std::optional<WavData> WavData::parse(const QByteArray &bytes)
{
    if (bytes.size() < 12 || !bytes.startsWith("RIFF") || bytes.mid(8, 4) != "WAVE")
        return std::nullopt;

    WavData wav;
    bool haveFormat = false;
    qsizetype at = 12;
    while (at + 8 <= bytes.size()) {
        const QByteArray id = bytes.mid(at, 4);
        const qsizetype size = qsizetype(readU32(bytes, at + 4));
        const qsizetype body = at + 8;
        if (id == "fmt ") {
            if (size < 16 || body + 16 > bytes.size())
                return std::nullopt;
            const int format = readU16(bytes, body);
            wav.channels = readU16(bytes, body + 2);
            wav.sampleRate = int(readU32(bytes, body + 4));
            wav.bitsPerSample = readU16(bytes, body + 14);
            if (format != 1 || wav.channels < 1 || wav.channels > 8 || wav.sampleRate < 1000 ||
                wav.sampleRate > 384000 || (wav.bitsPerSample != 8 && wav.bitsPerSample != 16))
                return std::nullopt;
            haveFormat = true;
        } else if (id == "data") {
            if (!haveFormat)
                return std::nullopt;
            const qsizetype available = bytes.size() - body;
            wav.pcm = bytes.mid(body, std::min(size, available));
            const qsizetype frame = qsizetype(wav.channels) * (wav.bitsPerSample / 8);
            wav.pcm.truncate(wav.pcm.size() - wav.pcm.size() % frame);
            return wav;
        }
        // Chunks are padded to an even length.
        at = body + size + (size & 1);
    }
    return std::nullopt;
}
