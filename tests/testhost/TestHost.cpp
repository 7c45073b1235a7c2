// SPDX-License-Identifier: GPL-3.0-or-later
#include "testhost/TestHost.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <stdexcept>

#ifdef _WIN32
#include <windows.h>
#else
#include <dlfcn.h>
#endif

namespace {

// Loading the library is the one part that differs between the systems.
#ifdef _WIN32
void* openLibrary(const char* path) {
    return LoadLibraryA(path);
}
void* findSymbol(void* library, const char* name) {
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(library), name));
}
void closeLibrary(void* library) {
    FreeLibrary(static_cast<HMODULE>(library));
}
std::string loadError() {
    return "LoadLibraryA failed: error " + std::to_string(GetLastError());
}
#else
void* openLibrary(const char* path) {
    return dlopen(path, RTLD_NOW | RTLD_LOCAL);
}
void* findSymbol(void* library, const char* name) {
    return dlsym(library, name);
}
void closeLibrary(void* library) {
    dlclose(library);
}
std::string loadError() {
    return std::string("dlopen failed: ") + dlerror();
}
#endif

// Which host answers for which record. The entry point calls back before it has a record;
// those calls go to the host that is loading on this thread.
std::mutex registryMutex;
std::map<AEffect*, TestHost*> registry;
thread_local TestHost* loadingHost = nullptr;

TestHost* hostFor(AEffect* effect) {
    if (effect == nullptr) return loadingHost;
    std::lock_guard lock(registryMutex);
    auto it = registry.find(effect);
    return it != registry.end() ? it->second : loadingHost;
}

using EntryProc = AEffect* (*)(audioMasterCallback);

} // namespace

TestHost::TestHost(const char* pluginPath) {
    handle = openLibrary(pluginPath);
    if (handle == nullptr) throw std::runtime_error(loadError());
}

TestHost::~TestHost() {
    if (aeffect != nullptr) close();
    if (handle != nullptr) closeLibrary(handle);
}

void* TestHost::symbol(const char* name) const {
    return findSymbol(handle, name);
}

bool TestHost::load(const char* entryName) {
    auto entry = reinterpret_cast<EntryProc>(symbol(entryName));
    if (entry == nullptr) return false;
    loadingHost = this;
    aeffect = entry(&TestHost::callback);
    loadingHost = nullptr;
    if (aeffect != nullptr) {
        std::lock_guard lock(registryMutex);
        registry[aeffect] = this;
    }
    return aeffect != nullptr;
}

VstIntPtr TestHost::close() {
    if (aeffect == nullptr) return 0;
    VstIntPtr result = aeffect->dispatcher(aeffect, effClose, 0, 0, nullptr, 0.0f);
    std::lock_guard lock(registryMutex);
    registry.erase(aeffect);
    aeffect = nullptr;
    return result;
}

VstIntPtr TestHost::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                             float opt) {
    if (opcode == effClose) return close();
    return aeffect->dispatcher(aeffect, opcode, index, value, ptr, opt);
}

void TestHost::setParameter(VstInt32 index, float value) {
    aeffect->setParameter(aeffect, index, value);
}

float TestHost::getParameter(VstInt32 index) {
    return aeffect->getParameter(aeffect, index);
}

void TestHost::processReplacing(float** inputs, float** outputs, VstInt32 frames) {
    aeffect->processReplacing(aeffect, inputs, outputs, frames);
}

void TestHost::process(const std::vector<float>& inL, const std::vector<float>& inR,
                       std::vector<float>& outL, std::vector<float>& outR, int blockSize) {
    size_t n = inL.size();
    outL.assign(n, 0.0f);
    outR.assign(n, 0.0f);
    for (size_t pos = 0; pos < n; pos += static_cast<size_t>(blockSize)) {
        auto frames =
            static_cast<VstInt32>(std::min<size_t>(static_cast<size_t>(blockSize), n - pos));
        float* in[2] = {const_cast<float*>(inL.data() + pos), const_cast<float*>(inR.data() + pos)};
        float* out[2] = {outL.data() + pos, outR.data() + pos};
        processReplacing(in, out, frames);
    }
}

namespace {
std::string textOf(TestHost& host, VstInt32 opcode, VstInt32 index) {
    char text[256];
    std::memset(text, 0, sizeof text);
    host.dispatch(opcode, index, 0, text);
    return text;
}
} // namespace

std::string TestHost::paramName(VstInt32 index) {
    return textOf(*this, effGetParamName, index);
}
std::string TestHost::paramLabel(VstInt32 index) {
    return textOf(*this, effGetParamLabel, index);
}
std::string TestHost::paramDisplay(VstInt32 index) {
    return textOf(*this, effGetParamDisplay, index);
}
std::string TestHost::programName() {
    return textOf(*this, effGetProgramName, 0);
}

void TestHost::resume(float sampleRate, VstInt32 blockSize) {
    dispatch(effSetSampleRate, 0, 0, nullptr, sampleRate);
    dispatch(effSetBlockSize, 0, blockSize);
    dispatch(effMainsChanged, 0, 1);
}

void TestHost::suspend() {
    dispatch(effMainsChanged, 0, 0);
}

std::vector<TestHost::Call> TestHost::calls() const {
    std::lock_guard lock(callMutex);
    return log;
}

std::vector<TestHost::Call> TestHost::callsOf(VstInt32 opcode) const {
    std::lock_guard lock(callMutex);
    std::vector<Call> out;
    for (const Call& c : log)
        if (c.opcode == opcode) out.push_back(c);
    return out;
}

void TestHost::clearCalls() {
    std::lock_guard lock(callMutex);
    log.clear();
}

std::string TestHost::gesture(VstInt32 index, std::vector<float>* values) const {
    std::string result;
    for (const Call& call : calls()) {
        if (call.index != index) continue;
        if (call.opcode == audioMasterBeginEdit) result += 'b';
        if (call.opcode == audioMasterEndEdit) result += 'e';
        if (call.opcode == audioMasterAutomate) {
            result += 'a';
            if (values != nullptr) values->push_back(call.opt);
        }
    }
    return result;
}

bool TestHost::isOneGesture(const std::string& calls) {
    return calls.size() >= 3 && calls.front() == 'b' && calls.back() == 'e' &&
           calls.find_first_not_of('a', 1) == calls.size() - 1;
}

VstIntPtr TestHost::callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                             void* ptr, float opt) {
    TestHost* host = hostFor(effect);
    if (host == nullptr) return 0;
    return host->answer(opcode, index, value, ptr, opt);
}

VstIntPtr TestHost::answer(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) {
    {
        std::lock_guard lock(callMutex);
        Call call{opcode, index, value, opt, {}};
        if (opcode == audioMasterCanDo && ptr != nullptr) call.text = static_cast<char*>(ptr);
        log.push_back(call);
    }
    switch (opcode) {
    case audioMasterVersion:
        return versionAnswer;
    case audioMasterGetProductString:
        if (!productString || ptr == nullptr) return 0;
        std::strncpy(static_cast<char*>(ptr), productString->c_str(), 63);
        static_cast<char*>(ptr)[63] = '\0';
        return 1;
    case audioMasterPinConnected: {
        if (index < 0 || index > 1) return 1;
        bool connected = value == 0 ? inputConnected[index] : outputConnected[index];
        return connected ? 0 : 1; // 0 means connected
    }
    case audioMasterGetTime:
        if (!timeInfo) return 0;
        timeAnswer = *timeInfo;
        return reinterpret_cast<VstIntPtr>(&timeAnswer);
    case audioMasterGetOutputLatency:
        return outputLatency;
    case audioMasterCanDo:
        return canDoAnswer;
    case audioMasterBeginEdit:
    case audioMasterEndEdit:
    case audioMasterAutomate:
    case audioMasterWantMidi:
    case audioMasterUpdateDisplay:
        return 1;
    default:
        return 0;
    }
}
