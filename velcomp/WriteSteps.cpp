#include "velcomp/WriteSteps.h"

#include <atomic>

namespace velcomp {
namespace {

std::atomic<WriteStepHook> g_hook{nullptr};

}  // namespace

void SetWriteStepHook(WriteStepHook hook) {
    g_hook.store(hook);
}

void WriteStep(const char* step) {
    if (const WriteStepHook hook = g_hook.load()) {
        hook(step);
    }
}

}  // namespace velcomp
