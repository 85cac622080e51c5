#pragma once

namespace vexilo::svgloader {

struct Limits
{
    int cpuSeconds = 0;     // 0: none
    int addressSpaceMb = 0; // 0: none
};

// What the loader does before it reads its first document: it dies with the program, keeps
// only its pipes and standard error, works in the root folder, writes no core file, and stays
// within its CPU time and address space.
void applyLimits(const Limits &limits);

// Where the kernel allows, no file may be written, created or removed, only the system's
// folders (libraries, fonts, their caches) may be read, and no program may be started, no
// socket opened, no other process touched and no limit raised. Each layer is skipped silently
// when the kernel lacks it.
void enterSandbox();

} // namespace vexilo::svgloader
