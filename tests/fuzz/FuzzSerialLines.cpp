// SPDX-License-Identifier: GPL-3.0-or-later
// Feeds arbitrary bytes, as if from the serial port, through line collection
// and record decoding. The first byte picks the port so that refused ports
// are exercised too.
#include <cstddef>
#include <cstdint>

#include "HeadlessView.h"
#include "LineAssembler.h"
#include "RecordProcessor.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    StationState state;
    HeadlessView view;
    RecordProcessor processor(state, view);
    LineAssembler assembler([&](const char* line) { processor.ProcessLine(line); });
    const int port = data[0] % 6;
    for (std::size_t i = 1; i < size; ++i) assembler.OnSerialCharacter(data[i], port);
    if (state.compassIndex < 0 || state.compassIndex > 15) __builtin_trap();
    if (state.windDirAvg < 0 || state.windDirAvg > 255) __builtin_trap();
    return 0;
}
