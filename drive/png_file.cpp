// SPDX-License-Identifier: MIT
#include "drive/png_file.h"

#include "sim/port.h"
#include "sim/port_array.h"

namespace drive {
namespace {

constexpr uint32_t kStoredBlockBytes = 65535;  // the most one stored block holds
constexpr uint32_t kAdlerModulus = 65521;

// The file as it is built, written at once when complete.
class Bytes {
 public:
  ~Bytes() { bytes_.Release(); }
  bool Ok() const { return ok_; }
  const uint8_t* Data() const { return bytes_.Size() > 0 ? &bytes_[0] : nullptr; }
  uint32_t Size() const { return bytes_.Size(); }
  uint8_t* At(uint32_t offset) { return &bytes_[offset]; }

  void Add(const uint8_t* p, size_t n) {
    uint8_t* to = ok_ && n <= UINT32_MAX ? bytes_.Append(static_cast<uint32_t>(n)) : nullptr;
    if (to == nullptr) {
      ok_ = ok_ && n == 0;
      return;
    }
    for (size_t i = 0; i < n; ++i) to[i] = p[i];
  }
  void AddByte(uint8_t b) { Add(&b, 1); }
  // PNG and zlib numbers are big-endian, whatever the processor's order.
  void AddBe32(uint32_t v) {
    uint8_t b[4] = {static_cast<uint8_t>(v >> 24), static_cast<uint8_t>(v >> 16), static_cast<uint8_t>(v >> 8),
                    static_cast<uint8_t>(v)};
    Add(b, 4);
  }
  // Deflate's block lengths are little-endian.
  void AddLe16(uint32_t v) {
    AddByte(static_cast<uint8_t>(v));
    AddByte(static_cast<uint8_t>(v >> 8));
  }

 private:
  sim::PortArray<uint8_t> bytes_{};
  bool ok_ = true;
};

// A chunk: its length, type and data, then the CRC of type and data.
class Chunk {
 public:
  Chunk(Bytes* out, const char* type) : out_(out) {
    out_->AddBe32(0);  // the length, filled in by end()
    start_ = out_->Size();
    out_->Add(reinterpret_cast<const uint8_t*>(type), 4);
  }
  void End() {
    if (!out_->Ok()) return;
    uint32_t length = out_->Size() - start_ - 4;
    uint8_t* at = out_->At(start_ - 4);
    for (int i = 0; i < 4; ++i) at[i] = static_cast<uint8_t>(length >> (24 - 8 * i));
    out_->AddBe32(Crc32(out_->At(start_), out_->Size() - start_));
  }

 private:
  Bytes* out_;
  uint32_t start_;
};

// The sums are reduced once per run of bytes that cannot overflow them, as
// zlib does: division is slow where the processor has no divide instruction.
struct Adler32 {
  static constexpr size_t kRun = 5552;
  uint32_t a = 1, b = 0;
  void Add(const uint8_t* p, size_t n) {
    while (n > 0) {
      size_t k = n < kRun ? n : kRun;
      n -= k;
      for (; k > 0; --k) {
        a += *p++;
        b += a;
      }
      a %= kAdlerModulus;
      b %= kAdlerModulus;
    }
  }
};

// The zlib stream of the image's rows, each after its filter byte (0: none).
void AddImageData(Bytes* out, const uint8_t* rgb, uint32_t width, uint32_t height) {
  const uint32_t row_bytes = width * 3;
  const uint64_t raw = static_cast<uint64_t>(row_bytes + 1) * height;
  out->AddByte(0x78);  // deflate, 32 KiB window
  out->AddByte(0x01);  // no dictionary, fastest; 0x7801 is a multiple of 31
  Adler32 adler;
  uint64_t done = 0;
  uint32_t row = 0, in_row = 0;  // where the next byte comes from; in_row 0 is the filter byte
  do {
    uint32_t block = raw - done > kStoredBlockBytes ? kStoredBlockBytes : static_cast<uint32_t>(raw - done);
    out->AddByte(done + block == raw ? 1 : 0);  // the last block is marked final
    out->AddLe16(block);
    out->AddLe16(~block & 0xFFFF);
    for (uint32_t left = block; left > 0;) {
      if (in_row == 0) {
        const uint8_t filter = 0;
        out->AddByte(filter);
        adler.Add(&filter, 1);
        in_row = 1;
        --left;
        continue;
      }
      uint32_t n = row_bytes - (in_row - 1);
      if (n > left) n = left;
      const uint8_t* p = rgb + static_cast<uint64_t>(row) * row_bytes + (in_row - 1);
      out->Add(p, n);
      adler.Add(p, n);
      left -= n;
      in_row += n;
      if (in_row == row_bytes + 1) {
        in_row = 0;
        ++row;
      }
    }
    done += block;
  } while (done < raw);
  out->AddBe32((adler.b << 16) | adler.a);
}

}  // namespace

uint32_t Crc32(const uint8_t* bytes, size_t length, uint32_t crc) {
  static uint32_t table[256];
  static bool made = false;
  if (!made) {
    for (uint32_t n = 0; n < 256; ++n) {
      uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      table[n] = c;
    }
    made = true;
  }
  crc = ~crc;
  for (size_t i = 0; i < length; ++i) crc = table[(crc ^ bytes[i]) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

bool WritePng(const char* path, const uint8_t* rgb, int width, int height, Text* error) {
  static const uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (width <= 0 || height <= 0 || width > 0x10000 || height > 0x10000) {
    if (error) error->Assign("no picture to write");
    return false;
  }
  Bytes file;
  file.Add(kSignature, sizeof kSignature);
  Chunk header(&file, "IHDR");
  file.AddBe32(static_cast<uint32_t>(width));
  file.AddBe32(static_cast<uint32_t>(height));
  const uint8_t k_depth_colour_methods[5] = {8, 2, 0, 0, 0};  // 8-bit RGB, deflate, no filters chosen, no interlace
  file.Add(k_depth_colour_methods, sizeof k_depth_colour_methods);
  header.End();
  Chunk data(&file, "IDAT");
  AddImageData(&file, rgb, static_cast<uint32_t>(width), static_cast<uint32_t>(height));
  data.End();
  Chunk end(&file, "IEND");
  end.End();
  if (!file.Ok()) {
    if (error) error->Assign("no memory for the picture");
    return false;
  }
  int fd = sim::port::OpenWrite(path);
  bool written = fd >= 0 && sim::port::Write(fd, file.Data(), file.Size());
  sim::port::Close(fd);
  if (!written && error) {
    error->Assign("cannot write ");
    error->Append(path);
  }
  return written;
}

}  // namespace drive
