// SPDX-License-Identifier: GPL-3.0-or-later
#include "presets/ProgramRecords.h"

#include "presets/CPresetSystemEffect.h"

ProgramRecord recordOf(const CProgram& program) {
    ProgramRecord record;
    record.name = program.name();
    for (std::size_t j = 0; j < kFileParams; ++j)
        record.values[j] = program.getParameter(static_cast<std::uint32_t>(j));
    return record;
}

void storeRecord(CProgram& program, const ProgramRecord& record) {
    program.setName(record.name.c_str());
    for (std::size_t j = 0; j < kFileParams; ++j)
        program.setParameter(static_cast<std::uint32_t>(j), record.values[j]);
}

void storeBankRecords(CPresetSystemEffect& effect, const BankRecords& records) {
    for (std::size_t i = 0; i < kFilePrograms; ++i)
        if (CProgram* program = effect.getProgramAt(static_cast<VstInt32>(i)))
            storeRecord(*program, records[i]);
}
