// What a session does to "KELPA.SCR" behind the library's back: fuzzed text written in place
// or as a new file, the file cut to nothing or removed, a directory, socket, link or FIFO of
// that name, a disk that is full; and what the name holds. Everything lives in one scratch directory per
// process, removed at exit.
#pragma once

#include "fuzz_session.h"

#include <dirent.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <optional>
#include <string>

namespace fuzz {

inline const char script_name[] = "KELPA.SCR";

// The scratch directory is the working directory while an input runs, and libFuzzer's own
// between inputs, so relative corpus paths keep their meaning. It is made at the first input
// and removed when libFuzzer ends the run through exit(); a crash leaves it for inspection.
class InScratchDir {
  public:
    InScratchDir() {
        if (chdir(scratch().path.c_str()) != 0)
            fail("enter the scratch dir");
    }
    ~InScratchDir() {
        if (chdir(scratch().home.c_str()) != 0)
            fail("leave the scratch dir");
    }

  private:
    struct Scratch {
        std::string home, path;
        Scratch() {
            char pattern[] = "/tmp/kelpa_fuzz_XXXXXX";
            if (!mkdtemp(pattern))
                fail("scratch dir");
            path = pattern;
            home = std::filesystem::current_path().string();
        }
        ~Scratch() {
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
    };
    static Scratch &scratch() {
        static Scratch s;
        return s;
    }
};

inline void remove_script() {
    std::error_code ignored;
    std::filesystem::remove_all(script_name, ignored);
}

// replace: a new file (a stream the library holds keeps reading the old one); otherwise the
// same file emptied and rewritten under the library's open stream.
inline void write_script(const std::string &text, bool replace) {
    std::error_code ignored;
    if (replace || !std::filesystem::is_regular_file(script_name, ignored))
        remove_script();
    FILE *out = std::fopen(script_name, "wb");
    if (!out)
        fail("write KELPA.SCR");
    std::fwrite(text.data(), 1, text.size(), out);
    std::fclose(out);
}

// Cut to nothing in place, as another program truncating it would: a stream the library
// holds stays open on it. Only a regular file (not through a link); false if there was none.
inline bool cut_script() {
    struct stat info;
    return lstat(script_name, &info) == 0 && S_ISREG(info.st_mode) && truncate(script_name, 0) == 0;
}

// What the name holds: no file, or a regular file's bytes; none for anything else.
struct FileContent {
    bool exists = false;
    std::string text;
};

inline std::optional<FileContent> read_script_file() {
    struct stat info;
    if (lstat(script_name, &info) != 0)
        return FileContent{};
    if (!S_ISREG(info.st_mode))
        return std::nullopt;
    FILE *file = std::fopen(script_name, "rb");
    if (!file)
        fail("read KELPA.SCR");
    FileContent content{true, ""};
    char buffer[4096];
    for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
        content.text.append(buffer, n);
    std::fclose(file);
    return content;
}

enum class Special { missing, directory, socket, dev_null, dev_full, dangling_link, fifo, count };

inline void make_special(Special kind) {
    remove_script();
    switch (kind) {
    case Special::missing: break;
    case Special::directory: mkdir(script_name, 0700); break;
    case Special::socket: {
        const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::snprintf(address.sun_path, sizeof address.sun_path, "%s", script_name);
        if (fd < 0 || bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address) != 0)
            fail("socket");
        close(fd); // the name stays; nobody listens
        break;
    }
    case Special::dev_null: symlink("/dev/null", script_name); break;
    case Special::dev_full: symlink("/dev/full", script_name); break;
    case Special::dangling_link: symlink("no/such/dir/KELPA.SCR", script_name); break;
    case Special::fifo: mkfifo(script_name, 0600); break;
    case Special::count: break;
    }
}

// While it lives, no file of the process can grow, as on a full disk: a write fails with EFBIG
// (its signal ignored). Kept to single calls of the library, as a crash inside one would
// leave libFuzzer's artifact empty.
class FullDisk {
  public:
    explicit FullDisk(bool full) : full_(full) {
        if (!full_)
            return;
        static const bool ignored = signal(SIGXFSZ, SIG_IGN) != SIG_ERR;
        (void)ignored;
        getrlimit(RLIMIT_FSIZE, &saved_);
        rlimit none = saved_;
        none.rlim_cur = 0;
        setrlimit(RLIMIT_FSIZE, &none);
    }
    ~FullDisk() {
        if (full_)
            setrlimit(RLIMIT_FSIZE, &saved_);
    }

  private:
    bool full_;
    rlimit saved_{};
};

// Open descriptors of the process.
inline int open_fds() {
    DIR *dir = opendir("/proc/self/fd");
    if (!dir)
        fail("/proc/self/fd");
    int n = 0;
    while (readdir(dir))
        ++n;
    closedir(dir);
    return n;
}

} // namespace fuzz
