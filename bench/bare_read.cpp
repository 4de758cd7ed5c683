// velmora-bench-read FILE: reads FILE with read() and a 256 KiB buffer and does nothing else;
// the floor under any program that reads the whole file.

#include <array>
#include <fcntl.h>
#include <unistd.h>

int main(int argc, char** argv) {
    if (argc != 2) {
        return 2;
    }
    const int file = open(argv[1], O_RDONLY);
    if (file < 0) {
        return 1;
    }
    static std::array<char, std::size_t{256} * 1024> buffer;
    while (read(file, buffer.data(), buffer.size()) > 0) {
    }
    close(file);
    return 0;
}
