// Named points in a write-out, where fault tests stop it on purpose.
#pragma once

namespace velcomp {

// Called at each point with its name; no hook is set outside the fault tests.
using WriteStepHook = void (*)(const char* step);

void SetWriteStepHook(WriteStepHook hook);
void WriteStep(const char* step);

}  // namespace velcomp
