// SPDX-License-Identifier: GPL-3.0-or-later
// The factory-program renders of the built plug-in, made through the test host
// (testhost/TestHost.h) on Linux and on Windows so they can be compared sample for sample.
#pragma once

#include <string>
#include <vector>

// The fixed input of the renders: seeded noise bursts and a falling saw, made with integer
// arithmetic and exact float operations only, so every system makes the same samples.
std::vector<float> renderInput(int frames, unsigned seed);

inline constexpr int kRenderFrames = 44100;
inline constexpr int kRenderBlock = 512;

// Every factory program of the plug-in at `path`, each in a new instance at 44.1 kHz with the
// program's 48 values set through setParameter, over kRenderFrames of the fixed input: the
// left then the right output of program 0, then of program 1, and so on. Empty when an
// instance fails.
std::vector<float> renderFactoryPrograms(const char* path);

// The host's texts of every factory program: for each program and each of the 96
// parameters a line "program index: name | label | display". Empty when an instance fails.
std::string factoryProgramTexts(const char* path);
