// draw_assets: draws the setup program's artwork (wizard banner, browse button
// picture and application icon) in code, so the resources are reproducible
// byte for byte and a colour or shape is changed here rather than in a paint
// program. Usage: draw_assets OUTDIR  -> banner.bmp, browse.bmp, setup.ico
#include <cstdint>
#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

struct Rgb {
    uint8_t r, g, b;
};

// A picture in top-down coordinates whose pixels are Pixel values: Rgb for
// the two bitmaps, palette indices (or kClear) for the icon images.
template <typename Pixel>
class Picture {
public:
    Picture(int w, int h, Pixel background) : w_(w), h_(h), px_(size_t(w) * size_t(h), background) {}
    int width() const { return w_; }
    int height() const { return h_; }
    Pixel at(int x, int y) const { return px_[size_t(y) * size_t(w_) + size_t(x)]; }
    void set(int x, int y, Pixel c) {
        if (x >= 0 && y >= 0 && x < w_ && y < h_) px_[size_t(y) * size_t(w_) + size_t(x)] = c;
    }
    void fill(int x0, int y0, int x1, int y1, Pixel c) {  // inclusive corners
        for (int y = y0; y <= y1; ++y)
            for (int x = x0; x <= x1; ++x) set(x, y, c);
    }
    void hline(int x0, int x1, int y, Pixel c) { fill(x0, y, x1, y, c); }
    void vline(int x, int y0, int y1, Pixel c) { fill(x, y0, x, y1, c); }
    void frame(int x0, int y0, int x1, int y1, Pixel c) {
        hline(x0, x1, y0, c);
        hline(x0, x1, y1, c);
        vline(x0, y0, y1, c);
        vline(x1, y0, y1, c);
    }

private:
    int w_, h_;
    std::vector<Pixel> px_;
};

// A transparent pixel of an icon image.
const int kClear = -1;

struct Canvas : Picture<Rgb> {
    Canvas(int w, int h) : Picture<Rgb>(w, h, Rgb{0, 0, 0}) {}
};

struct IndexCanvas : Picture<int> {
    IndexCanvas(int w, int h) : Picture<int>(w, h, kClear) {}
};

// The standard Windows 16-colour palette, in its usual index order.
const Rgb kVga[16] = {
    {0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
    {0, 0, 128},     {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
    {128, 128, 128}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
    {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255},
};
enum Vga {
    kBlack = 0, kNavy = 4, kSilver = 7, kGrey = 8, kLime = 10,
    kYellow = 11, kBlue = 12, kCyan = 14, kWhite = 15
};

// ---- little-endian byte output -------------------------------------------

using Bytes = std::vector<uint8_t>;

void put8(Bytes& b, unsigned v) { b.push_back(uint8_t(v & 0xFF)); }
void put16(Bytes& b, unsigned v) {
    put8(b, v);
    put8(b, v >> 8);
}
void put32(Bytes& b, uint32_t v) {
    put16(b, v & 0xFFFF);
    put16(b, v >> 16);
}

void putInfoHeader(Bytes& b, int w, int h, int bits, uint32_t imageSize) {
    put32(b, 40);             // biSize
    put32(b, uint32_t(w));    // biWidth
    put32(b, uint32_t(h));    // biHeight (positive: rows stored bottom-up)
    put16(b, 1);              // biPlanes
    put16(b, unsigned(bits)); // biBitCount
    put32(b, 0);              // biCompression = BI_RGB
    put32(b, imageSize);      // biSizeImage
    put32(b, 0);              // biXPelsPerMeter
    put32(b, 0);              // biYPelsPerMeter
    put32(b, 0);              // biClrUsed
    put32(b, 0);              // biClrImportant
}

// 24-bit bottom-up BMP file with 4-byte aligned rows.
Bytes encodeBmp(const Canvas& c) {
    const uint32_t stride = (uint32_t(c.width()) * 3 + 3) & ~3u;
    const uint32_t imageSize = stride * uint32_t(c.height());
    Bytes b;
    put8(b, 'B');
    put8(b, 'M');
    put32(b, 14 + 40 + imageSize);  // bfSize
    put32(b, 0);                    // bfReserved1/2
    put32(b, 14 + 40);              // bfOffBits
    putInfoHeader(b, c.width(), c.height(), 24, imageSize);
    for (int y = c.height() - 1; y >= 0; --y) {
        size_t rowStart = b.size();
        for (int x = 0; x < c.width(); ++x) {
            Rgb p = c.at(x, y);
            put8(b, p.b);
            put8(b, p.g);
            put8(b, p.r);
        }
        while (b.size() - rowStart < stride) put8(b, 0);
    }
    return b;
}

// One icon image: header (double height for XOR + AND), palette, 4bpp colour
// rows, then the 1bpp transparency mask (1 = transparent).
Bytes encodeIconImage(const IndexCanvas& c) {
    const int w = c.width(), h = c.height();
    const uint32_t xorStride = (uint32_t(w) * 4 / 8 + 3) & ~3u;
    const uint32_t andStride = ((uint32_t(w) + 7) / 8 + 3) & ~3u;
    const uint32_t xorSize = xorStride * uint32_t(h);
    const uint32_t andSize = andStride * uint32_t(h);
    Bytes b;
    putInfoHeader(b, w, 2 * h, 4, xorSize + andSize);
    for (const Rgb& p : kVga) {
        put8(b, p.b);
        put8(b, p.g);
        put8(b, p.r);
        put8(b, 0);
    }
    for (int y = h - 1; y >= 0; --y) {
        Bytes row(xorStride, 0);
        for (int x = 0; x < w; ++x) {
            int v = c.at(x, y);
            unsigned idx = v == kClear ? 0u : unsigned(v);
            row[size_t(x / 2)] |= uint8_t(x % 2 == 0 ? idx << 4 : idx);
        }
        b.insert(b.end(), row.begin(), row.end());
    }
    for (int y = h - 1; y >= 0; --y) {
        Bytes row(andStride, 0);
        for (int x = 0; x < w; ++x)
            if (c.at(x, y) == kClear) row[size_t(x / 8)] |= uint8_t(0x80 >> (x % 8));
        b.insert(b.end(), row.begin(), row.end());
    }
    return b;
}

Bytes encodeIco(const std::vector<IndexCanvas>& images) {
    std::vector<Bytes> encoded;
    for (const IndexCanvas& c : images) encoded.push_back(encodeIconImage(c));
    Bytes b;
    put16(b, 0);  // reserved
    put16(b, 1);  // type: icon
    put16(b, unsigned(images.size()));
    uint32_t offset = 6 + 16 * uint32_t(images.size());
    for (size_t i = 0; i < images.size(); ++i) {
        put8(b, unsigned(images[i].width()));
        put8(b, unsigned(images[i].height()));
        put8(b, 16);  // colour count
        put8(b, 0);   // reserved
        put16(b, 1);  // planes
        put16(b, 4);  // bits per pixel
        put32(b, uint32_t(encoded[i].size()));
        put32(b, offset);
        offset += uint32_t(encoded[i].size());
    }
    for (const Bytes& e : encoded) b.insert(b.end(), e.begin(), e.end());
    return b;
}

// ---- drawings ----------------------------------------------------------------

// Linear blend with rounding, pos in 0..span.
uint8_t blend(int from, int to, int pos, int span) {
    int num = (to - from) * pos * 2;
    int v = from + (num >= 0 ? (num + span) / (2 * span) : -((-num + span) / (2 * span)));
    return uint8_t(v);
}

Rgb blendRgb(Rgb from, Rgb to, int pos, int span) {
    return Rgb{blend(from.r, to.r, pos, span), blend(from.g, to.g, pos, span),
               blend(from.b, to.b, pos, span)};
}

// Left-to-right shading, identical down every column.
void horizontalGradient(Canvas& c, Rgb left, Rgb right) {
    const int span = c.width() - 1;
    for (int x = 0; x < c.width(); ++x) c.vline(x, 0, c.height() - 1, blendRgb(left, right, x, span));
}

// Desktop computer for the banner; stays inside x 9..59, y 5..52.
void drawBannerComputer(Canvas& c) {
    const Rgb outline{64, 64, 64}, casing{192, 192, 192}, light{240, 240, 240},
        shadow{128, 128, 128}, screen{0, 0, 176}, glare{72, 96, 232},
        slot{32, 32, 32}, led{0, 200, 0}, key{224, 224, 224};

    // Monitor: bevelled grey casing around a blue screen.
    c.fill(14, 5, 54, 34, casing);
    c.hline(15, 53, 6, light);
    c.vline(15, 6, 33, light);
    c.hline(15, 53, 33, shadow);
    c.vline(53, 6, 33, shadow);
    c.frame(14, 5, 54, 34, outline);
    c.fill(18, 9, 50, 29, screen);
    c.frame(17, 8, 51, 30, shadow);
    for (int i = 0; i < 5; ++i) c.hline(24 - i, 27 - i, 11 + i, glare);  // reflection streak
    c.fill(44, 31, 47, 31, led);  // monitor power light

    // Neck between monitor and system unit.
    c.fill(29, 35, 39, 36, shadow);
    c.vline(29, 35, 36, outline);
    c.vline(39, 35, 36, outline);

    // System unit lying under the monitor: drive slots and power light.
    c.fill(11, 37, 57, 45, casing);
    c.hline(12, 56, 38, light);
    c.vline(12, 38, 44, light);
    c.hline(12, 56, 44, shadow);
    c.frame(11, 37, 57, 45, outline);
    c.fill(15, 40, 28, 40, slot);
    c.fill(15, 42, 28, 42, slot);
    c.fill(52, 41, 54, 41, led);

    // Keyboard in front: a flat slab with rows of keys.
    c.fill(9, 47, 59, 52, casing);
    c.frame(9, 47, 59, 52, outline);
    for (int row = 0; row < 2; ++row)
        for (int x = 11 + row; x + 1 <= 57; x += 3) c.fill(x, 48 + row * 2, x + 1, 48 + row * 2, key);
    c.hline(21, 47, 51, key);  // space bar
}

Canvas drawBanner() {
    Canvas c(481, 58);
    horizontalGradient(c, Rgb{204, 204, 255}, Rgb{255, 255, 255});
    drawBannerComputer(c);
    return c;
}

// Open yellow folder: back with a tab, front flap tilted open.
Canvas drawBrowse() {
    Canvas c(44, 17);
    horizontalGradient(c, Rgb{255, 255, 255}, Rgb{200, 208, 224});
    const Rgb ink{0, 0, 0}, back{200, 160, 0}, front{255, 224, 64}, shine{255, 248, 176};

    // Back panel and tab.
    c.fill(14, 3, 19, 4, back);
    c.hline(15, 18, 2, ink);
    c.set(14, 3, ink);
    c.set(19, 3, ink);
    c.hline(20, 27, 4, ink);
    c.fill(14, 4, 27, 14, back);
    c.vline(13, 3, 14, ink);
    c.vline(28, 4, 7, ink);

    // Front flap: a parallelogram leaning right, drawn one row at a time.
    const int top = 8, bottom = 14;
    for (int y = top; y <= bottom; ++y) {
        int shift = (bottom - y + 1) / 2;
        int x0 = 14 + shift, x1 = 28 + shift;
        c.hline(x0, x1, y, front);
        c.set(x0 - 1, y, ink);
        c.set(x1 + 1, y, ink);
    }
    c.hline(18, 31, top - 1, ink);
    c.hline(16, 28, top, shine);
    c.hline(13, 29, bottom + 1, ink);
    return c;
}

// 32x32 icon: monitor on a system unit with a keyboard in front.
IndexCanvas drawIconLarge() {
    IndexCanvas c(32, 32);
    c.fill(3, 0, 28, 19, kSilver);
    c.hline(4, 27, 1, kWhite);
    c.vline(4, 1, 18, kWhite);
    c.hline(4, 27, 18, kGrey);
    c.vline(27, 1, 18, kGrey);
    c.frame(3, 0, 28, 19, kBlack);
    c.fill(7, 4, 24, 15, kBlue);
    c.frame(6, 3, 25, 16, kGrey);
    c.hline(8, 11, 5, kCyan);  // reflection
    c.hline(8, 9, 6, kCyan);
    c.fill(12, 20, 19, 20, kGrey);
    c.set(12, 20, kBlack);
    c.set(19, 20, kBlack);

    c.fill(1, 21, 30, 26, kSilver);
    c.hline(2, 29, 22, kWhite);
    c.frame(1, 21, 30, 26, kBlack);
    c.hline(4, 12, 23, kBlack);  // drive slots
    c.hline(4, 12, 25, kNavy);
    c.set(27, 24, kLime);

    c.fill(0, 28, 31, 31, kSilver);
    c.frame(0, 28, 31, 31, kBlack);
    for (int x = 2; x <= 28; x += 2) c.set(x, 29, kGrey);
    c.hline(8, 23, 30, kGrey);  // space bar
    return c;
}

// 16x16 icon: same scene with the detail left out.
IndexCanvas drawIconSmall() {
    IndexCanvas c(16, 16);
    c.fill(2, 0, 13, 8, kSilver);
    c.frame(2, 0, 13, 8, kBlack);
    c.fill(4, 2, 11, 6, kBlue);
    c.set(5, 3, kCyan);
    c.hline(6, 9, 9, kGrey);
    c.fill(1, 10, 14, 13, kSilver);
    c.frame(1, 10, 14, 13, kBlack);
    c.hline(2, 13, 11, kWhite);
    c.hline(3, 7, 12, kBlack);  // drive slot
    c.set(12, 12, kLime);
    c.fill(0, 14, 15, 15, kSilver);
    c.hline(0, 15, 15, kBlack);
    c.vline(0, 14, 15, kBlack);
    c.vline(15, 14, 15, kBlack);
    for (int x = 2; x <= 13; x += 2) c.set(x, 14, kGrey);
    return c;
}

bool writeFile(const std::string& path, const Bytes& data) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(reinterpret_cast<const char*>(data.data()), std::streamsize(data.size()));
    out.close();
    return !out.fail();
}

void usage(std::FILE* to) {
    std::fprintf(to,
                 "usage: draw_assets OUTDIR\n"
                 "Writes banner.bmp, browse.bmp and setup.ico into OUTDIR.\n");
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 2 && (std::string(argv[1]) == "--help" || std::string(argv[1]) == "-h")) {
        usage(stdout);
        return 0;
    }
    if (argc != 2) {
        usage(stderr);
        return 1;
    }
    std::string dir = argv[1];
    if (!dir.empty() && dir.back() != '/') dir += '/';

    struct Output {
        const char* name;
        Bytes data;
    };
    const Output outputs[] = {
        {"banner.bmp", encodeBmp(drawBanner())},
        {"browse.bmp", encodeBmp(drawBrowse())},
        {"setup.ico", encodeIco({drawIconLarge(), drawIconSmall()})},
    };
    for (const Output& o : outputs) {
        std::string path = dir + o.name;
        if (!writeFile(path, o.data)) {
            std::fprintf(stderr, "draw_assets: cannot write %s\n", path.c_str());
            return 1;
        }
    }
    return 0;
}
