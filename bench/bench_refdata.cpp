#include "refdata/CQXPanFreeFuncReader.h"
#include "refdata/CQXPanFuncKeyReader.h"

#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>

#include <chrono>

namespace {

// A branch's reference files at their full size: 1000 system-key records (three variant lines
// each, as a register with several key sets has them) and 1023 free-function records.
struct ReferenceFiles
{
    QTemporaryDir dir;
    QString funcKeyPath;
    QString freeFuncPath;

    ReferenceFiles()
    {
        funcKeyPath = dir.filePath(QStringLiteral("funckey.txt"));
        freeFuncPath = dir.filePath(QStringLiteral("FILE002P.TXT"));
        QByteArray keys;
        for (int record = 0; record < 1000; ++record) {
            for (int variant : {1, 402, 2})
                keys += QString::asprintf("%04d %05d %03d      KEY %04d VARIANT %d\r\n", variant,
                                          record, record % 1000, record, variant)
                            .toLatin1();
        }
        QByteArray funcs = "\"C\",\"n:P0002:\"\r\n\"h\",\"36\",\"01\",\"0000\",\"261205\",\"1015\","
                           "\"0001\",\"01\",\"02\",\"9999\"\r\n\"f\",\"FILE002\",\"P\",\"P\","
                           "\"0001\"\r\n";
        for (int record = 1; record <= 1023; ++record)
            funcs += QString::asprintf("%06d,\"%04d000FREE FUNC %04d %s\"\r\n", record,
                                       record % 1000, record, QByteArray(280, '0').constData())
                         .toLatin1();
        write(funcKeyPath, keys);
        write(freeFuncPath, funcs);
    }

    static void write(const QString& path, const QByteArray& bytes)
    {
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            qFatal("cannot write %s", qPrintable(path));
    }
};

ReferenceFiles& files()
{
    static ReferenceFiles instance;
    return instance;
}

template <typename Read> void readFile(benchmark::State& state, Read read, qsizetype expectedRows)
{
    double worst = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        const CQXPanRefReadResult result = read();
        const std::chrono::duration<double, std::milli> took =
            std::chrono::steady_clock::now() - start;
        worst = std::max(worst, took.count());
        if (result.m_rows.size() != expectedRows)
            state.SkipWithError("unexpected row count");
        benchmark::DoNotOptimize(result);
    }
    state.counters["worst_ms"] = worst;
    state.counters["goal_ms"] = 5;
}

void BM_FuncKeyTxt1000Records(benchmark::State& state)
{
    readFile(
        state, [] { return CQXPanFuncKeyReader::ReadFile(files().funcKeyPath); }, 1000);
}

void BM_File002p1023Records(benchmark::State& state)
{
    readFile(
        state, [] { return CQXPanFreeFuncReader::ReadFile(files().freeFuncPath); }, 1023);
}

} // namespace

BENCHMARK(BM_FuncKeyTxt1000Records)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_File002p1023Records)->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
