// Feeds arbitrary bytes, as if from the serial port, through line collection
// and record decoding. The first byte picks the port so that refused ports
// are exercised too.
#include <cstddef>
#include <cstdint>

#include "LineAssembler.h"
#include "RecordProcessor.h"

namespace {
class NullView : public StationView {
public:
    void SetLabelText(int, std::string_view text) override { sink_ += text.size(); }
    void ShowCompassPicture(std::string_view name) override { sink_ += name.size(); }
    void PumpOneMessage() override {}
    std::size_t sink_ = 0;
};
}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    StationState state;
    NullView view;
    RecordProcessor processor(state, view);
    LineAssembler assembler([&](const char* line) { processor.ProcessLine(line, false); });
    const int port = data[0] % 6;
    for (std::size_t i = 1; i < size; ++i) assembler.OnSerialCharacter(data[i], port);
    if (state.compassIndex < 0 || state.compassIndex > 15) __builtin_trap();
    if (state.windDirAvg < 0 || state.windDirAvg > 255) __builtin_trap();
    return 0;
}
