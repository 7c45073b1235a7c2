// SPDX-License-Identifier: GPL-3.0-or-later
#include "engine/Version.h"

// TESSEL_VERSION_MAJOR, _MINOR and _MICRO come from the build, for this file alone, so a new
// version rebuilds one file.
static_assert(TESSEL_VERSION_MINOR < 100 && TESSEL_VERSION_MICRO < 100,
              "the vendor and LV2 versions hold two digits each for minor and micro");

namespace version {

#define TESSEL_STRINGIFY_(x) #x
#define TESSEL_STRINGIFY(x) TESSEL_STRINGIFY_(x)

int majorNumber() {
    return TESSEL_VERSION_MAJOR;
}

int minorNumber() {
    return TESSEL_VERSION_MINOR;
}

int microNumber() {
    return TESSEL_VERSION_MICRO;
}

const char* text() {
    return TESSEL_STRINGIFY(TESSEL_VERSION_MAJOR) "." TESSEL_STRINGIFY(
        TESSEL_VERSION_MINOR) "." TESSEL_STRINGIFY(TESSEL_VERSION_MICRO);
}

int vendorVersion() {
    return 10000 * majorNumber() + 100 * minorNumber() + microNumber();
}

int lv2MinorVersion() {
    return 2 * (100 * majorNumber() + minorNumber());
}

int lv2MicroVersion() {
    return 2 * microNumber();
}

} // namespace version
