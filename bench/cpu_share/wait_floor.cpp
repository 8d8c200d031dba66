// A process that only waits: poll() on a pipe that nobody writes, 50 ms at a time, as the
// halted game's timer wakes it. Its CPU share is the floor under the halted share on this
// machine, the cost of twenty wake-ups a second with no work in them (the kernel's switch
// in and out, and whatever the machine charges for waking an idle CPU).
#include <poll.h>
#include <unistd.h>

int main() {
    int fds[2];
    if (pipe(fds) != 0)
        return 1;
    pollfd waiting{fds[0], POLLIN, 0};
    for (;;)
        poll(&waiting, 1, 50);
}
