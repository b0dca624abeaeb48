#include "batch/batch_context.h"

#include "image/settings_file.h"

namespace talvor {

BatchContext::BatchContext(const std::filesystem::path& dataDirectory)
    : images_(CreateImageStore()), session_(*images_, DataDirectory(dataDirectory), clock_, ui_) {}

void BatchContext::ReadExistingSettings() {
    std::error_code error;
    if (std::filesystem::is_regular_file(session_.dataDirectory.Resolve(kSettingsFileName),
                                         error)) {
        ReadSettings(session_);
        ui_.ForgetMessages();
    }
}

}  // namespace talvor
