// SPDX-License-Identifier: GPL-3.0-or-later
// tessel-program-render <plug-in library> <output file>: writes the renders of every factory
// program (ProgramRender.h) as raw 32-bit floats in the machine's byte order, and their
// parameter texts into <output file>.texts. The Linux build's files are the reference the
// Windows build is compared with under Wine.
#include "windows/ProgramRender.h"

#include <exception>

#include <cstdio>
#include <string>

namespace {

bool writeBytes(const char* path, const void* data, std::size_t size) {
    std::FILE* file = std::fopen(path, "wb");
    if (file == nullptr) return false;
    bool written = std::fwrite(data, 1, size, file) == size;
    return std::fclose(file) == 0 && written;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: tessel-program-render <plug-in library> <output file>\n");
        return 2;
    }
    std::vector<float> samples;
    std::string texts;
    try {
        samples = renderFactoryPrograms(argv[1]);
        texts = factoryProgramTexts(argv[1]);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "tessel-program-render: cannot load %s: %s\n", argv[1], error.what());
        return 1;
    }
    if (samples.empty() || texts.empty()) {
        std::fprintf(stderr, "tessel-program-render: the plug-in made no instance\n");
        return 1;
    }
    std::string textsPath = std::string(argv[2]) + ".texts";
    if (!writeBytes(argv[2], samples.data(), samples.size() * sizeof(float)) ||
        !writeBytes(textsPath.c_str(), texts.data(), texts.size())) {
        std::fprintf(stderr, "tessel-program-render: cannot write %s\n", argv[2]);
        return 1;
    }
    return 0;
}
