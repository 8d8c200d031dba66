// An animated GIF written one picture at a time. Each frame after the first stores only the
// rectangle that changed, with the pixels that did not change inside it transparent, and a
// colour table of its own colours: a frame of at most 255 colours comes out exact (one with
// more shows the rest in the nearest colour it has). The file loops forever.
#pragma once

#include "kelpa_testing.h"

#include <cstdio>
#include <memory>
#include <vector>

struct GifFileType;

namespace kelpa_replay {

class GifFile {
  public:
    // Writes into file, which stays the caller's to close. false (and failed()) once a write
    // failed.
    bool open(FILE *file, int width, int height);
    // Shows picture (of the size opened) for delay_cs hundredths of a second.
    bool add(const kelpa_testing::Picture &picture, int delay_cs);
    // The last picture added stays extra_cs hundredths of a second longer.
    void extend(int extra_cs);
    // Writes the trailer; false if anything failed.
    bool close();
    bool failed() const { return failed_; }
    ~GifFile();

  private:
    GifFileType *gif_ = nullptr;
    FILE *file_ = nullptr;
    bool failed_ = false;
    bool first_ = true;
    kelpa_testing::Picture canvas_; // what the frames so far show
    std::vector<uint8_t> indices_;  // the frame's rectangle, row by row
    // The last frame's bytes, from its graphics control block on, kept back until the next
    // frame so that its delay can still grow.
    std::vector<uint8_t> held_;
    bool flush();
    friend int write_held(GifFileType *, const uint8_t *, int);
};

} // namespace kelpa_replay
