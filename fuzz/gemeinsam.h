// What the harnesses share: a private scratch folder per process and writing
// an input into a file there.
#pragma once

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

namespace t21::fuzz {

inline const std::filesystem::path& Ordner() {
  static const std::filesystem::path o = [] {
    auto p = std::filesystem::temp_directory_path() / ("t21_fuzz_" + std::to_string(getpid()));
    std::filesystem::create_directories(p);
    return p;
  }();
  return o;
}

inline void Schreibe(const std::filesystem::path& datei, const uint8_t* daten, size_t n) {
  std::ofstream aus(datei, std::ios::binary | std::ios::trunc);
  aus.write(reinterpret_cast<const char*>(daten), static_cast<std::streamsize>(n));
}

inline std::string Text(const uint8_t* daten, size_t n) {
  return std::string(reinterpret_cast<const char*>(daten), n);
}

}  // namespace t21::fuzz
