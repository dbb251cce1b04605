#pragma once

#include "SoundChoice.h"

#include <QByteArray>
#include <array>
#include <cstdint>
#include <functional>
#include <vector>

// The press sounds, computed rather than loaded: a choice becomes a list of samples and the samples a
// 16-bit mono WAV image. A render is deterministic: the noise restarts from the same seed every time.
// This code is built without floating-point contraction or fast-math so renders match bit for bit.
namespace Synth {

constexpr int sampleRate = 44100;
constexpr std::uint64_t noiseSeed = 0x9E3779B97F4A7C15ULL;

// Scratch space of one render, fresh each time; every accumulator starts at zero.
struct State
{
    double a = 0.0;
    double b = 0.0;
    double c = 0.0;
    double d = 0.0;
    std::array<double, 8> voices{};
    std::uint64_t noise = noiseSeed;
};

// Takes the sample time in seconds and the render's state; returns one raw, unbounded sample.
using SampleFunction = std::function<double(double t, State &state)>;

// Advances the xorshift word by one draw and maps it to [-1, 0.9999].
double draw(std::uint64_t &word);

// The samples of a choice: empty for off, narrator and chaos.
std::vector<float> render(SoundChoice choice);

// Runs the sample function over trunc(duration * 44100) samples, scales the loudest to `peak` through
// a soft tanh saturation, and fades the first 88 and the last 528 samples.
std::vector<float> synth(double duration, double peak, const SampleFunction &sample);

// A complete RIFF/WAVE image: 44-byte header, then the samples as little-endian 16-bit PCM.
QByteArray wav(const std::vector<float> &samples);

} // namespace Synth
