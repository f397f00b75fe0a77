// One libFuzzer target; QXPAN_FUZZ_READER names the FuzzReaders function it feeds.
#include "FuzzEnvironment.h"
#include "FuzzReaders.h"

#include <cstdio>
#include <cstdlib>

#ifndef QXPAN_FUZZ_READER
#error "QXPAN_FUZZ_READER must name a FuzzReaders function"
#endif

extern "C" int LLVMFuzzerInitialize(int* /*argc*/, char*** /*argv*/)
{
    FuzzEnvironment::Init();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const FuzzOutcome outcome = FuzzReaders::QXPAN_FUZZ_READER(data, size);
    if (!outcome.problems.isEmpty()) {
        // A broken promise is a finding like a crash: report it and let libFuzzer keep the input.
        for (const QString& problem : outcome.problems)
            std::fprintf(stderr, "reader promise broken: %s\n", qPrintable(problem));
        std::abort();
    }
    return 0;
}
