// Painting the design area with a full check window: 80 keys with two text lines, 40 placed
// bitmaps and a background. Goal: at most 4 ms a frame, so that a drag stays smooth at 60 Hz.

#include "BenchSupport.h"

#include "canvas/CQXPanDesignDlg.h"
#include "document/CQXPanBmpObj.h"
#include "document/CQXPanKeyObj.h"

#include <QApplication>
#include <QImage>

#include <memory>
#include <vector>

namespace {

constexpr double kFrameGoalMs = 4.0;

struct Scene
{
    CQXPanDesignDlg design;
    std::vector<std::unique_ptr<CDibImage>> bitmaps;

    Scene()
    {
        design.resize(design.DesignSize() + QSize(1, 1));

        bench::fillPattern(design.m_Background, 1024, 768, 5);
        for (int i = 0; i < 40; ++i) {
            bitmaps.push_back(std::make_unique<CDibImage>());
            bench::fillPattern(*bitmaps.back(), 48 + 4 * (i % 10), 40 + 3 * (i % 7), quint32(i));
            CQXPanBmpObj placed;
            const QString name = QStringLiteral("B%1.bmp").arg(i);
            placed.SetImage(bitmaps.back().get(), &name);
            const int x = (i % 10) * 100 + 4;
            const int y = (i / 10) * 60 + 500;
            placed.SetRegisterRect(QXPanRect{x, y, x + 90, y + 50});
            design.AddBmpObj(placed);
        }
        design.m_nKeyCapacity = 80;
        for (int i = 0; i < 80; ++i) {
            CQXPanKeyObj key;
            key.SetTypeCode(quint16(100 + i));
            key.SetShape(quint8(1 + i % 2));
            const int x = (i % 10) * 100 + 6;
            const int y = (i / 10) * 60 + 4;
            key.SetRegisterRect(x, y, x + 94, y + 56);
            key.SetFillColour(QXPanColor(0x00336699u + quint32(i)), true);
            key.SetTextColour(QXPanColor(0x00FFFFFFu - quint32(i)), true);
            key.SetText1(QStringLiteral("KEY TEXT %1").arg(i));
            key.SetText2(QStringLiteral("LINE TWO %1").arg(i));
            design.AddKeyObj(&key);
        }
    }
};

// One whole frame of the design area into a picture like the window's back buffer.
void BM_PaintDesignArea(benchmark::State& state)
{
    static Scene scene;
    QImage frame(scene.design.size(), QImage::Format_ARGB32_Premultiplied);
    for (auto _ : state) {
        scene.design.render(&frame);
        benchmark::DoNotOptimize(frame.constBits());
    }
}
BENCHMARK(BM_PaintDesignArea)->Unit(benchmark::kMillisecond);

class GoalReporter : public bench::TimesReporter
{
public:
    void printSummary() const
    {
        const bench::Times frame = find("BM_PaintDesignArea");
        if (frame.real > 0) {
            std::printf("\npaint  : %.3f ms a frame (cpu %.3f ms), goal <= %.0f ms",
                        frame.real * 1e3, frame.cpu * 1e3, kFrameGoalMs);
            verdict(frame.real * 1e3 <= kFrameGoalMs);
        } else {
            unmeasured("paint", "BM_PaintDesignArea");
        }
    }
};

} // namespace

int main(int argc, char** argv)
{
    // The widgets need an application; no screen is needed to paint into a picture.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    return bench::runWithSummary<GoalReporter>(argc, argv);
}
