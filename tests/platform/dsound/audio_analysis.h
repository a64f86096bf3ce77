// Tone making and measuring for the sound tests: sample data of a known sine, and the frequency
// and level of a captured mix.
#pragma once

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <numbers>
#include <vector>

namespace audio_test {

// Mono 16-bit sine samples.
inline std::vector<std::int16_t> Sine(double frequency, double rate, std::size_t frames,
                                      double amplitude = 0.5) {
    std::vector<std::int16_t> samples(frames);
    for (std::size_t i = 0; i < frames; ++i)
        samples[i] = static_cast<std::int16_t>(std::lround(
            amplitude * 32767.0 *
            std::sin(2.0 * std::numbers::pi * frequency * static_cast<double>(i) / rate)));
    return samples;
}

// One channel of interleaved samples.
inline std::vector<double> Channel(const std::vector<std::int16_t> &interleaved, int channels,
                                   int channel, std::size_t first = 0,
                                   std::size_t count = SIZE_MAX) {
    std::vector<double> out;
    for (std::size_t frame = first;
         frame * channels + channel < interleaved.size() && out.size() < count; ++frame)
        out.push_back(interleaved[frame * channels + channel] / 32768.0);
    return out;
}

// Frequency from upward zero crossings: crossings between the first and last, over their time.
inline double ZeroCrossingFrequency(const std::vector<double> &signal, double rate) {
    std::ptrdiff_t first = -1;
    std::ptrdiff_t last = -1;
    int crossings = 0;
    for (std::size_t i = 1; i < signal.size(); ++i)
        if (signal[i - 1] < 0.0 && signal[i] >= 0.0) {
            if (first < 0)
                first = static_cast<std::ptrdiff_t>(i);
            else
                ++crossings;
            last = static_cast<std::ptrdiff_t>(i);
        }
    if (crossings == 0)
        return 0.0;
    return crossings * rate / static_cast<double>(last - first);
}

inline double Peak(const std::vector<double> &signal) {
    double peak = 0.0;
    for (double v : signal)
        peak = std::max(peak, std::abs(v));
    return peak;
}

inline double Rms(const std::vector<double> &signal) {
    if (signal.empty())
        return 0.0;
    double sum = 0.0;
    for (double v : signal)
        sum += v * v;
    return std::sqrt(sum / static_cast<double>(signal.size()));
}

// Largest step between neighbouring samples: a click shows as a step well above the signal's own.
inline double LargestStep(const std::vector<double> &signal) {
    double step = 0.0;
    for (std::size_t i = 1; i < signal.size(); ++i)
        step = std::max(step, std::abs(signal[i] - signal[i - 1]));
    return step;
}

} // namespace audio_test
