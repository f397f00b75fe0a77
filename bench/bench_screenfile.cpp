// Speed of the register screen file path: encoding a 1024 x 768 picture into the complete file
// text, decoding that text back to pixels, and the render stretch. Encode and decode are printed
// as ratios to a memcpy of the file's size, timed in the same run.

#include "BenchSupport.h"
#include "formats/ScreenFileImport.h"
#include "formats/ScreenProgramFile.h"
#include "image/CDibImage.h"

#include <QBuffer>
#include <QDateTime>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr qsizetype fileBytes = 3254831;
const QDateTime stamp(QDate(2026, 12, 5), QTime(20, 1, 0));

void BM_Memcpy(benchmark::State& state)
{
    std::vector<char> from(size_t(fileBytes), 'A');
    std::vector<char> to(size_t(fileBytes), 'B');
    for (auto _ : state) {
        std::memcpy(to.data(), from.data(), to.size());
        benchmark::DoNotOptimize(to.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * fileBytes);
}
BENCHMARK(BM_Memcpy);

// 24-bit pixels -> register words -> the complete file text in a fresh buffer.
void BM_Encode(benchmark::State& state)
{
    CDibImage image;
    bench::fillPattern(image, 1024, 768, 1);
    for (auto _ : state) {
        QByteArray text = ScreenProgram::buildFileText(image, 797, stamp);
        benchmark::DoNotOptimize(text.data());
    }
    state.SetBytesProcessed(state.iterations() * fileBytes);
}
BENCHMARK(BM_Encode);

// The file text in memory -> 1024 x 768 pixels of blue, green, red.
void BM_Decode(benchmark::State& state)
{
    CDibImage image;
    bench::fillPattern(image, 1024, 768, 2);
    QByteArray text = ScreenProgram::buildFileText(image, 797, stamp);
    std::vector<unsigned char> pixels(static_cast<size_t>(ScreenPixelBytes));
    for (auto _ : state) {
        QBuffer buffer(&text);
        buffer.open(QIODevice::ReadOnly);
        const int result = decodeScreenProgram(buffer, pixels.data(), {});
        if (result != ScreenImportOk)
            state.SkipWithError("decode failed");
        benchmark::DoNotOptimize(pixels.data());
    }
    state.SetBytesProcessed(state.iterations() * fileBytes);
}
BENCHMARK(BM_Decode);

// An 800 x 600 background stretched onto the 1024 x 768 screen, then 10 placed bitmaps stretched
// into their rectangles from the last to the first.
void BM_RenderStretch(benchmark::State& state)
{
    CDibImage background;
    bench::fillPattern(background, 800, 600, 3);
    std::vector<CDibImage> placed(10);
    struct Rect
    {
        int x, y, w, h;
    };
    std::vector<Rect> rects;
    for (int i = 0; i < 10; ++i) {
        bench::fillPattern(placed[size_t(i)], 64 + 16 * i, 48 + 8 * i, quint32(10 + i));
        // Half of them enlarged, half shrunk, some reaching past the right or bottom edge.
        const int w = i % 2 ? 40 + 10 * i : 120 + 20 * i;
        const int h = i % 2 ? 30 + 6 * i : 90 + 12 * i;
        rects.push_back({90 * i + 20, 60 * i + 40, w, h});
    }
    for (auto _ : state) {
        CDibImage screen;
        screen.Create(1024, 768, 24);
        screen.AcquireSurface();
        background.StretchBlt(screen, 0, 0, 1024, 768, 0, 0, 800, 600);
        for (int i = 9; i >= 0; --i) {
            const CDibImage& bitmap = placed[size_t(i)];
            const Rect& r = rects[size_t(i)];
            bitmap.StretchBlt(screen, r.x, r.y, r.w, r.h, 0, 0, bitmap.Width(), bitmap.Height());
        }
        screen.ReleaseSurface();
        benchmark::DoNotOptimize(screen.Image().constBits());
    }
}
BENCHMARK(BM_RenderStretch)->Unit(benchmark::kMillisecond);

// Prints the figures beside their goals after the runs.
class RatioReporter : public bench::TimesReporter
{
public:
    void printSummary() const
    {
        const bench::Times copy = find("BM_Memcpy");
        std::printf("\nmemcpy of %lld bytes: %.3f ms (cpu %.3f ms)\n",
                    static_cast<long long>(fileBytes), copy.real * 1e3, copy.cpu * 1e3);
        const struct
        {
            const char* name;
            const char* label;
            double goal;
        } ratios[] = {{"BM_Encode", "encode", 10.0}, {"BM_Decode", "decode", 30.0}};
        for (const auto& r : ratios) {
            const bench::Times t = find(r.name);
            if (copy.real <= 0 || copy.cpu <= 0 || t.real <= 0) {
                std::printf("%-7s: not measured\n", r.label);
                continue;
            }
            // Wall-clock ratio first; the processor-time ratio beside it is steadier on a busy
            // machine.
            const double ratio = t.real / copy.real;
            std::printf("%-7s: %.3f ms = %5.1f x memcpy (cpu %5.1f x), goal <= %.0f x: %s\n",
                        r.label, t.real * 1e3, ratio, t.cpu / copy.cpu, r.goal,
                        ratio <= r.goal ? "met" : "MISSED");
        }
        const bench::Times render = find("BM_RenderStretch");
        if (render.real > 0)
            std::printf("render : %.3f ms (cpu %.3f ms): 800 x 600 background to 1024 x 768 plus "
                        "10 placed bitmaps\n",
                        render.real * 1e3, render.cpu * 1e3);
    }
};

} // namespace

int main(int argc, char** argv)
{
    return bench::runWithSummary<RatioReporter>(argc, argv);
}
