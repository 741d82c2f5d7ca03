// Writes a steady sine, half of full scale on every channel, as a 16-bit PCM WAV file: a tone
// to play into a sound server.
//
// Usage: tone_wav PATH SECONDS FREQUENCY_HZ [RATE [CHANNELS]]   (44100 Hz, 2 channels unless told)
// Exit: 0 written, 1 bad arguments or the file could not be written.
#include "fakes/TestSignal.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

namespace {

bool ParseNumber(const char* text, double& value)
{
    char* last = nullptr;
    value = std::strtod(text, &last);
    return last != text && *last == '\0' && std::isfinite(value);
}

void Put16(std::string& out, uint32_t v)
{
    out += static_cast<char>(v & 0xff);
    out += static_cast<char>((v >> 8) & 0xff);
}

void Put32(std::string& out, uint32_t v)
{
    Put16(out, v & 0xffff);
    Put16(out, v >> 16);
}

int Usage(const char* why)
{
    std::fprintf(stderr, "tone_wav: %s\nusage: tone_wav PATH SECONDS FREQUENCY_HZ [RATE [CHANNELS]]\n", why);
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 4 || argc > 6)
        return Usage("expected 3 to 5 arguments");
    double seconds = 0, frequency = 0, rate = 44100, channels = 2;
    if (!ParseNumber(argv[2], seconds) || seconds <= 0 || seconds > 3600)
        return Usage("SECONDS must be above 0 and at most 3600");
    if (!ParseNumber(argv[3], frequency) || frequency <= 0)
        return Usage("FREQUENCY_HZ must be above 0");
    if (argc > 4 && (!ParseNumber(argv[4], rate) || rate < 8000 || rate > 192000 || rate != std::floor(rate)))
        return Usage("RATE must be a whole number from 8000 to 192000");
    if (argc > 5 && (!ParseNumber(argv[5], channels) || (channels != 1 && channels != 2)))
        return Usage("CHANNELS must be 1 or 2");
    if (frequency >= rate / 2)
        return Usage("FREQUENCY_HZ must be below half the rate");

    const int r = static_cast<int>(rate), c = static_cast<int>(channels);
    const std::vector<int16_t> samples = fakes::MakeSine(r, c, seconds, frequency, 0.5);
    const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);

    std::string file;
    file.reserve(44 + dataBytes);
    file += "RIFF";
    Put32(file, 36 + dataBytes);
    file += "WAVEfmt ";
    Put32(file, 16);
    Put16(file, 1); // PCM
    Put16(file, c);
    Put32(file, r);
    Put32(file, r * c * 2);
    Put16(file, c * 2);
    Put16(file, 16);
    file += "data";
    Put32(file, dataBytes);
    for (int16_t s : samples)
        Put16(file, static_cast<uint16_t>(s));

    std::ofstream out(argv[1], std::ios::binary | std::ios::trunc);
    out.write(file.data(), static_cast<std::streamsize>(file.size()));
    out.close();
    if (!out) {
        std::fprintf(stderr, "tone_wav: could not write '%s'\n", argv[1]);
        return 1;
    }
    return 0;
}
