// Placeholder entry point; replaced by the real one with the effect.
#include "host/vst2.h"

extern "C" __attribute__((visibility("default"))) AEffect* VSTPluginMain(audioMasterCallback) {
    return nullptr;
}
