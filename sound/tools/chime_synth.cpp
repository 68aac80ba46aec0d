#include "chime_synth.h"

#include "alert_clip_format.h"
#include "wav_writer.h"

#include <algorithm>
#include <array>

namespace tindora::sound {
namespace {

// Everything below is integer arithmetic: a float expression may round
// differently under x87 (the 32-bit Windows build) than under SSE, and the
// clip must not change with the compiler that builds the generator.
constexpr std::int64_t kOne = std::int64_t{1} << 30; // 1.0 in Q30
constexpr int kRate = static_cast<int>(clip::kSampleRate);
constexpr int kFrames = static_cast<int>(clip::kFrames);

std::int64_t roundedDiv(std::int64_t a, std::int64_t b) { return a >= 0 ? (a + b / 2) / b : -((-a + b / 2) / b); }

// One period of sin in 65536 steps, Q30, from its Taylor series, which at
// most a quarter turn from zero is exact to a few units in the last place.
class SineTable {
public:
    SineTable()
    {
        constexpr std::int64_t kHalfPiQ30 = 1686629713; // pi/2 * 2^30
        std::array<std::int32_t, kQuarter + 1> quarter{};
        for (std::size_t i = 0; i <= kQuarter; ++i) {
            const std::int64_t x = static_cast<std::int64_t>(i) * kHalfPiQ30 / std::int64_t{kQuarter};
            const std::int64_t x2 = x * x >> 30;
            std::int64_t term = x;
            std::int64_t sum = x;
            for (std::int64_t k = 1; k <= 8; ++k) {
                term = -(term * x2 >> 30) / (2 * k * (2 * k + 1));
                sum += term;
            }
            quarter[i] = static_cast<std::int32_t>(std::min(sum, kOne));
        }
        for (std::size_t i = 0; i < kQuarter; ++i) {
            m_values[i] = quarter[i];
            m_values[kQuarter + i] = quarter[kQuarter - i];
            m_values[2 * kQuarter + i] = -quarter[i];
            m_values[3 * kQuarter + i] = -quarter[kQuarter - i];
        }
    }
    std::int64_t at(std::uint32_t phase) const { return m_values[phase >> 16]; }

private:
    static constexpr std::size_t kQuarter = 16384;
    std::array<std::int32_t, 4 * kQuarter> m_values{};
};

// The bell's voice: a soft hum an octave down, the struck tone, its octave and
// a few inharmonic partials of a struck bar that give the shimmer. Higher
// partials are weaker and die sooner, which keeps the strike bright but not harsh.
struct Partial {
    int ratioPermille;
    int amplitudePermille;
    int decayMs; // time to fall to 1/e
};
constexpr Partial kBell[] = {
    {500, 150, 2500}, {1000, 1000, 1700}, {2000, 380, 900}, {2756, 170, 480}, {4070, 50, 260}, {5404, 25, 150},
};

// Equal-tempered pitches in millihertz.
constexpr int kD5 = 587330;
constexpr int kC5 = 523251;
constexpr int kE5 = 659255;
constexpr int kG5 = 783991;
constexpr int kA5 = 880000;
constexpr int kC6 = 1046502;
constexpr int kD6 = 1174659;
constexpr int kE6 = 1318510;

struct Strike {
    int startMs;
    int pitch; // mHz
    int velocityPermille;
    int panPermille; // 0 left .. 1000 right
};

// Our tune, in C major pentatonic: a rising call (G C E D C), a falling answer
// (A G E D), then a C major chord, rolled from the bottom, left to ring out.
constexpr Strike kTune[] = {
    {60, kG5, 800, 350},   {400, kC6, 760, 650},  {740, kE6, 720, 400},  {1080, kD6, 680, 600}, {1420, kC6, 820, 450},
    {2100, kA5, 720, 620}, {2440, kG5, 700, 380}, {2780, kE5, 700, 600}, {3120, kD5, 680, 420}, {3620, kC5, 900, 380},
    {3650, kG5, 640, 620}, {3680, kC6, 560, 450}, {3710, kE6, 360, 560},
};

constexpr int kAttackFrames = kRate * 6 / 1000;  // a 6 ms strike: no click
constexpr int kFadeInFrames = kRate * 25 / 1000; // the clip's own soft start
constexpr int kFadeOutFrames = kRate * 16 / 10;  // the last 1.6 s fall to silence
constexpr std::int64_t kTargetPeak = 23197;      // -3 dBFS: loud, with headroom
constexpr int kDetunePer10000 = 7;               // the right channel a hair sharp: a slow shimmer across the pair

void ring(const SineTable& sine, const Strike& strike, const Partial& partial, std::vector<std::int64_t>& left,
          std::vector<std::int64_t>& right)
{
    const std::int64_t frequency = std::int64_t{strike.pitch} * partial.ratioPermille / 1000; // mHz
    const auto step = static_cast<std::uint32_t>((static_cast<std::uint64_t>(frequency) << 32) / (kRate * 1000ull));
    const std::uint32_t stepRight = step + static_cast<std::uint32_t>(std::uint64_t{step} * kDetunePer10000 / 10000);
    const std::int64_t decayFrames = std::int64_t{partial.decayMs} * kRate / 1000;
    const std::int64_t decay = kOne - (kOne + decayFrames / 2) / decayFrames; // e^(-1/decayFrames), to first order
    const std::int64_t gainLeft = 1000 - strike.panPermille * 3 / 5;
    const std::int64_t gainRight = 400 + strike.panPermille * 3 / 5;

    std::int64_t envelope = std::int64_t{partial.amplitudePermille} * strike.velocityPermille * kOne / 1000000;
    std::uint32_t phaseLeft = 0;
    std::uint32_t phaseRight = 0;
    const int start = strike.startMs * kRate / 1000;
    for (int n = 0; start + n < kFrames && envelope > 0; ++n) {
        std::int64_t level = envelope;
        if (n < kAttackFrames)
            level = level * n / kAttackFrames;
        const auto frame = static_cast<std::size_t>(start + n);
        left[frame] += (sine.at(phaseLeft) * level >> 30) * gainLeft / 1000;
        right[frame] += (sine.at(phaseRight) * level >> 30) * gainRight / 1000;
        phaseLeft += step;
        phaseRight += stepRight;
        envelope = envelope * decay >> 30;
    }
}

// The clip's own fade: a quadratic rise over the first frames and a quadratic
// fall to zero at the last, so neither end clicks whatever the bells do.
std::int64_t fade(std::int64_t value, int n)
{
    const auto squared = [value](std::int64_t part, std::int64_t whole) {
        const std::int64_t f = (part << 16) / whole; // Q16
        return value * (f * f >> 16) >> 16;
    };
    if (n < kFadeInFrames)
        value = squared(n, kFadeInFrames);
    const int remaining = kFrames - 1 - n;
    if (remaining < kFadeOutFrames)
        value = squared(remaining, kFadeOutFrames);
    return value;
}

} // namespace

std::vector<std::int16_t> synthesiseChime()
{
    const SineTable sine;
    std::vector<std::int64_t> left(kFrames, 0);
    std::vector<std::int64_t> right(kFrames, 0);
    for (const Strike& strike : kTune) {
        for (const Partial& partial : kBell)
            ring(sine, strike, partial, left, right);
    }
    std::int64_t peak = 1;
    for (int n = 0; n < kFrames; ++n) {
        const auto i = static_cast<std::size_t>(n);
        left[i] = fade(left[i], n);
        right[i] = fade(right[i], n);
        peak = std::max({peak, left[i] < 0 ? -left[i] : left[i], right[i] < 0 ? -right[i] : right[i]});
    }
    std::vector<std::int16_t> frames;
    frames.reserve(2 * left.size());
    for (std::size_t i = 0; i < left.size(); ++i) {
        frames.push_back(static_cast<std::int16_t>(roundedDiv(left[i] * kTargetPeak, peak)));
        frames.push_back(static_cast<std::int16_t>(roundedDiv(right[i] * kTargetPeak, peak)));
    }
    return frames;
}

std::vector<std::uint8_t> renderAlertClip()
{
    return writeWavWithFact(synthesiseChime(), clip::kChannels, clip::kSampleRate);
}

} // namespace tindora::sound
