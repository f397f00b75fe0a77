// Speed of the Convert path on a tmpfs: the bitmap table write on its own, and the whole Convert
// of a design (800 x 600 background, 10 placed bitmaps) as the editor and qxpan-cli run it: branch
// lock, key table read, render, screen program file, key table written. Each figure is printed
// beside its goal.

#include "BenchSupport.h"
#include "branch/BranchConvert.h"
#include "document/CQXPanBmpObj.h"
#include "document/CQXPanDocument.h"
#include "document/CQXPanKeyObj.h"
#include "formats/BitmapTableFile.h"
#include "image/CDibImage.h"

#include <QDateTime>
#include <QDir>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cstdio>
#include <memory>
#include <vector>

namespace {

constexpr int kImageType = 797;
constexpr double kConvertGoalMs = 10.0;
const QDateTime stamp(QDate(2026, 12, 5), QTime(20, 1, 0));

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
    QTemporaryDir dir{bench::tmpfsRoot() + QStringLiteral("/qxpan-bench-XXXXXX")};
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

        bench::fillPattern(design.m_Background, 800, 600, 3);
        for (int i = 0; i < 10; ++i) {
            bitmaps.push_back(std::make_unique<CDibImage>());
            bench::fillPattern(*bitmaps.back(), 64 + 16 * i, 48 + 8 * i, quint32(10 + i));
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
        if (!BitmapTableFile::Write(s.program, s.table, kImageType, s.design, stamp))
            state.SkipWithError("bitmap table write failed");
    }
}
BENCHMARK(BM_TableWrite)->Unit(benchmark::kMillisecond);

// The one Convert of the editor and qxpan-cli, every step of it.
void BM_ConvertDesign(benchmark::State& state)
{
    Scene& s = scene();
    for (auto _ : state) {
        const ConvertResult result =
            ConvertDesign(s.design, kImageType, s.program, s.table, false, stamp);
        if (result.stage != ConvertResult::Stage::Done || !result.screen) {
            state.SkipWithError("Convert failed");
            break;
        }
    }
}
BENCHMARK(BM_ConvertDesign)->Unit(benchmark::kMillisecond);

// Prints the figures beside their goals after the runs.
class GoalReporter : public bench::TimesReporter
{
public:
    void printSummary() const
    {
        std::printf("\nfiles written to %s\n", qPrintable(bench::tmpfsRoot()));
        const bench::Times table = find("BM_TableWrite");
        if (table.real > 0)
            std::printf("table  : %.3f ms (cpu %.3f ms): 240 records of FILE795P.TXT\n",
                        table.real * 1e3, table.cpu * 1e3);
        else
            std::printf("table  : not measured\n");
        const bench::Times convert = find("BM_ConvertDesign");
        if (convert.real > 0) {
            std::printf("convert: %.3f ms (cpu %.3f ms), goal < %.0f ms", convert.real * 1e3,
                        convert.cpu * 1e3, kConvertGoalMs);
            verdict(convert.real * 1e3 < kConvertGoalMs);
        } else {
            unmeasured("convert", "BM_ConvertDesign");
        }
    }
};

} // namespace

int main(int argc, char** argv)
{
    return bench::runWithSummary<GoalReporter>(argc, argv);
}
