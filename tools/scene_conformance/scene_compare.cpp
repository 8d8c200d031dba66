// Reading, writing and comparing conformance files. Agreement of a call is the share of the
// pixels painted in either run (different from that call's background) that carry the same
// colour in both; a call that paints nothing anywhere agrees fully.
#include "scene_canvas.h"

#include <algorithm>
#include <cstdio>
#include <map>

bool write_run(const char *path, const PaintedRun &run) {
    FILE *f = std::fopen(path, "wb");
    if (!f)
        return false;
    for (const PaintedCall &c : run.calls) {
        std::fprintf(f, "%s\t%d\t%d\t%d\t%u\n", c.name.c_str(), c.section, c.width, c.height, c.background);
        std::fwrite(c.pixels.data(), sizeof(uint32_t), c.pixels.size(), f);
    }
    std::fprintf(f, "#time\t%.3f\t%d\n", run.scene_us, run.scene_reps);
    return std::fclose(f) == 0;
}

bool read_run(const char *path, PaintedRun &run) {
    FILE *f = std::fopen(path, "rb");
    if (!f)
        return false;
    char line[256];
    bool ok = false;
    while (std::fgets(line, sizeof line, f)) {
        if (std::sscanf(line, "#time\t%lf\t%d", &run.scene_us, &run.scene_reps) == 2) {
            ok = true;
            break;
        }
        PaintedCall c;
        char *tab = std::find(line, line + sizeof line, '\t');
        if (tab == line + sizeof line)
            break;
        c.name.assign(line, tab);
        if (std::sscanf(tab, "\t%d\t%d\t%d\t%u", &c.section, &c.width, &c.height, &c.background) != 4 ||
            c.width < 0 || c.height < 0 || c.width > 4096 || c.height > 4096)
            break;
        c.pixels.resize(static_cast<size_t>(c.width) * c.height);
        if (std::fread(c.pixels.data(), sizeof(uint32_t), c.pixels.size(), f) != c.pixels.size())
            break;
        run.calls.push_back(std::move(c));
    }
    std::fclose(f);
    return ok;
}

namespace {

double agreement(const PaintedCall &a, const PaintedCall &b) {
    if (a.width != b.width || a.height != b.height)
        return 0;
    size_t painted = 0, same = 0;
    for (size_t i = 0; i < a.pixels.size(); ++i) {
        const bool in_a = a.pixels[i] != a.background, in_b = b.pixels[i] != b.background;
        if (!in_a && !in_b)
            continue;
        ++painted;
        same += in_a && in_b && a.pixels[i] == b.pixels[i];
    }
    return painted ? static_cast<double>(same) / painted : 1.0;
}

struct Group {
    int calls = 0, exact = 0;
    double total = 0, lowest = 1;
};

} // namespace

int compare_runs(const PaintedRun &ours, const PaintedRun &theirs, bool every_call) {
    std::map<std::string, const PaintedCall *> by_name;
    for (const PaintedCall &c : theirs.calls)
        by_name[c.name] = &c;
    std::map<std::string, Group> groups[2];
    int faults = 0;
    std::printf("agreement  call (ours against the real GDI32)\n");
    for (const PaintedCall &c : ours.calls) {
        auto found = by_name.find(c.name);
        const double share = found == by_name.end() ? 0 : agreement(c, *found->second);
        const std::string kind = c.name.substr(0, c.name.find(' '));
        Group &g = groups[c.section == 1][kind];
        ++g.calls;
        g.exact += share == 1.0;
        g.total += share;
        g.lowest = std::min(g.lowest, share);
        // Rectangles, lines, pixels and plain colours must match exactly; ovals and triangles
        // may differ in their rounding, and text in its fonts.
        if (c.section == 0 && share < 1.0 && kind != "oval" && kind != "triangle")
            ++faults;
        if (every_call || share < 1.0)
            std::printf("%8.2f%%  %s\n", share * 100, c.name.c_str());
    }
    for (int section = 0; section < 2; ++section) {
        std::printf("\n%s         calls  exact   mean     lowest\n",
                    section ? "text (fonts differ by host)" : "shapes");
        for (const auto &[kind, g] : groups[section])
            std::printf("  %-10s %5d  %5d  %7.2f%%  %7.2f%%\n", kind.c_str(), g.calls, g.exact,
                        g.total / g.calls * 100, g.lowest * 100);
    }
    std::printf("\nfull scene, lower decile of %d and %d times: ours %.1f us, real GDI32 %.1f us, ratio %.2f "
                "(real / ours)\n",
                ours.scene_reps, theirs.scene_reps, ours.scene_us, theirs.scene_us,
                ours.scene_us > 0 ? theirs.scene_us / ours.scene_us : 0);
    if (faults)
        std::printf("%d rectangle, line, pixel or colour calls disagree\n", faults);
    return faults ? 1 : 0;
}
