// Feeds arbitrary bytes to every reader of outside data: native raw rows, the FITS reader of
// each layout and the operand reader, and the settings file. The first byte picks the reader.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <vector>

#include "core/session.h"
#include "image/fits_file.h"
#include "image/native_file.h"
#include "image/settings_file.h"
#include "support/recording_ui.h"
#include "support/test_clock.h"

namespace {

talvor::ImageStore& Store() {
    static auto store = talvor::CreateImageStore();
    return *store;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    if (size == 0) {
        return 0;
    }
    const std::vector<uint8_t> bytes(data + 1, data + size);
    talvor::ImageStore& store = Store();
    talvor::WorkingState state;
    switch (data[0] % 6) {
        case 0:
            talvor::DecodeNativeFile(bytes, false, store.CurrentImage);
            break;
        case 1:
            talvor::DecodeNativeFile(bytes, true, store.SecondImage);
            break;
        case 2:
        case 3:
        case 4:
            talvor::DecodeFitsFile(bytes, data[0] % 6 - 1, store.CurrentImage, state);
            talvor::DecodeFitsOperand(bytes, store.SecondImage, state);
            break;
        default: {
            talvor::testing::TestClock clock;
            talvor::testing::RecordingUi ui(clock);
            talvor::Session session(store, talvor::DataDirectory("/nonexistent"), clock, ui);
            talvor::DecodeSettings(bytes, session);
            break;
        }
    }
    return 0;
}
