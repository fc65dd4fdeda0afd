// Writes the template work store that new jobs' stores are copied from.
#include <cstdio>
#include <exception>

#include "engine/work_store.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_blank_store OUT.GLD\n");
        return 2;
    }
    try {
        gleanery::WorkStore::createTemplate(argv[1]);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "make_blank_store: %s\n", e.what());
        return 1;
    }
    return 0;
}
