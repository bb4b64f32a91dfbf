#include "common/InterleavingPause.h"

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "common/Platform.h"

namespace qm {

void pauseAfterReading() {
    static bool paused = false;
    const auto signal = platform::environmentVariable("QUILLMERE_PAUSE_AFTER_READ");
    if (paused || !signal) {
        return;
    }
    paused = true;  // once per process: a command that calls another pauses at its own point
    const std::filesystem::path file = platform::pathFromUtf8(*signal);
    std::ofstream(file) << "paused\n";
    const auto giveUp = std::chrono::steady_clock::now() + std::chrono::minutes(1);
    std::error_code error;
    while (std::filesystem::exists(file, error) && std::chrono::steady_clock::now() < giveUp) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
}

}  // namespace qm
