// draftel-defgen MEGABYTES FILE: writes a synthetic definition file of about that size.
#include "defgen.h"

#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "Usage: draftel-defgen MEGABYTES FILE\n");
        return 2;
    }
    const double megabytes = std::atof(argv[1]);
    if (megabytes <= 0) {
        std::fprintf(stderr, "draftel-defgen: invalid size '%s'\n", argv[1]);
        return 2;
    }
    const std::string text = generateDefinitions(std::size_t(megabytes * 1024 * 1024));
    std::FILE* f = std::fopen(argv[2], "wb");
    if (!f || std::fwrite(text.data(), 1, text.size(), f) != text.size() || std::fclose(f) != 0) {
        std::perror(argv[2]);
        return 1;
    }
    return 0;
}
