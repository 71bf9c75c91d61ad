#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace orvex {

inline constexpr std::size_t kRowSize = 16;
inline constexpr std::size_t kRowCount = 512;
inline constexpr std::size_t kImageSize = kRowSize * kRowCount;  // 8192

// 0xFF marks an unprogrammed byte; every field that can be empty uses it.
inline constexpr std::uint8_t kEmpty = 0xFF;

using Image = std::array<std::uint8_t, kImageSize>;
using Row = std::span<std::uint8_t, kRowSize>;
using ConstRow = std::span<const std::uint8_t, kRowSize>;

constexpr std::size_t Address(std::size_t row, std::size_t column) { return row * kRowSize + column; }

inline Row RowOf(Image& image, std::size_t row) { return Row(image.data() + row * kRowSize, kRowSize); }
inline ConstRow RowOf(const Image& image, std::size_t row) { return ConstRow(image.data() + row * kRowSize, kRowSize); }

// The radio's configuration memory as the program edits it, and the snapshot
// that tells whether it changed since the last save point.
class RadioMemory {
 public:
  RadioMemory() {
    m_image.fill(kEmpty);
    m_snapshot.fill(kEmpty);
  }

  std::uint8_t& operator[](std::size_t address) { return m_image[address]; }
  std::uint8_t operator[](std::size_t address) const { return m_image[address]; }
  std::uint8_t& at(std::size_t row, std::size_t column) { return m_image[Address(row, column)]; }
  std::uint8_t at(std::size_t row, std::size_t column) const { return m_image[Address(row, column)]; }
  Row row(std::size_t r) { return RowOf(m_image, r); }
  ConstRow row(std::size_t r) const { return RowOf(m_image, r); }

  Image& image() { return m_image; }
  const Image& image() const { return m_image; }
  const Image& snapshot() const { return m_snapshot; }

  void SaveSnapshot() { m_snapshot = m_image; }
  [[nodiscard]] bool IsModified() const { return m_image != m_snapshot; }

 private:
  Image m_image;
  Image m_snapshot;
};

// The blank image a new codeplug starts from: all 0xFF except the two VFO
// records, the optional feature defaults and the signalling options.
Image BlankImage();

// Fills the image with the blank defaults and takes the snapshot.
void InitMemory(RadioMemory& memory);

// One byte that differs between two images.
struct ByteChange {
  std::size_t address;
  std::uint8_t before, after;
  bool operator==(const ByteChange&) const = default;
};

// Every byte that differs between two images, in address order.
std::vector<ByteChange> DiffImages(const Image& before, const Image& after);

}  // namespace orvex
