// Speed of the register screen file path: encoding a 1024 x 768 picture into the complete file
// text (with the processor's byte shuffles where it has them, and with the portable encoder),
// decoding that text back to pixels, the render stretch, and `qxpan-cli encode` as a whole
// process. Encode and decode are printed as ratios to a memcpy of the file's size, the command as
// a ratio to `xxd -p` writing as much hexadecimal text, the two run alternately.

#include "BenchSupport.h"
#include "formats/ScreenFileImport.h"
#include "formats/ScreenProgramFile.h"
#include "image/CDibImage.h"

#include <QBuffer>
#include <QDateTime>
#include <QFile>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>

extern char** environ;

namespace {

constexpr qsizetype fileBytes = 3254831;
constexpr double kCliGoal = 1.5;
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

// The same with the portable encoder alone, as on a processor without SSSE3.
void BM_EncodeScalar(benchmark::State& state)
{
    CDibImage image;
    bench::fillPattern(image, 1024, 768, 1);
    ScreenProgram::forceScalarEncode(true);
    for (auto _ : state) {
        QByteArray text = ScreenProgram::buildFileText(image, 797, stamp);
        benchmark::DoNotOptimize(text.data());
    }
    ScreenProgram::forceScalarEncode(false);
    state.SetBytesProcessed(state.iterations() * fileBytes);
}
BENCHMARK(BM_EncodeScalar);

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
        if (!decodeScreenProgram(buffer, pixels.data()))
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

// A 1024 x 768 picture for qxpan-cli and, for xxd, an input whose "xxd -p" text (60 digits and a
// line end per 30 bytes) is as long as the screen file, both on the tmpfs, where each program
// writes its output file (on a disk the writer's sync would time the disk).
struct Commands
{
    QTemporaryDir dir{bench::tmpfsRoot() + QStringLiteral("/qxpan-bench-XXXXXX")};
    std::string xxd = QStandardPaths::findExecutable(QStringLiteral("xxd")).toStdString();
    std::string picture = dir.filePath(QStringLiteral("picture.bmp")).toStdString();
    std::string screenFile = dir.filePath(QStringLiteral("FILE797P.TXT")).toStdString();
    std::string hexInput = dir.filePath(QStringLiteral("bytes.bin")).toStdString();
    std::string hexOutput = dir.filePath(QStringLiteral("bytes.hex")).toStdString();
    bool ready = false;

    Commands()
    {
        CDibImage image;
        bench::fillPattern(image, 1024, 768, 4);
        QFile bytes(QString::fromStdString(hexInput));
        QByteArray raw(fileBytes * 30 / 61, '\0');
        quint32 seed = 5;
        for (char& b : raw) {
            seed = seed * 1664525u + 1013904223u;
            b = static_cast<char>(seed >> 24);
        }
        ready = image.Image().save(QString::fromStdString(picture), "BMP") &&
                bytes.open(QIODevice::WriteOnly) && bytes.write(raw) == raw.size();
    }
};

Commands& commands()
{
    static Commands instance;
    return instance;
}

// Runs a program with its standard output going to outPath and waits for it; the seconds it took,
// or a negative number when it could not be started or did not exit with 0.
double runProgram(std::vector<std::string> argv, const std::string& outPath)
{
    std::vector<char*> args;
    for (std::string& a : argv)
        args.push_back(a.data());
    args.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC,
                                     0644);
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    int status = -1;
    const bool ran = posix_spawn(&pid, args[0], &actions, nullptr, args.data(), environ) == 0 &&
                     waitpid(pid, &status, 0) == pid;
    const std::chrono::duration<double> took = std::chrono::steady_clock::now() - start;
    posix_spawn_file_actions_destroy(&actions);
    return ran && WIFEXITED(status) && WEXITSTATUS(status) == 0 ? took.count() : -1;
}

// Medians of the alternated runs of BM_CliVsXxd, in seconds.
struct ProgramTimes
{
    double cli = 0;
    double xxd = 0;
};
ProgramTimes programTimes;

double median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

// `qxpan-cli encode` of a 1024 x 768 picture into the screen file (start, read, encode, write,
// exit) against `xxd -p` writing as much hexadecimal text, one after the other 41 times, so that a
// change in the machine's load falls on both alike; the medians are compared.
void BM_CliVsXxd(benchmark::State& state)
{
    Commands& c = commands();
    if (c.xxd.empty() || !c.ready) {
        state.SkipWithError(c.xxd.empty() ? "xxd is not installed" : "the input was not written");
        return;
    }
    for (auto _ : state) {
        std::vector<double> cli;
        std::vector<double> xxd;
        for (int i = 0; i < 41; ++i) {
            const double x = runProgram({c.xxd, "-p", c.hexInput}, c.hexOutput);
            const double q = runProgram(
                {QXPAN_CLI, "encode", c.picture, c.screenFile, "--number", "797"}, "/dev/null");
            if (x < 0 || q < 0) {
                state.SkipWithError(x < 0 ? "xxd failed" : "qxpan-cli failed");
                return;
            }
            xxd.push_back(x);
            cli.push_back(q);
        }
        programTimes = {median(cli), median(xxd)};
        state.SetIterationTime(programTimes.cli);
    }
}
BENCHMARK(BM_CliVsXxd)->UseManualTime()->Iterations(1)->Unit(benchmark::kMillisecond);

// Prints the figures beside their goals after the runs.
class RatioReporter : public bench::TimesReporter
{
public:
    void printSummary() const
    {
        const bench::Times copy = find("BM_Memcpy");
        std::printf("\nmemcpy of %lld bytes: %.3f ms (cpu %.3f ms)\n",
                    static_cast<long long>(fileBytes), copy.real * 1e3, copy.cpu * 1e3);
        // A goal of 0 prints the figure alone.
        const struct
        {
            const char* name;
            const char* label;
            double goal;
        } ratios[] = {{"BM_Encode", "encode", 10.0},
                      {"BM_EncodeScalar", "scalar", 0},
                      {"BM_Decode", "decode", 30.0}};
        for (const auto& r : ratios) {
            const bench::Times t = find(r.name);
            if (copy.real <= 0 || copy.cpu <= 0 || t.real <= 0) {
                unmeasured(r.label, r.name);
                continue;
            }
            // Wall-clock ratio first; the processor-time ratio beside it is steadier on a busy
            // machine.
            const double ratio = t.real / copy.real;
            std::printf("%-7s: %.3f ms = %5.1f x memcpy (cpu %5.1f x)", r.label, t.real * 1e3,
                        ratio, t.cpu / copy.cpu);
            if (r.goal > 0) {
                std::printf(", goal <= %.0f x", r.goal);
                verdict(ratio <= r.goal);
            } else {
                std::printf(", the portable encoder (no goal)\n");
            }
        }
        if (commands().xxd.empty()) {
            std::printf("cli    : SKIPPED, xxd is not installed (scripts/install-deps bench)\n");
        } else if (programTimes.cli > 0 && programTimes.xxd > 0) {
            const double ratio = programTimes.cli / programTimes.xxd;
            std::printf("cli    : qxpan-cli encode %.1f ms, xxd -p %.1f ms (medians of 41 "
                        "alternated runs, files in %s) = %.2f x, goal < %.1f x",
                        programTimes.cli * 1e3, programTimes.xxd * 1e3,
                        qPrintable(bench::tmpfsRoot()), ratio, kCliGoal);
            verdict(ratio < kCliGoal);
        } else {
            unmeasured("cli", "BM_CliVsXxd");
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
