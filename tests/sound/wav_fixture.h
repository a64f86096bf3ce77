// Shared fixture of the WAV tests: trace lines and pop-ups captured, seams reset after each test.
#pragma once

#include "platform/test_seams.h"
#include "tests/sound/wav_builder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace wavtest {

class WavTest : public ::testing::Test {
protected:
    void SetUp() override {
        seams::CaptureDebugOutput(true);
        seams::CaptureMessageBoxes(true);
    }
    void TearDown() override {
        seams::ResetAll();
        seams::ClearFailures();
        seams::TakeDebugOutput();
        seams::TakeMessageBoxes();
        seams::CaptureDebugOutput(false);
        seams::CaptureMessageBoxes(false);
    }

    std::string File(const std::string &name, const Bytes &bytes) {
        const auto path = m_folder / name;
        WriteFile(path, bytes);
        return path.string();
    }

    // The call texts of the trace lines since the last call, in order.
    static std::vector<std::string> Traces() {
        std::vector<std::string> calls;
        const std::string text = seams::TakeDebugOutput();
        std::size_t start = 0;
        while (start < text.size()) {
            std::size_t end = text.find('\n', start);
            if (end == std::string::npos)
                end = text.size();
            const std::string line = text.substr(start, end - start);
            const std::size_t colon = line.find("): ");
            const std::size_t code = line.rfind(" hr=");
            if (line.rfind("dsutil(", 0) == 0 && colon != std::string::npos &&
                code != std::string::npos)
                calls.push_back(line.substr(colon + 3, code - colon - 3));
            else
                calls.push_back("?" + line);
            start = end + 1;
        }
        return calls;
    }
    static std::size_t PopUps() { return seams::TakeMessageBoxes().size(); }

    TempFolder m_folder;
};

} // namespace wavtest
