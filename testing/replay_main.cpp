// The main() of a program's replay command (TARGET-replay): the program's game_main runs on the
// headless display in virtual time while a script file plays back, and every picture its
// graphics window shows becomes a frame of an animated GIF, shown as long as it stayed on
// screen. Outputs are written beside their names and renamed when complete, so a failed
// replay leaves no half-written file under any of them.
#include "gif_file.h"
#include "kelpa_testing.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

int game_main();

namespace {

const char *program_name = "replay";

const char usage[] = "usage: %s [--start-time SECONDS] [--frames DIR] [--log FILE] [--logging] [--hold MS] "
                     "[--limit SECONDS] SCRIPT OUT.gif\n";

// The longest a replay runs by default (virtual time): a script of more is cut there.
constexpr long default_limit_seconds = 600;

void say(const std::string &message) {
    std::fprintf(stderr, "%s: %s\n", program_name, message.c_str());
}

// A file written under a temporary name in the folder of its final one, renamed into place by
// commit(); removed if it never is.
struct Output {
    std::string path, temp;
    FILE *file = nullptr;

    bool create(const std::string &final_path) {
        path = final_path;
        const size_t slash = path.find_last_of('/');
        const std::string folder = slash == std::string::npos ? "" : path.substr(0, slash + 1);
        const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
        std::vector<char> pattern(folder.begin(), folder.end());
        const std::string hidden = "." + name + ".XXXXXX";
        pattern.insert(pattern.end(), hidden.begin(), hidden.end());
        pattern.push_back('\0');
        const int fd = mkstemp(pattern.data());
        if (fd < 0)
            return false;
        temp = pattern.data();
        const mode_t mask = umask(0);
        umask(mask);
        fchmod(fd, 0666 & ~mask); // as a file the command created by its name would be
        file = fdopen(fd, "wb");
        if (!file) {
            close(fd);
            discard();
            return false;
        }
        return true;
    }
    bool commit() {
        const bool written = file && std::fflush(file) == 0 && !std::ferror(file);
        const bool closed = file && std::fclose(file) == 0;
        file = nullptr;
        if (!written || !closed || std::rename(temp.c_str(), path.c_str()) != 0) {
            discard();
            return false;
        }
        temp.clear();
        return true;
    }
    void discard() {
        if (file)
            std::fclose(file);
        file = nullptr;
        if (!temp.empty())
            std::remove(temp.c_str());
        temp.clear();
    }
    ~Output() { discard(); }
};

bool parse_number(const char *text, long low, long high, long &value) {
    char *end = nullptr;
    errno = 0;
    const long long v = std::strtoll(text, &end, 10);
    if (errno || end == text || *end || v < low || v > high)
        return false;
    value = static_cast<long>(v);
    return true;
}

struct Arguments {
    long start_time = -1, hold_ms = 1000, limit_seconds = default_limit_seconds;
    bool logging = false;
    std::string frames, log, script, gif;
};

// False, after saying why, when the command line is not one the command takes.
bool parse(int argc, char **argv, Arguments &a) {
    std::vector<std::string> plain;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool has_value = i + 1 < argc;
        long value = 0;
        if (arg == "--start-time" || arg == "--hold" || arg == "--limit") {
            // The year 9999; a day, in milliseconds or in seconds (the clock counts
            // milliseconds in 32 bits, which a day of seconds would overflow).
            const long high = arg == "--start-time" ? 253402300799L : arg == "--hold" ? 86400000L : 86400L;
            if (!has_value || !parse_number(argv[++i], 0, high, value)) {
                say(arg + " takes a whole number from 0 to " + std::to_string(high));
                return false;
            }
            (arg == "--start-time" ? a.start_time : arg == "--hold" ? a.hold_ms : a.limit_seconds) = value;
        } else if (arg == "--frames" || arg == "--log") {
            if (!has_value || !*argv[i + 1]) {
                say(arg + " takes a " + (arg == "--frames" ? "folder" : "file name"));
                return false;
            }
            (arg == "--frames" ? a.frames : a.log) = argv[++i];
        } else if (arg == "--logging") {
            a.logging = true;
        } else if (arg == "--help" || arg == "-h") {
            std::printf(usage, program_name);
            std::exit(0);
        } else if (arg.size() > 1 && arg[0] == '-') {
            say("unknown option " + arg);
            return false;
        } else {
            plain.push_back(arg);
        }
    }
    if (plain.size() != 2) {
        std::fprintf(stderr, usage, program_name);
        return false;
    }
    a.script = plain[0];
    a.gif = plain[1];
    return true;
}

// Hundredths of a second, the unit of a GIF's delays, at virtual time ms.
long centiseconds(uint32_t ms) {
    return static_cast<long>((ms + 5) / 10);
}

struct Replay {
    const Arguments &args;
    Output gif_output;
    kelpa_replay::GifFile gif;
    bool gif_open = false;
    long frames_written = 0;
    long shown_cs = 0;              // the GIF's time so far, in its own hundredths of a second
    kelpa_testing::Picture dropped; // the latest picture left out, if it was the latest
    bool has_dropped = false;
    bool failed = false; // an output could not be written: the reason already said

    explicit Replay(const Arguments &a) : args(a) {}

    // A picture that was on screen from from_ms to to_ms. Its delay ends where the virtual
    // time ends, rounded, so the GIF's clock never drifts from the replay's. A picture shown
    // for less than a hundredth of a second is left out, unless it turns out to be the last.
    void frame(const kelpa_testing::Picture &picture, uint32_t from_ms, uint32_t to_ms) {
        if (frames_written == 0 && !has_dropped)
            shown_cs = centiseconds(from_ms);
        const long end_cs = centiseconds(to_ms);
        has_dropped = end_cs <= shown_cs;
        if (has_dropped)
            dropped = picture;
        else
            write(picture, end_cs - shown_cs);
        shown_cs = std::max(shown_cs, end_cs);
    }

    void write(const kelpa_testing::Picture &picture, long delay_cs) {
        if (failed)
            return;
        if (!gif_open)
            gif_open = gif.open(gif_output.file, picture.width, picture.height);
        if (!gif.add(picture, static_cast<int>(delay_cs))) {
            say("cannot write " + args.gif + ": " + std::strerror(errno ? errno : EIO));
            failed = true;
            return;
        }
        ++frames_written;
        if (!args.frames.empty()) {
            char name[32];
            std::snprintf(name, sizeof name, "/frame-%06ld.png", frames_written);
            const std::string path = args.frames + name, temp = args.frames + "/." + (name + 1);
            if (!kelpa_testing::save_picture(picture, temp) || std::rename(temp.c_str(), path.c_str()) != 0) {
                std::remove(temp.c_str());
                say("cannot write " + path);
                failed = true;
            }
        }
    }

    // The last picture stays for the hold after the end of the file.
    void finish() {
        const int hold_cs = static_cast<int>((args.hold_ms + 5) / 10);
        if (has_dropped)
            write(dropped, std::max(1, hold_cs));
        else
            gif.extend(hold_cs);
        if (gif_open && !gif.close() && !failed) {
            say("cannot write " + args.gif);
            failed = true;
        }
    }
};

bool is_folder(const std::string &path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

} // namespace

int main(int argc, char **argv) {
    if (argc > 0 && argv[0] && *argv[0]) {
        const char *slash = std::strrchr(argv[0], '/');
        program_name = slash ? slash + 1 : argv[0];
    }
    Arguments args;
    if (!parse(argc, argv, args))
        return 2;
    if (!args.frames.empty() && !is_folder(args.frames)) {
        say("--frames: no folder " + args.frames);
        return 1;
    }
    Replay replay(args);
    Output log_output;
    if (!replay.gif_output.create(args.gif)) {
        say("cannot write " + args.gif + ": " + std::strerror(errno));
        return 1;
    }
    if (!args.log.empty() && !log_output.create(args.log)) {
        say("cannot write " + args.log + ": " + std::strerror(errno));
        return 1;
    }

    kelpa_testing::ReplayOptions options;
    options.start_time = args.start_time;
    options.logging = args.logging;
    options.limit_ms = static_cast<uint32_t>(args.limit_seconds * 1000);
    options.frame = [&](const kelpa_testing::Picture &picture, uint32_t from_ms, uint32_t to_ms) {
        replay.frame(picture, from_ms, to_ms);
    };
    const kelpa_testing::Replayed result = kelpa_testing::replay(game_main, args.script, options);
    if (result.end == kelpa_testing::Replayed::NOT_OPENED) {
        say("cannot open script file " + args.script);
        return 1;
    }
    if (args.start_time < 0)
        std::printf("start time %lld (--start-time %lld replays the same)\n",
                    static_cast<long long>(result.start_time), static_cast<long long>(result.start_time));
    switch (result.end) {
    case kelpa_testing::Replayed::BAD_LINE:
        say(args.script + ":" + std::to_string(result.line) +
            ": not an event (KELPA_MOUSE, KELPA_KBD or KELPA_PERIODIC); the playback stopped there");
        break;
    case kelpa_testing::Replayed::TIME_LIMIT:
        say(args.script + " plays longer than " + std::to_string(args.limit_seconds) +
            " s; the replay stops there (--limit)");
        break;
    default: break;
    }
    replay.finish();

    if (log_output.file)
        for (const std::string &line : kelpa_testing::all_log_lines())
            std::fprintf(log_output.file, "%s\n", line.c_str());
    if (replay.failed)
        return 1;
    if (!replay.gif_output.commit()) {
        say("cannot write " + args.gif + ": " + std::strerror(errno));
        return 1;
    }
    if (log_output.file && !log_output.commit()) {
        say("cannot write " + args.log + ": " + std::strerror(errno));
        return 1;
    }
    return 0;
}
