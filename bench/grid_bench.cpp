// Composition cost of a 16-cell grid (each cell a 704 x 480 picture, split 16 in 1280 x 960,
// with its on-screen display) against a reference in the same run: the same pictures scaled
// smoothly into the same cells by a bare painter, without texts or frames.
//
// Usage: grid_bench [compositions]
#include "shell/ccameo.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMutexLocker>
#include <QPainter>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

constexpr int kRuns = 5;
constexpr int kSplit = 16;
constexpr int kSide = 4;

std::vector<QImage> Pictures()
{
    std::vector<QImage> pictures;
    for (int i = 0; i < kSplit; ++i) {
        QImage image(704, 480, QImage::Format_RGB888);
        image.fill(QColor::fromHsv(i * 22, 200, 220));
        QPainter p(&image);
        p.drawLine(0, 0, 703, 479);
        pictures.push_back(image);
    }
    return pictures;
}

double Best(const std::vector<double>& times)
{
    return *std::min_element(times.begin(), times.end());
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int count = argc > 1 ? std::max(1, atoi(argv[1])) : 100;
    const std::vector<QImage> pictures = Pictures();

    CCameo grid(nullptr);
    grid.OnSplitMode(0, kSplit, false);
    grid.resize(1280, 960);
    grid.show();
    QApplication::processEvents();
    for (int i = 0; i < kSplit; ++i) {
        grid.SetCellChannel(i, CCameo::kLocalRecorder, i);
        QMutexLocker lock(grid.GetCellsLock());
        grid.SetCameoImage(pictures[i], i, false);
    }

    std::vector<double> gridTimes;
    std::vector<double> referenceTimes;
    QImage reference(1280, 960, QImage::Format_RGB32);
    for (int run = 0; run < kRuns; ++run) {
        QElapsedTimer clock;
        clock.start();
        for (int n = 0; n < count; ++n)
            grid.OnDrawCameo(-1);
        gridTimes.push_back(clock.nsecsElapsed() / 1e6 / count);

        clock.restart();
        for (int n = 0; n < count; ++n) {
            QPainter painter(&reference);
            for (int i = 0; i < kSplit; ++i) {
                const QImage scaled = pictures[i].scaled(320, 240, Qt::IgnoreAspectRatio,
                                                         Qt::SmoothTransformation);
                painter.drawImage((i % kSide) * 320, (i / kSide) * 240, scaled);
            }
        }
        referenceTimes.push_back(clock.nsecsElapsed() / 1e6 / count);
    }
    const double g = Best(gridTimes);
    const double r = Best(referenceTimes);
    std::printf("grid composition, 16 cells: %.3f ms\n", g);
    std::printf("reference (bare scaling):   %.3f ms\n", r);
    std::printf("ratio grid / reference:     %.2f\n", g / r);
    return 0;
}
