// A minimal PNG encoder: unfiltered rows in one IDAT chunk, compressed by a small deflate of our
// own (greedy matching, fixed Huffman codes), which is plenty for screenshots.
#include "tests/support/png_file.h"

#include <array>
#include <fstream>

namespace {
class BitWriter {
 public:
  explicit BitWriter(std::vector<std::uint8_t>& out) : out_(out) {}
  // Deflate packs fields from the least significant bit up.
  void Put(std::uint32_t bits, int count) {
    buffer_ |= bits << fill_;
    fill_ += count;
    while (fill_ >= 8) {
      out_.push_back(buffer_ & 255);
      buffer_ >>= 8;
      fill_ -= 8;
    }
  }
  // Huffman codes are defined most significant bit first.
  void PutCode(std::uint32_t code, int length) {
    std::uint32_t reversed = 0;
    for (int i = 0; i < length; ++i) reversed |= ((code >> i) & 1u) << (length - 1 - i);
    Put(reversed, length);
  }
  void Flush() {
    if (fill_ > 0) out_.push_back(buffer_ & 255);
    buffer_ = 0;
    fill_ = 0;
  }

 private:
  std::vector<std::uint8_t>& out_;
  std::uint32_t buffer_ = 0;
  int fill_ = 0;
};

constexpr std::array<int, 29> kLengthBase = {3,  4,  5,  6,   7,   8,   9,   10,  11, 13,
                                             15, 17, 19, 23,  27,  31,  35,  43,  51, 59,
                                             67, 83, 99, 115, 131, 163, 195, 227, 258};
constexpr std::array<int, 29> kLengthExtra = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2,
                                              2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
constexpr std::array<int, 30> kDistanceBase = {
    1,   2,   3,   4,   5,   7,    9,    13,   17,   25,   33,   49,   65,    97,    129,
    193, 257, 385, 513, 769, 1025, 1537, 2049, 3073, 4097, 6145, 8193, 12289, 16385, 24577};
constexpr std::array<int, 30> kDistanceExtra = {0, 0, 0,  0,  1,  1,  2,  2,  3,  3,
                                                4, 4, 5,  5,  6,  6,  7,  7,  8,  8,
                                                9, 9, 10, 10, 11, 11, 12, 12, 13, 13};

void PutLiteralOrLength(BitWriter& bits, int symbol) {
  if (symbol < 144)
    bits.PutCode(0x30 + symbol, 8);
  else if (symbol < 256)
    bits.PutCode(0x190 + symbol - 144, 9);
  else if (symbol < 280)
    bits.PutCode(symbol - 256, 7);
  else
    bits.PutCode(0xC0 + symbol - 280, 8);
}

void PutMatch(BitWriter& bits, int length, int distance) {
  int code = 28;
  while (kLengthBase[code] > length) --code;
  PutLiteralOrLength(bits, 257 + code);
  bits.Put(length - kLengthBase[code], kLengthExtra[code]);
  int dcode = 29;
  while (kDistanceBase[dcode] > distance) --dcode;
  bits.PutCode(dcode, 5);
  bits.Put(distance - kDistanceBase[dcode], kDistanceExtra[dcode]);
}

// A zlib stream: one final block with fixed codes, then the Adler-32 of the data.
std::vector<std::uint8_t> ZlibCompress(const std::vector<std::uint8_t>& data) {
  constexpr int kWindow = 32768;
  constexpr int kMaxMatch = 258;
  std::vector<std::uint8_t> out = {0x78, 0x01};
  BitWriter bits(out);
  bits.Put(1, 1);  // final block
  bits.Put(1, 2);  // fixed Huffman codes
  std::vector<int> last_seen(1 << 16, -1);
  const int size = static_cast<int>(data.size());
  auto hash = [&](int at) {
    return ((data[at] << 8) ^ (data[at + 1] << 4) ^ data[at + 2]) & 0xFFFF;
  };
  for (int at = 0; at < size;) {
    int best_length = 0;
    int best_distance = 0;
    if (at + 3 <= size) {
      const int candidate = last_seen[hash(at)];
      last_seen[hash(at)] = at;
      if (candidate >= 0 && at - candidate <= kWindow) {
        int length = 0;
        while (length < kMaxMatch && at + length < size &&
               data[candidate + length] == data[at + length])
          ++length;
        if (length >= 3) {
          best_length = length;
          best_distance = at - candidate;
        }
      }
    }
    if (best_length == 0) {
      PutLiteralOrLength(bits, data[at]);
      ++at;
      continue;
    }
    PutMatch(bits, best_length, best_distance);
    for (int i = 1; i < best_length && at + i + 3 <= size; ++i) last_seen[hash(at + i)] = at + i;
    at += best_length;
  }
  PutLiteralOrLength(bits, 256);  // end of block
  bits.Flush();
  std::uint32_t a = 1;
  std::uint32_t b = 0;
  for (std::uint8_t byte : data) {
    a = (a + byte) % 65521;
    b = (b + a) % 65521;
  }
  const std::uint32_t adler = (b << 16) | a;
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back((adler >> shift) & 255);
  return out;
}

std::uint32_t Crc32(const std::vector<std::uint8_t>& bytes) {
  static const std::array<std::uint32_t, 256> table = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t n = 0; n < 256; ++n) {
      std::uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  std::uint32_t crc = 0xFFFFFFFFu;
  for (std::uint8_t byte : bytes) crc = table[(crc ^ byte) & 255] ^ (crc >> 8);
  return crc ^ 0xFFFFFFFFu;
}

void PutBigEndian(std::vector<std::uint8_t>& out, std::uint32_t value) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back((value >> shift) & 255);
}

void PutChunk(std::vector<std::uint8_t>& out, const char* type,
              const std::vector<std::uint8_t>& data) {
  PutBigEndian(out, static_cast<std::uint32_t>(data.size()));
  std::vector<std::uint8_t> body(type, type + 4);
  body.insert(body.end(), data.begin(), data.end());
  out.insert(out.end(), body.begin(), body.end());
  PutBigEndian(out, Crc32(body));
}
}  // namespace

bool WritePngFile(const std::string& path, int width, int height,
                  const std::vector<std::uint32_t>& pixels) {
  // Each row: filter byte 0, then red, green, blue.
  std::vector<std::uint8_t> raw;
  raw.reserve(static_cast<std::size_t>(height) * (1 + 3 * width));
  for (int y = 0; y < height; ++y) {
    raw.push_back(0);
    for (int x = 0; x < width; ++x) {
      const std::uint32_t p = pixels[static_cast<std::size_t>(y) * width + x];
      raw.push_back((p >> 16) & 255);
      raw.push_back((p >> 8) & 255);
      raw.push_back(p & 255);
    }
  }
  std::vector<std::uint8_t> file = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  std::vector<std::uint8_t> header;
  PutBigEndian(header, static_cast<std::uint32_t>(width));
  PutBigEndian(header, static_cast<std::uint32_t>(height));
  header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits, truecolour, no interlace
  PutChunk(file, "IHDR", header);
  PutChunk(file, "IDAT", ZlibCompress(raw));
  PutChunk(file, "IEND", {});
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(file.data()), static_cast<std::streamsize>(file.size()));
  return static_cast<bool>(out);
}
