#pragma once
// Test tones and measurements on 16-bit interleaved audio. Levels are fractions of full scale
// (32767). A stretch is frameCount frames from firstFrame, cut at the end of the samples
// (SIZE_MAX: to the end). A channel outside 0..channels-1 throws std::out_of_range.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace fakes {

// A sine on every channel; with rightFrequencyHz > 0 channel 1 carries that one instead.
std::vector<int16_t> MakeSine(int rate, int channels, double seconds, double frequencyHz, double amplitude,
                              double rightFrequencyHz = 0);
// The samples as little-endian 16-bit words, nothing else; throws std::runtime_error on failure.
void WriteRawPcm(const std::string& path, const std::vector<int16_t>& interleaved);
// A 16-bit PCM WAV file of the samples; throws std::runtime_error on failure.
void WriteWav(const std::string& path, int rate, int channels, const std::vector<int16_t>& interleaved);
// Amplitude of one frequency (Goertzel filter, Hann window); about 0 for a tone well away.
double ToneLevel(const std::vector<int16_t>& interleaved, int channels, int channel, int rate, double frequencyHz,
                 size_t firstFrame, size_t frameCount);
// Fundamental from rising zero crossings (with hysteresis); 0 below two whole cycles.
double DominantFrequency(const std::vector<int16_t>& interleaved, int channels, int channel, int rate,
                         size_t firstFrame, size_t frameCount);
// Largest |sample| in the stretch; -32768 counts as 32767.
int16_t PeakMagnitude(const std::vector<int16_t>& interleaved, int channels, int channel, size_t firstFrame,
                      size_t frameCount);

} // namespace fakes
