// velmora-peak-memory OUTPUT PROGRAM [ARGUMENT...]
// Runs PROGRAM with its standard output in OUTPUT (emptied first) and its errors discarded, then
// prints its exit status and peak resident memory in KiB: "<status> <KiB>".
//
// Linux counts in a program's peak the memory of the process it was started from, up to the
// moment it starts. Measured from a large process (a test, a benchmark), every program would seem
// as large as that; started from this small one, the figure is the program's own.

#include <cstdio>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fputs("usage: velmora-peak-memory OUTPUT PROGRAM [ARGUMENT...]\n", stderr);
        return 2;
    }
    const pid_t child = fork();
    if (child == 0) {
        const int output = open(argv[1], O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int nothing = open("/dev/null", O_WRONLY);
        if (output < 0 || nothing < 0 || dup2(output, 1) < 0 || dup2(nothing, 2) < 0) {
            _exit(127);
        }
        execv(argv[2], argv + 2);
        _exit(127);
    }
    if (child < 0) {
        std::perror("fork");
        return 1;
    }
    int status = 0;
    rusage usage{};
    if (wait4(child, &status, 0, &usage) < 0) {
        std::perror("wait4");
        return 1;
    }
    std::printf("%d %ld\n", WIFEXITED(status) ? WEXITSTATUS(status) : -1, usage.ru_maxrss);
    return 0;
}
