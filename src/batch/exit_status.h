#pragma once

namespace talvor {

// Exit status of talvor-batch: success, the operation refused or failed, a wrong command line.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

}  // namespace talvor
