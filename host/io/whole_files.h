// Whole-file writes for outputs made in memory, each written whole or not at
// all (write_file_whole), with their faults as write_failure_t, whose message
// names the file.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct write_failure_t {
    std::string message;
};

// Each throws write_failure_t.
void write_text(const std::string &path, const std::string &text);
void write_bytes(const std::string &path, const std::vector<std::uint8_t> &bytes);
void make_folder(const std::string &dir);
