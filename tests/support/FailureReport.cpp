#include "support/FailureReport.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <iostream>
#include <map>
#include <mutex>

#include "support/ScreenCapture.h"
#include "support/Text.h"
#include "util/WideText.h"

namespace support {

namespace {

struct Watched {
    std::mutex mutex;
    std::map<int, WindowDescriber> describers;
    int nextId = 0;
};

Watched& TheWatched() {
    static Watched watched;
    return watched;
}

class FailureListener : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override { reported = false; }

    void OnTestPartResult(const ::testing::TestPartResult& result) override {
        if (!result.failed() || reported) return;
        reported = true;
        const ::testing::TestInfo* test = ::testing::UnitTest::GetInstance()->current_test_info();
        const std::string name = test != nullptr
                                     ? std::string(test->test_suite_name()) + "." + test->name()
                                     : std::string("outside-a-test");
        const std::string shot = BesideProgram("failed-" + name + ".bmp");
        const RECT screen = WholeScreen();
        if (SaveBitmap(WideFromUtf8(shot), CaptureScreen(screen), screen.right, screen.bottom))
            std::cout << "screenshot: " << shot << "\n";
        std::lock_guard<std::mutex> lock(TheWatched().mutex);
        for (const auto& watched : TheWatched().describers) std::cout << watched.second();
    }

    bool reported = false;
};

// Installed as the program starts, before its tests run.
const bool installed = [] {
    ::testing::UnitTest::GetInstance()->listeners().Append(new FailureListener);
    return true;
}();

}  // namespace

int WatchWindows(WindowDescriber describe) {
    std::lock_guard<std::mutex> lock(TheWatched().mutex);
    const int id = ++TheWatched().nextId;
    TheWatched().describers[id] = std::move(describe);
    return id;
}

void UnwatchWindows(int id) {
    std::lock_guard<std::mutex> lock(TheWatched().mutex);
    TheWatched().describers.erase(id);
}

}  // namespace support
