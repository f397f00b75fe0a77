#pragma once

/// The steps of a file write at which the fault tests make it fail or stop. Only the fault tests
/// compile the hook in (QXPAN_FAULT_INJECTION); everywhere else a step costs nothing.
enum class FaultStep
{
    TemporaryCreated, ///< the temporary file exists, nothing written yet
    Writing,          ///< before each write call; a negative answer makes it a short write
    BytesWritten,     ///< every byte is in the temporary file, not yet synced
    Syncing,          ///< the sync call; an errno answer makes it fail
    Synced,           ///< the temporary file is complete on disk, not yet renamed
    Renamed,          ///< the target has been replaced
};

#ifdef QXPAN_FAULT_INJECTION
#include <functional>
/// Called at every step: 0 goes on, an errno value makes the step fail with that error.
extern std::function<int(FaultStep)> g_qxpanFaultHook;
inline int FaultAt(FaultStep step)
{
    return g_qxpanFaultHook ? g_qxpanFaultHook(step) : 0;
}
#else
inline int FaultAt(FaultStep)
{
    return 0;
}
#endif
