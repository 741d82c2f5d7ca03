// Follows a recording of the sink's monitor through the file that was played. The recording is
// cut into runs, each a stretch that holds the file unbroken at one offset, and sound that is no
// part of the file. A short window of a tone resembles its neighbours a few periods away, so a
// position is found over a longer stretch: the correlation of 93 ms with the whole file proposes
// candidates, and the one that matches best over 0.4 s wins.
//
// The verdict: the first run starts at the file's start, each later run starts where a seek or
// a resume said it would, and nothing else breaks the runs (a silence with the file going on
// after it is a gap, the file going back a repeat, forward a skip); the last run reaches the
// file's end, and nothing sounds that is not the file. Around a pause the sound heard before it
// must reach the position the window kept, and may run past it by what was queued (16
// buffers): that much is heard again after Resume. Silent holes within a run, the timeline going
// on unbroken, are counted but pass while each is shorter than a buffer.
#include "FollowPlayback.h"

#include "fakes/DecodedAudio.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <numbers>
#include <string>
#include <vector>

namespace {

constexpr int Rate = 44100;
constexpr size_t Window = 1024;        // frames: the grain of the map, 23 ms
constexpr size_t Fine = 128;           // frames: the grain of a run's edges, 2.9 ms
constexpr size_t Probe = 4096;         // frames correlated with the whole file
constexpr size_t Check = Rate * 2 / 5; // frames over which the candidates are told apart
constexpr size_t Candidates = 16;
constexpr double Quiet = 0.01 * 32767; // RMS below which the recording is silent
// The monitor may miss the first frames of a stream: PulseAudio rewinds the sink to start it at
// once, over silence that its recorder has already taken.
constexpr double StartSlackMs = 12;
constexpr double EdgeMs = 3; // a run's edges are found to a Fine block
constexpr double LengthSlackMs = 50;
constexpr double QueueMs = 16 * 2048 * 1000.0 / Rate; // what the player keeps queued: 743 ms
// A silent hole that leaves the timeline unbroken is the server's: it missed a period's deadline
// (without real-time scheduling, while other work holds the cores). Sound that the output failed
// to deliver in time comes later instead, and moves what follows. Shorter than one buffer, so
// that a buffer played as silence still fails; a fiftieth of the sound in all.
constexpr double MaxHoleMs = (2048 - 64) * 1000.0 / Rate;
constexpr double MaxHoles = 0.02;

double Ms(double frames)
{
    return 1000.0 * frames / Rate;
}

double Sec(double frames)
{
    return frames / Rate;
}

struct Audio {
    std::vector<int16_t> s; // stereo, interleaved
    size_t Frames() const { return s.size() / 2; }
    // Linear between frames, silence outside.
    double At(double frame, int ch) const
    {
        if (frame < 0)
            return 0;
        const auto whole = static_cast<size_t>(frame);
        if (whole >= Frames())
            return 0;
        const double a = s[2 * whole + ch];
        const double b = whole + 1 < Frames() ? s[2 * (whole + 1) + ch] : 0;
        return a + (b - a) * (frame - static_cast<double>(whole));
    }
};

struct Stretch {
    size_t from, to; // recording frames
};

// A stretch of the recording that holds the file unbroken: recording frame r is file frame
// r - offset (a fraction of a frame too: a server that resamples delays by part of a frame).
struct Run {
    size_t from = 0, to = 0; // recording frames
    double offset = 0;
    std::vector<Stretch> holes; // silent where the file sounds, the timeline going on unbroken
    double FileFrom() const { return static_cast<double>(from) - offset; }
    double FileTo() const { return static_cast<double>(to) - offset; }
};

// The recording's difference from the file over n frames from `from`, a fraction of the file's
// level there; infinite where the file has no sound.
double Difference(const Audio& rec, size_t from, size_t n, const Audio& file, double offset)
{
    double error = 0, level = 0;
    const size_t to = std::min(from + n, rec.Frames());
    for (size_t k = from; k < to; ++k)
        for (int ch = 0; ch < 2; ++ch) {
            const double want = file.At(static_cast<double>(k) - offset, ch), got = rec.s[2 * k + ch];
            error += (got - want) * (got - want);
            level += want * want;
        }
    return level > 0 ? std::sqrt(error / level) : HUGE_VAL;
}

bool Loud(const Audio& rec, size_t from, size_t n)
{
    double sum = 0;
    const size_t to = std::min(from + n, rec.Frames());
    for (size_t k = 2 * from; k < 2 * to; ++k)
        sum += static_cast<double>(rec.s[k]) * rec.s[k];
    return to > from && std::sqrt(sum / (2.0 * static_cast<double>(to - from))) >= Quiet;
}

using Complex = std::complex<double>;

// In place; twiddles: exp(-2 pi i k / a.size()) for k below half of it.
void Fft(std::vector<Complex>& a, const std::vector<Complex>& twiddles, bool inverse)
{
    const size_t n = a.size();
    for (size_t i = 1, j = 0; i < n; ++i) {
        size_t bit = n >> 1;
        for (; j & bit; bit >>= 1)
            j ^= bit;
        j ^= bit;
        if (i < j)
            std::swap(a[i], a[j]);
    }
    for (size_t len = 2; len <= n; len <<= 1) {
        const size_t stride = n / len;
        for (size_t i = 0; i < n; i += len)
            for (size_t k = 0; k < len / 2; ++k) {
                const Complex w = inverse ? std::conj(twiddles[k * stride]) : twiddles[k * stride];
                const Complex u = a[i + k], v = a[i + k + len / 2] * w;
                a[i + k] = u + v;
                a[i + k + len / 2] = u - v;
            }
    }
}

// Where a stretch of the recording lies in the file. Both channels at once: left as the real
// part, right as the imaginary, so that the real part of the correlation sums the two.
class Locator {
public:
    explicit Locator(const Audio& file)
        : file_(file)
    {
        while (size_ < file.Frames() + 2 * Probe)
            size_ <<= 1;
        twiddles_.resize(size_ / 2);
        for (size_t k = 0; k < size_ / 2; ++k)
            twiddles_[k] = std::polar(1.0, -2 * std::numbers::pi * static_cast<double>(k) / static_cast<double>(size_));
        spectrum_.assign(size_, 0);
        energy_.assign(file.Frames() + 1, 0);
        for (size_t k = 0; k < file.Frames(); ++k) {
            spectrum_[k] = Complex(file.s[2 * k], file.s[2 * k + 1]);
            energy_[k + 1] = energy_[k] + std::norm(spectrum_[k]);
        }
        Fft(spectrum_, twiddles_, false);
    }

    // The offset at which the recording from `from` on, over `span` frames, holds the file best.
    double Find(const Audio& rec, size_t from, size_t span) const
    {
        const size_t n = std::min(Probe, span);
        std::vector<Complex> c(size_, 0);
        for (size_t m = 0; m < n && from + m < rec.Frames(); ++m)
            c[m] = Complex(rec.s[2 * (from + m)], rec.s[2 * (from + m) + 1]);
        Fft(c, twiddles_, false);
        for (size_t k = 0; k < size_; ++k)
            c[k] = std::conj(c[k]) * spectrum_[k];
        Fft(c, twiddles_, true);
        // Lags from half a probe before the file's start, for a recording that starts early.
        const auto frames = static_cast<long>(file_.Frames());
        const long first = -static_cast<long>(n / 2);
        std::vector<double> score(static_cast<size_t>(frames - first), 0);
        for (long lag = first; lag < frames; ++lag) {
            const auto begin = static_cast<size_t>(std::max(0L, lag));
            const auto end = static_cast<size_t>(std::clamp(lag + static_cast<long>(n), 0L, frames));
            const double energy = end > begin ? energy_[end] - energy_[begin] : 0;
            const size_t index = static_cast<size_t>(lag + static_cast<long>(size_)) % size_;
            score[static_cast<size_t>(lag - first)] = energy > 0 ? c[index].real() / std::sqrt(energy) : 0;
        }
        std::vector<size_t> peaks;
        for (size_t i = 1; i + 1 < score.size(); ++i)
            if (score[i] > 0 && score[i] >= score[i - 1] && score[i] > score[i + 1])
                peaks.push_back(i);
        const size_t keep = std::min(Candidates, peaks.size());
        std::partial_sort(peaks.begin(), peaks.begin() + static_cast<long>(keep), peaks.end(),
            [&](size_t a, size_t b) { return score[a] > score[b]; });
        peaks.resize(keep);

        const size_t judged = std::min(span, Check);
        double best = HUGE_VAL, offset = 0;
        for (const size_t peak : peaks) {
            const double candidate = static_cast<double>(from) - static_cast<double>(static_cast<long>(peak) + first);
            if (const double d = Difference(rec, from, judged, file_, candidate); d < best)
                best = d, offset = candidate;
        }
        // A part of a frame: the vertex of the squared difference through the neighbours.
        const double before = std::pow(Difference(rec, from, judged, file_, offset - 1), 2);
        const double after = std::pow(Difference(rec, from, judged, file_, offset + 1), 2);
        const double curve = before - 2 * best * best + after;
        if (std::isfinite(curve) && curve > 0)
            offset += std::clamp(0.5 * (before - after) / curve, -1.0, 1.0);
        return offset;
    }

private:
    const Audio& file_;
    size_t size_ = 1;
    std::vector<Complex> twiddles_;
    std::vector<Complex> spectrum_;
    std::vector<double> energy_; // prefix sums of the file's squared samples
};

struct Map {
    std::vector<Run> runs;
    std::vector<Stretch> strange; // sound that is no part of the file
};

// Builds the map in steps: windows that match, their edges to the frame, the sound left over,
// the short pieces of it found near the runs, and runs that one hole parts joined again.
class Mapper {
public:
    Mapper(const Audio& rec, const Audio& file, double maxError)
        : rec_(rec)
        , file_(file)
        , maxError_(maxError)
    {
        for (const int16_t v : file.s)
            level_ += static_cast<double>(v) * v;
        level_ = std::sqrt(level_ / static_cast<double>(std::max<size_t>(1, file.s.size())));
    }

    Map Build()
    {
        Windows();
        Edges();
        Join();
        Leftovers();
        Place();
        Join();
        Leftovers();
        return map_;
    }

private:
    // A server that resamples turns a step into ripples for a few frames.
    static constexpr size_t Ringing = 16; // frames

    // Frame `at` of the recording is the file's at this offset, to three times the mean
    // difference that a window may have.
    bool Fits(size_t at, double offset) const
    {
        const double f = static_cast<double>(at) - offset;
        if (f <= -1 || f >= static_cast<double>(file_.Frames()))
            return false;
        const double allowed = 3 * maxError_ * level_;
        return std::abs(rec_.s[2 * at] - file_.At(f, 0)) <= allowed
            && std::abs(rec_.s[2 * at + 1] - file_.At(f, 1)) <= allowed;
    }

    bool LoudFrame(size_t at) const { return std::abs(rec_.s[2 * at]) >= Quiet || std::abs(rec_.s[2 * at + 1]) >= Quiet; }

    bool Matches(size_t at, size_t n, double offset, double slack = 1) const
    {
        return Difference(rec_, at, n, file_, offset) <= slack * maxError_;
    }

    // Window by window: a run goes on while its offset matches; elsewhere the file is searched.
    void Windows()
    {
        const Locator locator(file_);
        bool open = false;
        for (size_t pos = 0; pos + Window <= rec_.Frames(); pos += Window) {
            if (!Loud(rec_, pos, Window)) {
                open = false;
                continue;
            }
            if (open && Matches(pos, Window, map_.runs.back().offset)) {
                map_.runs.back().to = pos + Window;
                continue;
            }
            open = false;
            size_t span = Window;
            while (span < Check && pos + span + Window <= rec_.Frames() && Loud(rec_, pos + span, Window))
                span += Window;
            double offset = locator.Find(rec_, pos, span);
            // A stretch shorter than the span (a moved buffer) is found by the window alone.
            if (span > Window && !Matches(pos, Window, offset))
                offset = locator.Find(rec_, pos, Window);
            if (Matches(pos, Window, offset)) {
                map_.runs.push_back({pos, pos + Window, offset, {}});
                open = true;
            }
        }
    }

    // By Fine blocks, then by frames up to where the sound stops or turns into something else,
    // never past a neighbour.
    void Edges()
    {
        for (size_t i = 0; i < map_.runs.size(); ++i) {
            Run& run = map_.runs[i];
            const size_t lower = i > 0 ? map_.runs[i - 1].to : 0;
            const size_t upper = i + 1 < map_.runs.size() ? map_.runs[i + 1].from : rec_.Frames();
            while (run.from >= lower + Fine && Matches(run.from - Fine, Fine, run.offset, 1.5))
                run.from -= Fine;
            while (run.to + Fine <= upper && Matches(run.to, Fine, run.offset, 1.5))
                run.to += Fine;
            for (size_t n = 0; n < Fine && run.from > lower && Fits(run.from - 1, run.offset); ++n)
                --run.from;
            for (size_t n = 0; n < Fine && run.to < upper && Fits(run.to, run.offset); ++n)
                ++run.to;
            while (run.from < run.to && (!LoudFrame(run.from) || !Fits(run.from, run.offset)))
                ++run.from;
            while (run.to > run.from && (!LoudFrame(run.to - 1) || !Fits(run.to - 1, run.offset)))
                --run.to;
        }
        std::erase_if(map_.runs, [](const Run& run) { return run.to <= run.from; });
    }

    // Runs at one offset with the file or silence between them are one, with holes.
    void Join()
    {
        for (size_t i = 1; i < map_.runs.size();) {
            Run &a = map_.runs[i - 1], &b = map_.runs[i];
            std::vector<char> kind; // 'f' fits the file, 's' silent, 'o' other sound
            for (size_t at = a.to; at < b.from; ++at)
                kind.push_back(Fits(at, a.offset) ? 'f' : LoudFrame(at) ? 'o' : 's');
            bool same = std::abs(a.offset - b.offset) <= 1;
            for (size_t k = 0; same && k < kind.size(); ++k) {
                if (kind[k] != 'o')
                    continue;
                const size_t from = k > Ringing ? k - Ringing : 0, to = std::min(kind.size(), k + Ringing + 1);
                same = std::find(kind.begin() + static_cast<long>(from), kind.begin() + static_cast<long>(to), 's')
                    != kind.begin() + static_cast<long>(to);
            }
            if (!same) {
                ++i;
                continue;
            }
            for (size_t k = 0; k < kind.size(); ++k) {
                if (kind[k] == 'f')
                    continue;
                // A stretch of the file that is quiet itself (a zero crossing) does not end a hole.
                if (!a.holes.empty() && a.holes.back().to + 2 * Ringing >= a.to + k)
                    a.holes.back().to = a.to + k + 1;
                else
                    a.holes.push_back({a.to + k, a.to + k + 1});
            }
            a.holes.insert(a.holes.end(), b.holes.begin(), b.holes.end());
            a.to = b.to;
            map_.runs.erase(map_.runs.begin() + static_cast<long>(i));
        }
    }

    // What sounds between the runs, by Fine blocks from where each run ends, trimmed to its
    // loud frames.
    void Leftovers()
    {
        map_.strange.clear();
        for (size_t i = 0; i <= map_.runs.size(); ++i) {
            const size_t from = i > 0 ? map_.runs[i - 1].to : 0;
            const size_t to = i < map_.runs.size() ? map_.runs[i].from : rec_.Frames();
            for (size_t at = from; at < to; at += Fine) {
                const size_t end = std::min(to, at + Fine);
                size_t loud = 0;
                for (size_t k = at; k < end; ++k)
                    loud += LoudFrame(k);
                // A frame or two of a cut-off run's edge is not sound of its own.
                if (loud < Fine / 16 || !Loud(rec_, at, end - at))
                    continue;
                if (!map_.strange.empty() && map_.strange.back().to == at)
                    map_.strange.back().to = end;
                else
                    map_.strange.push_back({at, end});
            }
        }
        for (Stretch& s : map_.strange) {
            while (s.from < s.to && !LoudFrame(s.from))
                ++s.from;
            while (s.to > s.from && !LoudFrame(s.to - 1))
                --s.to;
        }
    }

    // Sound too short for a window (a server's period moved in time) is looked for within 50 ms
    // of the offsets of the runs near it, its ringing edges left out.
    void Place()
    {
        constexpr long Near = Rate / 20;
        for (const Stretch& s : map_.strange) {
            const size_t from = s.from + Ringing, n = s.to - s.from - std::min(s.to - s.from, 2 * Ringing);
            double best = HUGE_VAL, offset = 0;
            for (const Run& run : map_.runs) {
                if (n < Fine || n >= 2 * Window || run.to + Check < s.from || run.from > s.to + Check)
                    continue;
                for (long d = -Near; d <= Near; ++d)
                    if (const double e = Difference(rec_, from, n, file_, run.offset + static_cast<double>(d)); e < best)
                        best = e, offset = run.offset + static_cast<double>(d);
            }
            if (best <= maxError_)
                map_.runs.push_back({s.from, s.to, offset, {}});
        }
        std::sort(map_.runs.begin(), map_.runs.end(), [](const Run& a, const Run& b) { return a.from < b.from; });
    }

    const Audio& rec_;
    const Audio& file_;
    const double maxError_;
    double level_ = 0; // the file's RMS
    Map map_;
};

struct Event {
    std::string what; // "seek" or "resume"
    double ms = 0;
};

bool ReadRaw(const char* path, Audio& audio)
{
    std::ifstream raw(path, std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(raw), std::istreambuf_iterator<char>()};
    audio.s.resize(bytes.size() / 4 * 2);
    std::memcpy(audio.s.data(), bytes.data(), audio.s.size() * 2);
    return raw.good() || raw.eof();
}

// A break between two runs that nothing explains, said as a listener hears it. noise: other
// sound lies between them.
void SayBreak(const Run& a, const Run& b, bool noise)
{
    const double end = Ms(a.FileTo()), start = Ms(b.FileFrom()), between = Ms(static_cast<double>(b.from - a.to));
    const double jump = start - end, where = Sec(static_cast<double>(a.to));
    const char* what = noise ? "other sound" : "silence";
    if (between > EdgeMs && std::abs(jump - between) <= EdgeMs)
        std::fprintf(stderr, "check_playback: a hole: the file from %.3f s to %.3f s (%.1f ms) is %s at recording %.3f s\n",
            end / 1000, start / 1000, jump, what, where);
    else if (std::abs(jump) <= EdgeMs)
        std::fprintf(stderr, "check_playback: a gap: %.1f ms of %s at file %.3f s (recording %.3f s)\n", between, what,
            end / 1000, where);
    else if (jump < 0)
        std::fprintf(stderr, "check_playback: a repeat: at recording %.3f s the file goes back from %.3f s to %.3f s "
                             "(%.1f ms heard twice; %.1f ms of %s between)\n",
            where, end / 1000, start / 1000, -jump, between, what);
    else
        std::fprintf(stderr, "check_playback: a skip: at recording %.3f s the file jumps from %.3f s to %.3f s "
                             "(%.1f ms never heard; %.1f ms of %s between)\n",
            where, end / 1000, start / 1000, jump, between, what);
}

constexpr size_t Said = 12; // runs, stretches and breaks told one by one; the rest counted

void SayRuns(const Map& map, const Audio& rec, const Audio& file)
{
    for (size_t i = 0; i < map.runs.size() && i < Said; ++i) {
        const Run& run = map.runs[i];
        std::printf("check_playback: recording %.4f-%.4f s holds the file %.4f-%.4f s (difference %.3f)\n",
            Sec(static_cast<double>(run.from)), Sec(static_cast<double>(run.to)), Sec(run.FileFrom()),
            Sec(run.FileTo()), Difference(rec, run.from, run.to - run.from, file, run.offset));
    }
    if (map.runs.size() > Said)
        std::printf("check_playback: and %zu stretches more\n", map.runs.size() - Said);
}

// Nothing sounds that is not the file, and the holes are the server's.
bool JudgeSound(const Map& map)
{
    bool good = true;
    double strange = 0;
    for (size_t i = 0; i < map.strange.size(); ++i) {
        const Stretch& s = map.strange[i];
        strange += Ms(static_cast<double>(s.to - s.from));
        if (i < Said)
            std::fprintf(stderr, "check_playback: recording %.4f-%.4f s sounds, and is no part of the file\n",
                Sec(static_cast<double>(s.from)), Sec(static_cast<double>(s.to)));
    }
    if (strange > 0) {
        std::fprintf(stderr, "check_playback: %.1f ms of sound in all that is not the file\n", strange);
        good = false;
    }
    double holes = 0, longest = 0, sounded = 0;
    size_t count = 0;
    for (const Run& run : map.runs) {
        sounded += Ms(static_cast<double>(run.to - run.from));
        for (const Stretch& h : run.holes) {
            const double ms = Ms(static_cast<double>(h.to - h.from));
            holes += ms;
            longest = std::max(longest, ms);
            if (count++ < Said)
                std::printf("check_playback: a hole: the file from %.4f s (%.1f ms) is silent at recording %.4f s\n",
                    Sec(static_cast<double>(h.from) - run.offset), ms, Sec(static_cast<double>(h.from)));
        }
    }
    if (count > 0)
        std::printf("check_playback: %zu silent holes, %.1f ms in all, the longest %.1f ms\n", count, holes, longest);
    if (longest > MaxHoleMs || holes > MaxHoles * sounded) {
        std::fprintf(stderr, "check_playback: sound missing: %zu silent holes, %.1f ms in all, the longest %.1f ms\n",
            count, holes, longest);
        good = false;
    }
    return good;
}

// One break that a seek or a resume explains.
bool JudgeMove(const Run& a, const Run& b, const Event& e)
{
    bool good = true;
    const double end = Ms(a.FileTo()), next = Ms(b.FileFrom()), off = next - e.ms;
    std::printf("check_playback: %s to %.0f ms: the sound before ends at file %.1f ms, goes on after %.1f ms at "
                "file %.1f ms (%+.1f ms)\n",
        e.what.c_str(), e.ms, end, Ms(static_cast<double>(b.from - a.to)), next, off);
    if (off < -EdgeMs || off > StartSlackMs) {
        std::fprintf(stderr, "check_playback: after the %s to %.0f ms the sound went on at file %.1f ms (%+.1f ms)\n",
            e.what.c_str(), e.ms, next, off);
        good = false;
    }
    if (e.what != "resume")
        return good;
    if (end - e.ms < -EdgeMs) {
        std::fprintf(stderr, "check_playback: the file from %.1f to %.0f ms was never heard: the sound stopped "
                             "before the position kept at the pause\n",
            end, e.ms);
        good = false;
    } else if (end - e.ms > QueueMs + EdgeMs) {
        std::fprintf(stderr, "check_playback: %.1f ms heard again after the resume, more than the %.0f ms queued\n",
            end - e.ms, QueueMs);
        good = false;
    }
    return good;
}

// Each seek or resume explains the break after which the file goes on nearest to where it
// should, in order; every other break is a fault.
bool JudgeBreaks(const Map& map, const std::vector<Event>& events)
{
    bool good = true;
    std::vector<const Event*> explained(map.runs.size() - 1, nullptr);
    size_t next = 0;
    for (const Event& e : events) {
        size_t best = explained.size();
        for (size_t i = next; i < explained.size(); ++i)
            if (best == explained.size()
                || std::abs(Ms(map.runs[i + 1].FileFrom()) - e.ms) < std::abs(Ms(map.runs[best + 1].FileFrom()) - e.ms))
                best = i;
        if (best == explained.size()) {
            std::fprintf(stderr, "check_playback: no sound went on after the %s to %.0f ms\n", e.what.c_str(), e.ms);
            good = false;
            continue;
        }
        explained[best] = &e;
        next = best + 1;
    }
    size_t breaks = 0;
    for (size_t i = 0; i < explained.size(); ++i) {
        const Run &a = map.runs[i], &b = map.runs[i + 1];
        if (explained[i]) {
            good = JudgeMove(a, b, *explained[i]) && good;
            continue;
        }
        if (++breaks <= Said)
            SayBreak(a, b, std::any_of(map.strange.begin(), map.strange.end(),
                               [&](const Stretch& s) { return s.from < b.from && s.to > a.to; }));
        good = false;
    }
    if (breaks > Said)
        std::fprintf(stderr, "check_playback: and %zu breaks more\n", breaks - Said);
    return good;
}

// The sound begins at the file's start and ends at its end; played through without a move, it
// lasts as long as the file.
bool JudgeEnds(const Map& map, const Audio& rec, const Audio& file, bool through)
{
    bool good = true;
    const double start = Ms(map.runs.front().FileFrom());
    if (start < -EdgeMs || start > StartSlackMs) {
        std::fprintf(stderr, "check_playback: the sound begins at file %.1f ms, not at its start\n", start);
        good = false;
    }
    const double fileMs = Ms(static_cast<double>(file.Frames())), end = Ms(map.runs.back().FileTo());
    if (end < fileMs - LengthSlackMs) {
        std::fprintf(stderr, "check_playback: the sound stops at file %.1f ms, %.1f ms before its end\n", end,
            fileMs - end);
        good = false;
    }
    if (!through)
        return good;
    size_t first = 0, last = rec.Frames();
    while (first < last && !Loud(rec, first, 1))
        ++first;
    while (last > first && !Loud(rec, last - 1, 1))
        --last;
    const double sounding = Ms(static_cast<double>(last - first));
    std::printf("check_playback: %.1f ms sound, the file is %.1f ms\n", sounding, fileMs);
    if (std::abs(sounding - fileMs) > LengthSlackMs) {
        std::fprintf(stderr, "check_playback: %.1f ms sound for a file of %.1f ms\n", sounding, fileMs);
        good = false;
    }
    return good;
}

} // namespace

int FollowPlayback(int argc, char** argv)
{
    std::vector<Event> events;
    for (int i = 3; i < argc; ++i) {
        const std::string arg = argv[i];
        const size_t colon = arg.find(':');
        if (colon == std::string::npos || (arg.substr(0, colon) != "seek" && arg.substr(0, colon) != "resume"))
            return 2;
        events.push_back({arg.substr(0, colon), std::atof(arg.c_str() + colon + 1)});
    }
    const double maxError = argc >= 3 ? std::atof(argv[2]) : 0;
    if (argc < 3 || !(maxError > 0))
        return 2;
    Audio rec, file;
    const fakes::DecodedAudio decoded = fakes::DecodeAudioFile(argv[1]);
    if (!ReadRaw(argv[0], rec) || rec.s.empty() || !decoded.ok || decoded.rate != Rate || decoded.channels != 2) {
        std::fprintf(stderr, "check_playback: no recording, or the file is not 44100 Hz stereo: %s\n",
            decoded.error.c_str());
        return 1;
    }
    file.s = decoded.samples;
    const Map map = Mapper(rec, file, maxError).Build();
    SayRuns(map, rec, file);
    if (map.runs.empty()) {
        std::fprintf(stderr, "check_playback: nothing in the recording is the file%s\n",
            map.strange.empty() ? " (it is silent)" : "");
        return 1;
    }
    const bool sound = JudgeSound(map), breaks = JudgeBreaks(map, events);
    const bool ends = JudgeEnds(map, rec, file, events.empty());
    return sound && breaks && ends ? 0 : 1;
}
