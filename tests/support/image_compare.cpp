#include "tests/support/image_compare.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "host/image/png_writer.h"
#include "host/sim/screen.h"
#include "tests/support/image_decode.h"

namespace {

namespace fs = std::filesystem;

std::string save_png(const fs::path &path, const rgb_image_t &image)
{
    fs::create_directories(path.parent_path());
    const std::vector<std::uint8_t> png = encode_png(image);
    std::ofstream(path, std::ios::binary)
        .write(reinterpret_cast<const char *>(png.data()),
               static_cast<std::streamsize>(png.size()));
    return path.string();
}

rgb_image_t diff_image(const rgb_image_t &actual, const rgb_image_t &expected)
{
    rgb_image_t diff = expected;
    for (std::size_t i = 0; i + 2 < diff.rgb.size(); i += 3) {
        const bool differs = actual.rgb[i] != expected.rgb[i] ||
                             actual.rgb[i + 1] != expected.rgb[i + 1] ||
                             actual.rgb[i + 2] != expected.rgb[i + 2];
        for (std::size_t c = 0; c < 3; ++c)
            diff.rgb[i + c] = differs ? (c == 0 ? 255 : 0) : expected.rgb[i + c] / 4;
    }
    return diff;
}

std::string pixel_text(const rgb_image_t &image, std::size_t at)
{
    return std::to_string(image.rgb[at]) + " " + std::to_string(image.rgb[at + 1]) + " " +
           std::to_string(image.rgb[at + 2]);
}

::testing::AssertionResult failed_with_files(const std::string &name, const rgb_image_t &actual,
                                             const rgb_image_t *expected, const std::string &what)
{
    const fs::path dir = TEST_OUTPUT_DIR;
    auto result = ::testing::AssertionFailure() << name << ": " << what << "; actual picture in "
                                                << save_png(dir / (name + ".actual.png"), actual);
    if (expected != nullptr)
        result << ", differences in red in "
               << save_png(dir / (name + ".diff.png"), diff_image(actual, *expected));
    return result;
}

fs::path reference_path(const std::string &name)
{
    return fs::path(REFERENCE_DIR) / (name + ".png");
}

} // namespace

::testing::AssertionResult same_image(const std::string &name, const rgb_image_t &actual,
                                      const rgb_image_t &expected)
{
    if (actual.width != expected.width || actual.height != expected.height)
        return failed_with_files(
            name, actual, nullptr,
            std::to_string(actual.width) + " x " + std::to_string(actual.height) + " pixels, not " +
                std::to_string(expected.width) + " x " + std::to_string(expected.height));
    for (std::size_t at = 0; at < actual.rgb.size(); at += 3) {
        if (std::equal(&actual.rgb[at], &actual.rgb[at] + 3, &expected.rgb[at]))
            continue;
        const std::size_t pixel = at / 3;
        const std::size_t w = static_cast<std::size_t>(actual.width);
        return failed_with_files(name, actual, &expected,
                                 "first difference at column " + std::to_string(pixel % w) +
                                     ", row " + std::to_string(pixel / w) +
                                     " from the top: " + pixel_text(actual, at) + " instead of " +
                                     pixel_text(expected, at));
    }
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult same_afterglow(const std::string &name, const double *actual,
                                          const double *expected)
{
    for (std::size_t i = 0; i < SCREEN_POINTS; ++i) {
        if (actual[i] == expected[i])
            continue;
        const rgb_image_t want = frame_image(expected);
        return failed_with_files(name, frame_image(actual), &want,
                                 "first difference at x " + std::to_string(i / SCREEN_SIDE) +
                                     ", y " + std::to_string(i % SCREEN_SIDE) + ": " +
                                     std::to_string(actual[i]) + " instead of " +
                                     std::to_string(expected[i]));
    }
    return ::testing::AssertionSuccess();
}

bool recording_references()
{
    const char *flag = std::getenv("PC_SNAKE_RECORD_REFERENCES");
    return flag != nullptr && std::string(flag) == "1";
}

::testing::AssertionResult same_as_reference(const std::string &name, const rgb_image_t &actual)
{
    const fs::path path = reference_path(name);
    if (recording_references()) {
        save_png(path, actual);
        return ::testing::AssertionSuccess();
    }
    if (!fs::exists(path))
        return failed_with_files(name, actual, nullptr,
                                 "no reference " + path.string() +
                                     " (record it with PC_SNAKE_RECORD_REFERENCES=1)");
    return same_image(name, actual, decode_png(read_file(path.string())));
}
