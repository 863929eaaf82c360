// Draws the wizard's banner picture (170 x 50, 24-bit BMP): a blue band
// that lightens downwards, the product name in block letters and a rule
// beneath it. Run once and commit the output as resources/banner.bmp:
//   fennick-banner resources/banner.bmp
#include <array>
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 170;
constexpr int kHeight = 50;
constexpr int kScale = 3;  // each font dot becomes 3 x 3 pixels

struct Rgb {
  std::uint8_t r, g, b;
};

// 5 x 7 block letters, one row per string, top row first.
struct Glyph {
  char letter;
  std::array<const char*, 7> rows;
};
constexpr Glyph kGlyphs[] = {
    {'F', {"11111", "10000", "10000", "11110", "10000", "10000", "10000"}},
    {'E', {"11111", "10000", "10000", "11110", "10000", "10000", "11111"}},
    {'N', {"10001", "11001", "10101", "10011", "10001", "10001", "10001"}},
    {'I', {"01110", "00100", "00100", "00100", "00100", "00100", "01110"}},
    {'C', {"01110", "10001", "10000", "10000", "10000", "10001", "01110"}},
    {'K', {"10001", "10010", "10100", "11000", "10100", "10010", "10001"}},
};

const Glyph* glyphFor(char letter) {
  for (const Glyph& g : kGlyphs)
    if (g.letter == letter) return &g;
  return nullptr;
}

class Picture {
 public:
  Picture() : pixels_(kWidth * kHeight) {}
  void set(int x, int y, Rgb c) {
    if (x >= 0 && x < kWidth && y >= 0 && y < kHeight) pixels_[y * kWidth + x] = c;
  }
  Rgb at(int x, int y) const { return pixels_[y * kWidth + x]; }

 private:
  std::vector<Rgb> pixels_;
};

void putLittleEndian(std::string& out, std::uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

std::string encodeBmp(const Picture& picture) {
  const int rowBytes = (kWidth * 3 + 3) / 4 * 4;
  const std::uint32_t imageSize = static_cast<std::uint32_t>(rowBytes * kHeight);
  std::string out = "BM";
  putLittleEndian(out, 54 + imageSize, 4);
  putLittleEndian(out, 0, 4);
  putLittleEndian(out, 54, 4);  // offset of the pixels
  putLittleEndian(out, 40, 4);  // BITMAPINFOHEADER
  putLittleEndian(out, kWidth, 4);
  putLittleEndian(out, kHeight, 4);  // positive: bottom row first
  putLittleEndian(out, 1, 2);
  putLittleEndian(out, 24, 2);
  putLittleEndian(out, 0, 4);  // no compression
  putLittleEndian(out, imageSize, 4);
  putLittleEndian(out, 2835, 4);  // 72 dots per inch
  putLittleEndian(out, 2835, 4);
  putLittleEndian(out, 0, 4);
  putLittleEndian(out, 0, 4);
  for (int y = kHeight - 1; y >= 0; --y) {
    for (int x = 0; x < kWidth; ++x) {
      const Rgb c = picture.at(x, y);
      out.push_back(static_cast<char>(c.b));
      out.push_back(static_cast<char>(c.g));
      out.push_back(static_cast<char>(c.r));
    }
    out.append(static_cast<std::size_t>(rowBytes - kWidth * 3), '\0');
  }
  return out;
}

Picture draw() {
  Picture picture;
  for (int y = 0; y < kHeight; ++y)
    for (int x = 0; x < kWidth; ++x)
      picture.set(x, y, Rgb{static_cast<std::uint8_t>(20 + y), static_cast<std::uint8_t>(60 + y * 2),
                            static_cast<std::uint8_t>(120 + y * 2)});

  const std::string name = "FENNICK";
  const int advance = 6 * kScale;
  const int textWidth = static_cast<int>(name.size()) * advance - kScale;
  const int left = (kWidth - textWidth) / 2;
  const int top = 9;
  const Rgb ink{255, 255, 255};
  for (std::size_t i = 0; i < name.size(); ++i) {
    const Glyph* glyph = glyphFor(name[i]);
    if (!glyph) continue;
    for (int row = 0; row < 7; ++row)
      for (int col = 0; col < 5; ++col)
        if (glyph->rows[row][col] == '1')
          for (int dy = 0; dy < kScale; ++dy)
            for (int dx = 0; dx < kScale; ++dx)
              picture.set(left + static_cast<int>(i) * advance + col * kScale + dx,
                          top + row * kScale + dy, ink);
  }
  const Rgb rule{250, 190, 80};
  for (int x = left; x < left + textWidth; ++x)
    for (int y = 35; y < 37; ++y) picture.set(x, y, rule);
  return picture;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: fennick-banner <output.bmp>\n");
    return 2;
  }
  const std::string bytes = encodeBmp(draw());
  std::ofstream file(argv[1], std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  if (!file) {
    std::fprintf(stderr, "fennick-banner: cannot write %s\n", argv[1]);
    return 1;
  }
  return 0;
}
