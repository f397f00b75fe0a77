// Speed of the Convert path on a tmpfs: the bitmap table write on its own, and a whole design
// (800 x 600 background, 10 placed bitmaps) rendered and written as the screen program file and
// the bitmap table. Each figure is printed beside its goal.

#include "document/CQXPanBmpObj.h"
#include "document/CQXPanDocument.h"
#include "document/CQXPanKeyObj.h"
#include "image/BitmapTableFile.h"
#include "image/CDibImage.h"
#include "image/ScreenProgramFile.h"

#include <QDateTime>
#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

namespace {

constexpr int kImageType = 797;
constexpr double kConvertGoalMs = 10.0;
const QDateTime stamp(QDate(2026, 12, 5), QTime(20, 1, 0));

// /dev/shm is the tmpfs the goal is stated for; elsewhere the system's temporary folder.
QString tmpfsRoot()
{
    return QFileInfo(QStringLiteral("/dev/shm")).isDir() ? QStringLiteral("/dev/shm")
                                                         : QDir::tempPath();
}

// A picture with varied colours so that no encoding shortcut applies.
void fillPattern(CDibImage& image, int width, int height, quint32 seed)
{
    image.Create(width, height, 24);
    std::vector<unsigned char> raw(size_t(image.RawSize()));
    for (unsigned char& b : raw) {
        seed = seed * 1664525u + 1013904223u;
        b = static_cast<unsigned char>(seed >> 24);
    }
    image.SetBits(qsizetype(raw.size()), raw.data());
}

// A key object in use: rectangle, number, colours and both texts set.
CQXPanKeyObj keyObject(int i)
{
    CQXPanKeyObj key;
    key.SetTypeCode(quint16(100 + i % 400));
    key.SetShape(quint8(1 + i % 2));
    const int x = (i % 8) * 120 + 10;
    const int y = ((i / 8) % 10) * 70 + 20;
    key.SetRegisterRect(x, y, x + 100, y + 60);
    key.SetNumber(quint32(1000 + i));
    key.SetFillColour(QXPanColor(0x00336699u + quint32(i)), true);
    key.SetTextColour(QXPanColor(0x00FFFFFFu - quint32(i)), true);
    key.SetText1(QStringLiteral("KEY %1").arg(i));
    key.SetText2(QStringLiteral("LINE TWO %1").arg(i));
    return key;
}

// A full 240-record table (all three slices in use) and a design of the 797 screen.
struct Scene
{
    QTemporaryDir dir{tmpfsRoot() + QStringLiteral("/qxpan-bench-XXXXXX")};
    QString work;
    QString program;
    QList<CQXPanKeyObj> table;
    CQXPanDocument design;
    std::vector<std::unique_ptr<CDibImage>> bitmaps;

    Scene()
    {
        work = dir.filePath(QStringLiteral("work"));
        program = dir.filePath(QStringLiteral("program"));
        QDir().mkpath(work);
        QDir().mkpath(program);
        for (int i = 0; i < BitmapTableFile::kTableSize; ++i)
            table.append(keyObject(i));
        design.LoadTableSlice(table, kImageType);

        fillPattern(design.m_Background, 800, 600, 3);
        for (int i = 0; i < 10; ++i) {
            bitmaps.push_back(std::make_unique<CDibImage>());
            fillPattern(*bitmaps.back(), 64 + 16 * i, 48 + 8 * i, quint32(10 + i));
            CQXPanBmpObj placed;
            const QString name = QStringLiteral("B%1.bmp").arg(i);
            placed.SetImage(bitmaps.back().get(), &name);
            // Half of them enlarged, half shrunk, some reaching past the right or bottom edge.
            const int w = i % 2 ? 40 + 10 * i : 120 + 20 * i;
            const int h = i % 2 ? 30 + 6 * i : 90 + 12 * i;
            const int x = 90 * i + 20;
            const int y = 60 * i + 40;
            placed.SetRegisterRect(QXPanRect{x, y, x + w, y + h});
            design.AddBmpObj(placed);
        }
    }
};

Scene& scene()
{
    static Scene instance;
    return instance;
}

// The whole bitmap table (240 record lines) written through its save file.
void BM_TableWrite(benchmark::State& state)
{
    Scene& s = scene();
    for (auto _ : state) {
        if (BitmapTableFile::Write(s.program, s.table, kImageType, s.design, stamp) != 0)
            state.SkipWithError("bitmap table write failed");
    }
}
BENCHMARK(BM_TableWrite)->Unit(benchmark::kMillisecond);

// Render, screen program file, the design's slice stored into the table, the table written.
void BM_ConvertDesign(benchmark::State& state)
{
    Scene& s = scene();
    for (auto _ : state) {
        CDibImage screen;
        if (!s.design.RenderScreenImage(screen)) {
            state.SkipWithError("render failed");
            break;
        }
        if (WriteScreenProgramFile(screen, kImageType, s.work, s.program, {}) != 0) {
            state.SkipWithError("screen program file write failed");
            break;
        }
        // Write stores the design's slice into the table before writing it.
        if (BitmapTableFile::Write(s.program, s.table, kImageType, s.design) != 0) {
            state.SkipWithError("bitmap table write failed");
            break;
        }
    }
}
BENCHMARK(BM_ConvertDesign)->Unit(benchmark::kMillisecond);

// Keeps each benchmark's time per iteration, for the summary.
class GoalReporter : public benchmark::ConsoleReporter
{
public:
    void ReportRuns(const std::vector<Run>& runs) override
    {
        for (const Run& run : runs) {
            if (run.run_type == Run::RT_Iteration && !run.error_occurred)
                m_ms[run.benchmark_name()] = {
                    run.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(run.time_unit) *
                        1e3,
                    run.GetAdjustedCPUTime() / benchmark::GetTimeUnitMultiplier(run.time_unit) *
                        1e3};
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void printSummary() const
    {
        const auto find = [this](const char* name) {
            const auto it = m_ms.find(name);
            return it == m_ms.end() ? Times{} : it->second;
        };
        std::printf("\nfiles written to %s\n", qPrintable(tmpfsRoot()));
        const Times table = find("BM_TableWrite");
        if (table.real > 0)
            std::printf("table  : %.3f ms (cpu %.3f ms): 240 records of FILE795P.TXT\n", table.real,
                        table.cpu);
        else
            std::printf("table  : not measured\n");
        const Times convert = find("BM_ConvertDesign");
        if (convert.real > 0)
            std::printf("convert: %.3f ms (cpu %.3f ms), goal < %.0f ms: %s\n", convert.real,
                        convert.cpu, kConvertGoalMs,
                        convert.real < kConvertGoalMs ? "met" : "MISSED");
        else
            std::printf("convert: not measured\n");
    }

private:
    struct Times
    {
        double real = 0;
        double cpu = 0;
    };
    std::map<std::string, Times> m_ms;
};

} // namespace

int main(int argc, char** argv)
{
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    GoalReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.printSummary();
    benchmark::Shutdown();
    return 0;
}
