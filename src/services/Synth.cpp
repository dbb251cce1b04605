#include "Synth.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace Synth {

namespace {
// tanh(1.2): the normaliser divides by it so the loudest sample lands exactly on the peak.
constexpr double kTanhDrive = 0.8336546070121552;
constexpr long long kFadeInSamples = 88;
constexpr long long kFadeOutSamples = 529;

void putU32(QByteArray &out, std::uint32_t v)
{
    out.append(char(v & 0xFF));
    out.append(char((v >> 8) & 0xFF));
    out.append(char((v >> 16) & 0xFF));
    out.append(char((v >> 24) & 0xFF));
}

void putU16(QByteArray &out, std::uint16_t v)
{
    out.append(char(v & 0xFF));
    out.append(char((v >> 8) & 0xFF));
}
} // namespace

double draw(std::uint64_t &word)
{
    std::uint64_t x = word;
    x ^= x << 13;
    x ^= x >> 7;
    x ^= x << 17;
    word = x;
    return double(x % 20000) / 10000.0 - 1.0;
}

std::vector<float> synth(double duration, double peak, const SampleFunction &sample)
{
    const auto n = static_cast<long long>(duration * 44100.0);
    if (n <= 0)
        return {};
    State state;
    std::vector<double> raw(static_cast<std::size_t>(n));
    for (long long i = 0; i < n; ++i)
        raw[std::size_t(i)] = sample(double(i) / 44100.0, state);

    double loudest = 0.0;
    for (double v : raw)
        loudest = std::max(loudest, std::abs(v));
    const double divisor = std::max(loudest, 0.0001);

    std::vector<float> out;
    out.reserve(raw.size());
    for (long long i = 0; i < n; ++i) {
        double y = peak * std::tanh(raw[std::size_t(i)] / divisor * 1.2) / kTanhDrive;
        if (i < kFadeInSamples)
            y = (double(i) / 88.0) * y;
        if (i > n - kFadeOutSamples)
            y = (double(n - i) / 529.0) * y;
        out.push_back(float(y));
    }
    return out;
}

QByteArray wav(const std::vector<float> &samples)
{
    const auto dataBytes = std::uint32_t(samples.size() * 2);
    QByteArray out;
    out.reserve(int(44 + dataBytes));
    out.append("RIFF", 4);
    putU32(out, 36 + dataBytes);
    out.append("WAVE", 4);
    out.append("fmt ", 4);
    putU32(out, 16);
    putU16(out, 1);
    putU16(out, 1);
    putU32(out, sampleRate);
    putU32(out, sampleRate * 2);
    putU16(out, 2);
    putU16(out, 16);
    out.append("data", 4);
    putU32(out, dataBytes);
    for (float s : samples) {
        const float v = std::min(std::max(s, -1.0f), 1.0f) * 32767.0f;
        putU16(out, std::uint16_t(std::int16_t(v)));
    }
    return out;
}

} // namespace Synth
