#pragma once

// A program starter that starts nothing: it remembers each start and what a watched file
// held at that moment, so a test sees that a file was written before a program was started.

#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "kit_test.h"
#include "interfaces/system.h"

namespace kit_test {

class RecordingStarter final : public platform::ProgramStarter {
  public:
    struct Start {
        std::string program;
        std::string working_directory;
        std::string watched_at_start;
    };

    explicit RecordingStarter(std::filesystem::path watched = {}) : watched_(std::move(watched)) {}

    void start(const std::string& program, const std::string& working_directory) override {
        starts.push_back(
            {program, working_directory, watched_.empty() ? std::string() : read_bytes(watched_)});
    }

    std::vector<Start> starts;

  private:
    std::filesystem::path watched_;
};

}  // namespace kit_test
