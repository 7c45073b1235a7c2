// SPDX-License-Identifier: GPL-3.0-or-later
// Copies between the bank's programs and the records of bank and preset files.
#pragma once

#include "presets/CProgram.h"
#include "presets/FileFormats.h"

class CPresetSystemEffect;

// The program's name and 48 values as a file record.
ProgramRecord recordOf(const CProgram& program);
// Replaces the program's name and values with the record's (values clamped by the program).
void storeRecord(CProgram& program, const ProgramRecord& record);
// Replaces all 61 programs of the bank; the engine is not touched.
void storeBankRecords(CPresetSystemEffect& effect, const BankRecords& records);
