// The renderer's whole loop in process, as `orlantix-render` runs it: the plug-in built beside
// it loaded through our host library, a factory preset, 1/32 pulses at 48 kHz in blocks of
// 128 and 512 frames, the event listing written out. Each iteration renders ten minutes;
// "audio_seconds" is the audio rendered per second of CPU time (5000/s: an hour in 0.72 s).

#include "Renderer.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <string>

namespace
{

constexpr double kSeconds = 600.0;

struct FileCloser
{
    void operator()(std::FILE* file) const noexcept { std::fclose(file); }
};

void BM_RenderTenMinutes(benchmark::State& state)
{
    orxrender::RenderOptions options;
    options.mPlugin = ORX_BENCH_PLUGIN;
    options.mPreset = std::string(ORX_SOURCE_DIR) + "/presets/Modifier Play.preset";
    options.mSampleRate = 48000;
    options.mBlock = static_cast<int>(state.range(0));
    options.mSeconds = kSeconds;
    options.mParams.push_back({"TimeUnits", "1/32"});
    options.mEvents = "-";
    const std::unique_ptr<std::FILE, FileCloser> sink(std::fopen("/dev/null", "wb"));
    std::size_t events = 0;
    for (auto _ : state)
    {
        orxrender::RenderResult result;
        std::string error;
        if (!orxrender::Render(options, sink.get(), result, error))
        {
            state.SkipWithError(error.c_str());
            return;
        }
        events = result.mEvents.size();
    }
    state.counters["events"] = static_cast<double>(events);
    state.counters["audio_seconds"] = benchmark::Counter(
        kSeconds * static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_RenderTenMinutes)->Arg(128)->Arg(512)->Unit(benchmark::kMillisecond);

} // namespace
