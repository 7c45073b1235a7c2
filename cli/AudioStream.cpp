// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/AudioStream.h"

#include <algorithm>

namespace cli {

long long BufferSource::read(float* left, float* right, long long frames, std::string&) {
    long long n = std::clamp(buffer.frames() - position, 0LL, std::max(frames, 0LL));
    std::copy_n(buffer.left.begin() + position, n, left);
    std::copy_n(buffer.right.begin() + position, n, right);
    position += n;
    return n;
}

bool BufferSink::write(const float* left, const float* right, long long frames, std::string&) {
    buffer.left.insert(buffer.left.end(), left, left + frames);
    buffer.right.insert(buffer.right.end(), right, right + frames);
    return true;
}

} // namespace cli
