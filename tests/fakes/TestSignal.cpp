#include "TestSignal.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <numbers>
#include <numeric>
#include <stdexcept>
#include <utility>

namespace fakes {
namespace {

constexpr double kFullScale = 32767.0;
constexpr double kTwoPi = 2 * std::numbers::pi;

// One channel of the stretch, as fractions of full scale.
std::vector<double> Stretch(const std::vector<int16_t>& interleaved, int channels, int channel, size_t firstFrame,
                            size_t frameCount)
{
    if (channels <= 0 || channel < 0 || channel >= channels)
        throw std::out_of_range("channel " + std::to_string(channel) + " of " + std::to_string(channels));
    const size_t frames = interleaved.size() / channels;
    const size_t first = std::min(firstFrame, frames);
    std::vector<double> out(std::min(frameCount, frames - first));
    for (size_t i = 0; i < out.size(); ++i)
        out[i] = interleaved[(first + i) * channels + channel] / kFullScale;
    return out;
}

} // namespace

std::vector<int16_t> MakeSine(int rate, int channels, double seconds, double frequencyHz, double amplitude,
                              double rightFrequencyHz)
{
    const auto frames = static_cast<size_t>(std::llround(seconds * rate));
    std::vector<int16_t> out(frames * channels);
    for (int c = 0; c < channels; ++c) {
        const double step = kTwoPi * (c == 1 && rightFrequencyHz > 0 ? rightFrequencyHz : frequencyHz) / rate;
        for (size_t n = 0; n < frames; ++n) {
            const double v = std::round(amplitude * kFullScale * std::sin(step * static_cast<double>(n)));
            out[n * channels + c] = static_cast<int16_t>(std::clamp(v, -32768.0, kFullScale));
        }
    }
    return out;
}

namespace {
std::string LittleEndian(uint32_t value, int bytes)
{
    std::string out;
    for (int i = 0; i < bytes; ++i)
        out += static_cast<char>((value >> (8 * i)) & 0xff);
    return out;
}

std::string PcmBytes(const std::vector<int16_t>& interleaved)
{
    std::string bytes;
    bytes.reserve(interleaved.size() * 2);
    for (int16_t s : interleaved)
        bytes += LittleEndian(static_cast<uint16_t>(s), 2);
    return bytes;
}

void WriteBytes(const std::string& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out.write(bytes.data(), static_cast<std::streamsize>(bytes.size())).flush())
        throw std::runtime_error("cannot write " + path);
}
} // namespace

void WriteRawPcm(const std::string& path, const std::vector<int16_t>& interleaved)
{
    WriteBytes(path, PcmBytes(interleaved));
}

void WriteWav(const std::string& path, int rate, int channels, const std::vector<int16_t>& interleaved)
{
    const auto r = static_cast<uint32_t>(rate);
    const auto c = static_cast<uint32_t>(channels);
    const std::string data = PcmBytes(interleaved);
    const std::string chunks = "fmt " + LittleEndian(16, 4) + LittleEndian(1, 2) + LittleEndian(c, 2) +
        LittleEndian(r, 4) + LittleEndian(r * c * 2, 4) + LittleEndian(c * 2, 2) + LittleEndian(16, 2) + "data" +
        LittleEndian(static_cast<uint32_t>(data.size()), 4) + data;
    WriteBytes(path, "RIFF" + LittleEndian(static_cast<uint32_t>(4 + chunks.size()), 4) + "WAVE" + chunks);
}

double ToneLevel(const std::vector<int16_t>& interleaved, int channels, int channel, int rate, double frequencyHz,
                 size_t firstFrame, size_t frameCount)
{
    const auto x = Stretch(interleaved, channels, channel, firstFrame, frameCount);
    if (x.size() < 2)
        return 0.0;
    const double coeff = 2 * std::cos(kTwoPi * frequencyHz / rate);
    double s1 = 0, s2 = 0, windowSum = 0;
    for (size_t n = 0; n < x.size(); ++n) {
        const double w = 0.5 - 0.5 * std::cos(kTwoPi * static_cast<double>(n) / static_cast<double>(x.size() - 1));
        windowSum += w;
        s2 = std::exchange(s1, w * x[n] + coeff * s1 - s2);
    }
    return 2 * std::sqrt(std::max(0.0, s1 * s1 + s2 * s2 - coeff * s1 * s2)) / windowSum;
}

double DominantFrequency(const std::vector<int16_t>& interleaved, int channels, int channel, int rate,
                         size_t firstFrame, size_t frameCount)
{
    auto x = Stretch(interleaved, channels, channel, firstFrame, frameCount);
    const double mean = std::accumulate(x.begin(), x.end(), 0.0) / static_cast<double>(x.size());
    double peak = 0;
    for (double& v : x)
        peak = std::max(peak, std::abs(v -= mean));
    bool armed = false; // the signal went clearly negative since the last crossing
    double first = 0, last = 0;
    size_t crossings = 0;
    for (size_t n = 1; n < x.size(); ++n) {
        armed = armed || x[n - 1] < -0.1 * peak;
        if (armed && x[n - 1] < 0 && x[n] >= 0) {
            last = static_cast<double>(n - 1) + x[n - 1] / (x[n - 1] - x[n]);
            first = crossings++ == 0 ? last : first;
            armed = false;
        }
    }
    return crossings >= 3 ? static_cast<double>(crossings - 1) * rate / (last - first) : 0.0;
}

int16_t PeakMagnitude(const std::vector<int16_t>& interleaved, int channels, int channel, size_t firstFrame,
                      size_t frameCount)
{
    double peak = 0;
    for (double v : Stretch(interleaved, channels, channel, firstFrame, frameCount))
        peak = std::max(peak, std::abs(v));
    return static_cast<int16_t>(std::lround(std::min(peak, 1.0) * kFullScale));
}

} // namespace fakes
