// SPDX-License-Identifier: GPL-3.0-or-later
// Tessel's version, one number for every edition and tool. The build sets it from the project
// version in the top-level CMakeLists.txt; everything else reads it from here.
#pragma once

namespace version {

int majorNumber();
int minorNumber();
int microNumber();
// "1.0.0".
const char* text();

// The VST 2 vendor version: 10000 × major + 100 × minor + micro, so 1.2.3 reads 10203 and
// every later release reads a larger number.
int vendorVersion();

// The LV2 description's lv2:minorVersion and lv2:microVersion. LV2 reads an odd minor or
// micro version, or minor version 0, as a development build that hosts may hide, and the
// plug-in's URI stands for its major version. Every build of ours is a release, and the URI
// stays the same across our major versions, so both numbers are doubled and the major one
// goes into the minor version: minor 2 × (100 × major + minor), micro 2 × micro (1.0.0
// becomes 200.0). They stay even and non-zero, and later releases always compare greater.
int lv2MinorVersion();
int lv2MicroVersion();

} // namespace version
