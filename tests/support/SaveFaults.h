#pragma once

#include "common/SafeFile.h"

#include <functional>

namespace vexilo::test {

// Fails `stage` with `err` once `passes` earlier calls of that stage went through.
SafeWriteHook failAt(SafeWriteStage stage, int err, int passes = 0);

// Fails every opening of a file for writing, the temporary one and the file itself.
SafeWriteHook failOpening(int err);

// Sets the file's (or a link's own) times back, as if it had been left that long ago.
void ageFile(const QString &path, int seconds);

// Runs `body` as the unprivileged user "nobody" in a child process and returns its exit
// status, or -1 when that is impossible here (not root, no such user).
int runAsNobody(const std::function<int()> &body);

} // namespace vexilo::test
