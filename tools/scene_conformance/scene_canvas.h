// The painted result of one call as the conformance files hold it: name, section, size and
// every pixel as GetPixel reports it, row by row. Shared by the painter and the comparison.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct PaintedCall {
    std::string name;
    int section = 0;
    int width = 0, height = 0;
    uint32_t background = 0;
    std::vector<uint32_t> pixels;
};

struct PaintedRun {
    std::vector<PaintedCall> calls;
    double scene_us = 0; // one full scene: the lower decile of scene_reps painted
    int scene_reps = 0;
};

bool write_run(const char *path, const PaintedRun &run);
bool read_run(const char *path, PaintedRun &run);
// Prints the figure; returns 1 when a shape other than ovals and triangles disagrees.
int compare_runs(const PaintedRun &ours, const PaintedRun &theirs, bool every_call);
