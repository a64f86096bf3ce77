// Test helper: a headless device (the drawing-pipeline fixture) with a scratch folder for the
// picture, DDS and X files the utility-library tests write.
#pragma once

#include "platform/d3dx/d3dx8.h"
#include "tests/platform/d3d8/pipeline_fixture.h"

#include <filesystem>
#include <functional>
#include <string>
#include <unistd.h>

namespace d3dx_test {

class DeviceTest : public pipeline_test::PipelineTest {
protected:
    void SetUp() override {
        PipelineTest::SetUp();
        m_folder = std::filesystem::temp_directory_path() /
                   ("tarvos-d3dx-" + std::to_string(::getpid()) + "-" +
                    ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(m_folder);
    }
    void TearDown() override {
        std::error_code ignored;
        std::filesystem::remove_all(m_folder, ignored);
        PipelineTest::TearDown();
    }

    std::string Path(const std::string &name) const { return (m_folder / name).string(); }

    std::string Write(const std::string &name, const std::vector<std::uint8_t> &bytes) {
        std::string error;
        EXPECT_TRUE(image::WriteFileBytes(Path(name), bytes, error)) << error;
        return Path(name);
    }
    std::string WriteText(const std::string &name, const std::string &text) {
        return Write(name, std::vector<std::uint8_t>(text.begin(), text.end()));
    }

    // A picture whose texel (x, y) is pixel(x, y) as 0xAARRGGBB.
    static image::Rgba8Image Picture(std::uint32_t width, std::uint32_t height,
                                     const std::function<std::uint32_t(int, int)> &pixel) {
        image::Rgba8Image picture;
        picture.width = width;
        picture.height = height;
        picture.hasAlpha = true;
        for (std::uint32_t y = 0; y < height; ++y)
            for (std::uint32_t x = 0; x < width; ++x) {
                const std::uint32_t c = pixel(static_cast<int>(x), static_cast<int>(y));
                picture.pixels.insert(picture.pixels.end(),
                                      {std::uint8_t(c >> 16), std::uint8_t(c >> 8), std::uint8_t(c),
                                       std::uint8_t(c >> 24)});
            }
        return picture;
    }

    std::string WritePng(const std::string &name, const image::Rgba8Image &picture,
                         bool alpha = true) {
        std::vector<std::uint8_t> png;
        std::string error;
        EXPECT_TRUE(image::EncodePng(picture, alpha, png, error)) << error;
        return Write(name, png);
    }

    std::filesystem::path m_folder;
};

} // namespace d3dx_test
