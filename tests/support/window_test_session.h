#pragma once

#include <QTemporaryDir>
#include <memory>

#include "core/clock.h"
#include "core/data_directory.h"
#include "core/image_store.h"
#include "core/session.h"
#include "support/recording_ui.h"
#include "support/test_clock.h"

namespace talvor::testing {

// The session of one offscreen window test: start-up stores over a fresh temporary folder, a
// recording interface on a test clock of its own. Started in a test class's init() and stopped
// in its cleanup(), so every test function begins from start-up state. The session runs on the
// given clock, or on the interface's test clock.
struct WindowTestSession {
    void Start(Clock* sessionClock = nullptr) {
        folder = std::make_unique<QTemporaryDir>();
        images = CreateImageStore();
        clock = std::make_unique<TestClock>();
        ui = std::make_unique<RecordingUi>(*clock);
        session = std::make_unique<Session>(*images, DataDirectory(folder->path().toStdString()),
                                            sessionClock != nullptr ? *sessionClock : *clock, *ui);
    }

    // The session goes first: it holds references into the rest.
    void Stop() {
        session.reset();
        ui.reset();
        clock.reset();
        images.reset();
        folder.reset();
    }

    std::unique_ptr<QTemporaryDir> folder;
    ImageStoreOwner images;
    std::unique_ptr<TestClock> clock;
    std::unique_ptr<RecordingUi> ui;
    std::unique_ptr<Session> session;
};

}  // namespace talvor::testing
