// The fourteen press-sound recipes. Each one keeps its running values (phases, filter memories) in the
// render's State, so every render starts from silence and the same noise seed.
#include "Synth.h"

#include <algorithm>
#include <cmath>

namespace Synth {

namespace {
constexpr double kPi = 3.141592653589793;
constexpr double kTwoPi = 6.283185307179586;

void advance(double &phase, double frequency)
{
    phase = phase + kTwoPi * frequency / 44100.0;
}

double clamp01(double x)
{
    return std::min(std::max(x, 0.0), 1.0);
}

double thunk(double t, State &st)
{
    double &p = st.a;
    double &q = st.b;
    const double f = 46.0 + 120.0 * std::exp(-36.0 * t);
    advance(p, f);
    double s = std::exp(-10.0 * t) * std::sin(p) + 0.5 * std::exp(-7.0 * t) * std::sin(p / 2.0);
    const double r1 = draw(st.noise);
    s = s + 0.7 * std::exp(-420.0 * t) * r1;
    const double r2 = draw(st.noise);
    q = q + (r2 - q) * 0.04;
    s = s + 3.0 * std::exp(-22.0 * t) * q;
    return s;
}

double bonk(double t, State &st)
{
    const double e = std::exp(-15.0 * t);
    const double f = 170.0 + 560.0 * e;
    advance(st.a, f);
    advance(st.b, 2.76 * f);
    double s = e * (std::sin(st.a) + 0.35 * std::exp(-30.0 * t) * std::sin(st.b));
    const double r = draw(st.noise);
    s = s + 0.3 * std::exp(-600.0 * t) * r;
    return s;
}

double buzzer(double t, State &st)
{
    advance(st.a, 118.0);
    advance(st.b, 124.0);
    const double tone = std::tanh(6.0 * std::sin(st.a)) + 0.8 * std::tanh(6.0 * std::sin(st.b));
    const double release = t <= 0.54 ? 1.0 : std::max(0.0, (0.62 - t) / 0.08);
    return tone * release * std::min(t / 0.008, 1.0);
}

double beep(double t, State &st)
{
    double start = 0.0;
    double end = 0.0;
    double f = 0.0;
    if (t >= 0.0 && t < 0.11) {
        start = 0.0;
        end = 0.11;
        f = 932.0;
    } else if (t >= 0.15 && t < 0.36) {
        start = 0.15;
        end = 0.36;
        f = 622.0;
    } else {
        return 0.0;
    }
    const double tl = t - start;
    // One phase for both tones: it is not reset in the gap.
    advance(st.a, f);
    const double env = std::exp(-4.0 * tl) * std::min(tl / 0.004, 1.0) * std::min((end - t) / 0.01, 1.0);
    return (std::sin(st.a) + 0.25 * std::sin(3.0 * st.a)) * env;
}

double scream(double t, State &st)
{
    static constexpr std::array<double, 6> gain{1.0, 1.6, 1.6, 1.0, 1.0, 1.0};
    const double f =
        (950.0 + 750.0 * std::sin(kPi * std::min(t / 0.7, 1.0))) * (1.0 + 0.045 * std::sin(kTwoPi * 9.0 * t));
    advance(st.a, f);
    double w = 0.0;
    for (int k = 1; k <= 6; ++k)
        w = w + gain[std::size_t(k - 1)] * std::sin(double(k) * st.a) / double(k);
    const double r = draw(st.noise);
    return std::min(t / 0.04, 1.0) * clamp01((0.7 - t) / 0.14) * (w + 0.05 * r);
}

double uhohPartial(double f, double u)
{
    return std::sin(kTwoPi * f * u) + 0.3 * std::exp(-9.0 * u) * std::sin(kTwoPi * (2.0 * f) * u);
}

double uhohEnvelope(double u)
{
    return std::exp(-5.0 * u) * std::min(u / 0.005, 1.0);
}

double uhoh(double t, State &)
{
    double c1 = uhohEnvelope(t) * (uhohPartial(659.25, t) + uhohPartial(830.61, t));
    if (t >= 0.32)
        c1 = c1 * std::max(0.0, 1.0 - 8.0 * (t - 0.32));
    double c2 = 0.0;
    if (t >= 0.3) {
        const double u = t - 0.3;
        c2 = uhohEnvelope(u) * (uhohPartial(493.88, u) + uhohPartial(587.33, u));
    }
    return c1 + c2;
}

struct Note
{
    double frequency;
    double start;
    double length;
};

double sadTrombone(double t, State &st)
{
    static constexpr std::array<Note, 4> notes{{
        {293.66, 0.0, 0.38},
        {277.18, 0.42, 0.38},
        {261.63, 0.84, 0.38},
        {246.94, 1.26, 1.05},
    }};
    const Note *active = nullptr;
    for (const Note &note : notes) {
        if (note.start <= t)
            active = &note;
    }
    if (!active || t >= active->start + active->length)
        return 0.0;
    const double tl = t - active->start;
    double f = active->frequency;
    // Only the long last note wobbles and sags.
    if (active->start > 1.2)
        f = f * (1.0 + 0.03 * std::min(tl / 0.3, 1.0) * std::sin(kTwoPi * 5.5 * tl)) *
            (1.0 - 0.05 * std::max(0.0, tl - 0.7));
    advance(st.a, f);
    const double m = 1.1 - 0.75 * std::sin(kPi * std::min(tl / active->length, 1.0));
    double w = 0.0;
    for (int k = 1; k <= 10; ++k)
        w = w + std::exp(-double(k - 1) * m) * std::sin(double(k) * st.a) / double(k);
    return w * std::min(tl / 0.03, 1.0) * std::min((active->length - tl) / 0.06, 1.0);
}

double slowClap(double t, State &st)
{
    static constexpr std::array<double, 3> claps{0.05, 0.8, 1.55};
    double env = 0.0;
    for (double c : claps) {
        if (c > t)
            continue;
        const double u = t - c;
        double clap = std::exp(-55.0 * u) + 0.12 * std::exp(-9.0 * u);
        if (u > 0.008)
            clap = clap + 0.6 * std::exp(-60.0 * (u - 0.008));
        if (u > 0.017)
            clap = clap + 0.4 * std::exp(-50.0 * (u - 0.017));
        env = env + clap;
    }
    double &b = st.a;
    double &l = st.b;
    const double r = draw(st.noise);
    b = b + (r - b) * 0.35;
    l = l + (b - l) * 0.05;
    return (b - l) * env;
}

struct Shard
{
    double start;
    double frequency;
    double amplitude;
};

constexpr std::uint64_t kShardSeed = 0xC0FFEE123456789AULL;
constexpr int kShardCount = 26;

std::vector<Shard> makeShards()
{
    std::uint64_t word = kShardSeed;
    std::vector<Shard> shards;
    shards.reserve(kShardCount);
    for (int i = 0; i < kShardCount; ++i) {
        const double u1 = std::abs(draw(word));
        const double u2 = std::abs(draw(word));
        const double u3 = std::abs(draw(word));
        shards.push_back({0.55 * u1, 2200.0 + 5200.0 * u2, 0.3 + 0.7 * u3});
    }
    return shards;
}

double smash(double t, State &st, const std::vector<Shard> &shards)
{
    double &h = st.a;
    const double r = draw(st.noise);
    const double d = r - h;
    double s = 1.2 * std::exp(-9.0 * t) * d;
    for (const Shard &shard : shards) {
        if (shard.start > t)
            continue;
        const double u = t - shard.start;
        s = s + 0.5 * shard.amplitude * std::exp(-28.0 * u) * std::sin(kTwoPi * shard.frequency * u);
    }
    h = h + 0.15 * d;
    return s;
}

double gong(double t, State &st)
{
    static constexpr std::array<double, 8> ratios{1.0, 1.47, 2.09, 2.56, 2.98, 3.62, 4.25, 5.1};
    const double wob = 0.3 * std::sin(kTwoPi * 0.7 * t);
    double sum = 0.0;
    for (int k = 0; k < 8; ++k) {
        const double dk = double(k);
        const double partial = std::sin(wob + kTwoPi * 98.0 * ratios[std::size_t(k)] * t) *
                               std::exp(-(0.7 + 0.4 * dk) * t) * (1.0 - std::exp(-(4.0 + 3.0 * dk) * t)) /
                               (1.0 + 0.5 * dk);
        sum = sum + partial;
    }
    const double r = draw(st.noise);
    return sum + 0.4 * std::exp(-60.0 * t) * r;
}

double airHorn(double t, State &st)
{
    static constexpr std::array<double, 4> voices{466.0, 471.0, 554.0, 560.0};
    const double bend = 1.0 - 0.06 * std::exp(-30.0 * t);
    double sum = 0.0;
    for (std::size_t k = 0; k < voices.size(); ++k) {
        const double x = st.voices[k] + bend * voices[k] / 44100.0;
        st.voices[k] = x - std::floor(x);
        sum = sum + (2.0 * st.voices[k] - 1.0);
    }
    const double env = t <= 0.95 ? 1.0 : std::max(0.0, (1.1 - t) / 0.15);
    return env * std::min(t / 0.015, 1.0) * std::tanh(1.4 * sum);
}

double squeak(double t, State &st)
{
    double f = t < 0.12 ? 700.0 + 900.0 * (t / 0.12) : 1600.0 - 250.0 * (t - 0.12);
    f = f * (1.0 + 0.06 * std::sin(kTwoPi * 28.0 * t));
    advance(st.a, f);
    const double r = draw(st.noise);
    const double tone = std::sin(st.a + 2.2 * std::sin(st.a)) + 0.05 * r;
    const double g = t > 1.0 ? 0.0 : std::min((1.0 - t) / 0.15, 1.0);
    return tone * std::min(t / 0.03, 1.0) * g;
}

double boom(double t, State &st)
{
    double &q = st.a;
    double &p = st.b;
    const double r = draw(st.noise);
    q = q + (0.2 * std::exp(-12.0 * t) + 0.02) * (r - q);
    const double f = 35.0 + 70.0 * std::exp(-9.0 * t);
    advance(p, f);
    const double crackle = std::abs(r) > 0.985 ? 2.0 * r : 0.0;
    return std::exp(-2.8 * t) * (0.9 * std::sin(p) + 6.0 * q) + 0.6 * std::exp(-2.5 * t) * crackle;
}

double kaching(double t, State &st)
{
    struct Bell
    {
        double start;
        double frequency;
    };
    static constexpr std::array<Bell, 2> bells{{{0.1, 2093.0}, {0.16, 2637.0}}};
    double &q = st.a;
    const double r = draw(st.noise);
    q = q + (r - q) * 0.08;
    double s = 4.0 * q * std::exp(-40.0 * t) + 0.6 * std::sin(kTwoPi * 140.0 * t) * std::exp(-30.0 * t);
    for (const Bell &bell : bells) {
        if (bell.start > t)
            continue;
        const double u = t - bell.start;
        const double f = bell.frequency;
        s = s + 0.5 * std::exp(-4.0 * u) *
                    (std::sin(kTwoPi * f * u) + 0.5 * std::exp(-6.0 * u) * std::sin(kTwoPi * (2.76 * f) * u) +
                     0.3 * std::exp(-12.0 * u) * std::sin(kTwoPi * (5.4 * f) * u));
    }
    return s;
}
} // namespace

std::vector<float> render(SoundChoice choice)
{
    switch (choice) {
    case SoundChoice::off:
    case SoundChoice::narrator:
    case SoundChoice::chaos:
        return {};
    case SoundChoice::thunk:
        return synth(0.34, 0.95, thunk);
    case SoundChoice::bonk:
        return synth(0.30, 0.8, bonk);
    case SoundChoice::buzzer:
        return synth(0.62, 0.6, buzzer);
    case SoundChoice::beep:
        return synth(0.38, 0.6, beep);
    case SoundChoice::scream:
        return synth(0.70, 0.55, scream);
    case SoundChoice::uhoh:
        return synth(0.95, 0.6, uhoh);
    case SoundChoice::sadTrombone:
        return synth(2.35, 0.33, sadTrombone);
    case SoundChoice::slowClap:
        return synth(2.30, 0.8, slowClap);
    case SoundChoice::smash: {
        // The shards come from their own generator, restarted on every render.
        const std::vector<Shard> shards = makeShards();
        return synth(1.40, 0.75, [&shards](double t, State &st) { return smash(t, st, shards); });
    }
    case SoundChoice::gong:
        return synth(3.60, 0.7, gong);
    case SoundChoice::airHorn:
        return synth(1.10, 0.3, airHorn);
    case SoundChoice::squeak:
        return synth(1.00, 0.32, squeak);
    case SoundChoice::boom:
        return synth(1.70, 0.95, boom);
    case SoundChoice::kaching:
        return synth(1.30, 0.7, kaching);
    }
    return {};
}

} // namespace Synth
