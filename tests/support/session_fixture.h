#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <random>
#include <string>

#include "core/image_store.h"
#include "core/session.h"
#include "support/recording_ui.h"
#include "support/test_clock.h"

namespace talvor::testing {

// A fresh temporary folder for one test, removed afterwards.
class TemporaryDirectory {
  public:
    TemporaryDirectory() {
        std::random_device random;
        path_ = std::filesystem::temp_directory_path() /
                ("talvor-test-" + std::to_string(random()) + std::to_string(random()));
        std::filesystem::create_directories(path_);
    }
    ~TemporaryDirectory() {
        std::error_code ignored;
        std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                     std::filesystem::perm_options::add, ignored);
        std::filesystem::remove_all(path_, ignored);
    }
    const std::filesystem::path& Path() const { return path_; }

  private:
    std::filesystem::path path_;
};

// A session over start-up stores, a test clock, a recording interface and a temporary data
// directory.
class SessionTest : public ::testing::Test {
  protected:
    SessionTest()
        : images(CreateImageStore()),
          ui(clock),
          session(*images, DataDirectory(folder.Path()), clock, ui) {}

    TemporaryDirectory folder;
    ImageStoreOwner images;
    TestClock clock;
    RecordingUi ui;
    Session session;
};

}  // namespace talvor::testing
