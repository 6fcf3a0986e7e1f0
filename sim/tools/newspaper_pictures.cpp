// Draws the campus newspaper's sample pictures: flat scenes of 雲岫大學
// (mountains in cloud, the gate, halls, the lake, the field, concerts, the
// night campus) for the simulator's newspaper web server. Each picture path
// gets a ~640-pixel photo and a ~150-pixel thumbnail, stored under the file
// names the simulator's keyed answers look up:
//   ashx/getILPic.ashx@im=<keyed path>, ashx/getILPic150.ashx@im=<keyed path>
// and the excellence icon images/excellent.png.
//
// usage: newspaper_pictures OUTPUT_DIR   (sim/data/newspaper_web)

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#define STB_IMAGE_WRITE_IMPLEMENTATION
#include <stb/stb_image_write.h>

namespace {

struct Rgb {
  double r, g, b;
};
Rgb mix(Rgb a, Rgb b, double t) { return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t}; }
Rgb hex(unsigned v) { return {((v >> 16) & 255) / 255.0, ((v >> 8) & 255) / 255.0, (v & 255) / 255.0}; }

// A small deterministic random source, so every run draws the same pictures.
struct Random {
  std::uint64_t s;
  double next() {
    s = s * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<double>((s >> 11) & ((1ULL << 53) - 1)) / static_cast<double>(1ULL << 53);
  }
  double in(double a, double b) { return a + (b - a) * next(); }
};

// An RGBA canvas drawn at 3x and averaged down, for smooth edges.
class Canvas {
public:
  Canvas(int w, int h) : w_(w * kSub), h_(h * kSub), px_(static_cast<size_t>(w_) * h_ * 4, 0.0) {}
  static constexpr int kSub = 3;
  double width() const { return w_ / double(kSub); }
  double height() const { return h_ / double(kSub); }

  void plot(int x, int y, Rgb c, double a) {
    if (x < 0 || y < 0 || x >= w_ || y >= h_ || a <= 0) return;
    double* p = &px_[(static_cast<size_t>(y) * w_ + x) * 4];
    p[0] += (c.r - p[0]) * a;
    p[1] += (c.g - p[1]) * a;
    p[2] += (c.b - p[2]) * a;
    p[3] += (1 - p[3]) * a;
  }
  // Vertical gradient over the whole canvas between two heights.
  void sky(Rgb top, Rgb bottom, double y0, double y1) {
    for (int y = 0; y < h_; ++y) {
      double t = std::clamp((y / double(kSub) - y0) / std::max(1.0, y1 - y0), 0.0, 1.0);
      Rgb c = mix(top, bottom, t);
      for (int x = 0; x < w_; ++x) plot(x, y, c, 1);
    }
  }
  void rect(double x, double y, double w, double h, Rgb c, double a = 1) {
    int x0 = int(std::lround(x * kSub)), y0 = int(std::lround(y * kSub));
    int x1 = int(std::lround((x + w) * kSub)), y1 = int(std::lround((y + h) * kSub));
    for (int yy = std::max(0, y0); yy < std::min(h_, y1); ++yy)
      for (int xx = std::max(0, x0); xx < std::min(w_, x1); ++xx) plot(xx, yy, c, a);
  }
  void ellipse(double cx, double cy, double rx, double ry, Rgb c, double a = 1) {
    int y0 = int((cy - ry) * kSub), y1 = int((cy + ry) * kSub) + 1;
    int x0 = int((cx - rx) * kSub), x1 = int((cx + rx) * kSub) + 1;
    for (int y = std::max(0, y0); y < std::min(h_, y1); ++y)
      for (int x = std::max(0, x0); x < std::min(w_, x1); ++x) {
        double dx = (x + 0.5) / kSub - cx, dy = (y + 0.5) / kSub - cy;
        if (dx * dx / (rx * rx) + dy * dy / (ry * ry) <= 1) plot(x, y, c, a);
      }
  }
  // A filled polygon (even-odd rule), by scanlines.
  void polygon(const std::vector<std::pair<double, double>>& pts, Rgb c, double a = 1) {
    if (pts.size() < 3) return;
    for (int y = 0; y < h_; ++y) {
      double fy = (y + 0.5) / kSub;
      std::vector<double> xs;
      for (size_t i = 0; i < pts.size(); ++i) {
        auto [x1, y1] = pts[i];
        auto [x2, y2] = pts[(i + 1) % pts.size()];
        if ((y1 <= fy && y2 > fy) || (y2 <= fy && y1 > fy)) xs.push_back(x1 + (fy - y1) / (y2 - y1) * (x2 - x1));
      }
      std::sort(xs.begin(), xs.end());
      for (size_t i = 0; i + 1 < xs.size(); i += 2)
        for (int x = std::max(0, int(xs[i] * kSub)); x < std::min(w_, int(xs[i + 1] * kSub)); ++x) plot(x, y, c, a);
    }
  }
  // A ridge line from left to right filled down to the bottom.
  void ridge(double base, double amp, double waves, double phase, Rgb c, double a = 1) {
    std::vector<std::pair<double, double>> pts;
    for (int i = 0; i <= 64; ++i) {
      double x = width() * i / 64.0;
      double t = x / width() * waves * 6.2831853 + phase;
      double y = base - amp * (0.6 * std::sin(t) + 0.3 * std::sin(2.3 * t + 1.7) + 0.15 * std::sin(5.1 * t + 0.4));
      pts.push_back({x, y});
    }
    pts.push_back({width(), height()});
    pts.push_back({0, height()});
    polygon(pts, c, a);
  }
  void cloud(double x, double y, double s, Rgb c, double a) {
    ellipse(x, y, 30 * s, 12 * s, c, a);
    ellipse(x - 18 * s, y + 3 * s, 18 * s, 9 * s, c, a);
    ellipse(x + 20 * s, y + 2 * s, 20 * s, 10 * s, c, a);
    ellipse(x + 4 * s, y - 8 * s, 16 * s, 10 * s, c, a);
  }

  // Averages the sub-pixels into 8-bit RGB (or RGBA).
  std::vector<unsigned char> pixels(int channels) const {
    int w = w_ / kSub, h = h_ / kSub;
    std::vector<unsigned char> out(static_cast<size_t>(w) * h * channels);
    for (int y = 0; y < h; ++y)
      for (int x = 0; x < w; ++x) {
        double acc[4] = {0, 0, 0, 0};
        for (int sy = 0; sy < kSub; ++sy)
          for (int sx = 0; sx < kSub; ++sx) {
            const double* p = &px_[(static_cast<size_t>(y * kSub + sy) * w_ + x * kSub + sx) * 4];
            for (int k = 0; k < 4; ++k) acc[k] += k < 3 ? p[k] * p[3] : p[3];
          }
        for (int k = 0; k < channels; ++k) {
          double v = k < 3 ? (acc[3] > 0 ? acc[k] / acc[3] : 0) : acc[3] / (kSub * kSub);
          out[(static_cast<size_t>(y) * w + x) * channels + k] = static_cast<unsigned char>(std::lround(std::clamp(v, 0.0, 1.0) * 255));
        }
      }
    return out;
  }

private:
  int w_, h_;
  std::vector<double> px_;
};

enum class Scene { Gate, Hall, Lake, Field, Night, Autumn, Concert, Mist, Library, Market };

struct Palette {
  Rgb skyTop, skyLow, far, near, ground;
};
Palette paletteFor(Scene s, Random& r) {
  switch (s) {
    case Scene::Night: return {hex(0x0b1330), hex(0x26325e), hex(0x1b2444), hex(0x141a33), hex(0x10152a)};
    case Scene::Autumn: return {hex(0x7fb2d9), hex(0xf3d9b0), hex(0x9c8a86), hex(0x7a6a5a), hex(0x9a7b4a)};
    case Scene::Concert: return {hex(0x120a20), hex(0x3a1846), hex(0x2a1436), hex(0x1c0f28), hex(0x140b1d)};
    case Scene::Mist: return {hex(0xc9d4dc), hex(0xeef1f3), hex(0xa9b8c3), hex(0x7f94a3), hex(0x5d7566)};
    default: {
      bool dusk = r.next() < 0.3;
      if (dusk) return {hex(0x3d5a8c), hex(0xf2b07a), hex(0x6d6a8a), hex(0x4c5a6e), hex(0x4e6b44)};
      return {hex(0x4a90d9), hex(0xcfe7f7), hex(0x8fa8bf), hex(0x5f7f6a), hex(0x6a9a4c)};
    }
  }
}

void trees(Canvas& c, Random& r, double y, int n, Rgb leaf) {
  for (int i = 0; i < n; ++i) {
    double x = r.in(0, c.width()), s = r.in(0.7, 1.3);
    c.rect(x - 2 * s, y - 6 * s, 4 * s, 14 * s, hex(0x5a3d2b));
    c.ellipse(x, y - 16 * s, 12 * s, 14 * s, mix(leaf, Rgb{0, 0, 0}, r.in(0, 0.25)));
  }
}

void hall(Canvas& c, Random& r, double x, double base, double w, double h, Rgb wall, Rgb glass, bool lit) {
  c.rect(x, base - h, w, h, wall);
  c.polygon({{x - 6, base - h}, {x + w / 2, base - h - h * 0.22}, {x + w + 6, base - h}}, hex(0x8c3b2e));
  int cols = std::max(2, int(w / 18)), rows = std::max(1, int(h / 22));
  for (int i = 0; i < cols; ++i)
    for (int j = 0; j < rows; ++j) {
      Rgb g = lit && r.next() < 0.6 ? hex(0xffd77a) : glass;
      c.rect(x + 6 + i * (w - 12) / cols, base - h + 8 + j * (h - 12) / rows, (w - 12) / cols - 5, (h - 12) / rows - 7, g);
    }
}

void draw(Canvas& c, Scene scene, std::uint64_t seed) {
  Random r{seed * 2654435761ULL + 17};
  Palette p = paletteFor(scene, r);
  const double W = c.width(), H = c.height();
  const double horizon = H * r.in(0.52, 0.62);
  c.sky(p.skyTop, p.skyLow, 0, horizon);
  if (scene == Scene::Night) {
    for (int i = 0; i < 90; ++i) c.ellipse(r.in(0, W), r.in(0, horizon * 0.8), 0.9, 0.9, hex(0xfdf6d8), r.in(0.4, 1));
    c.ellipse(W * r.in(0.6, 0.85), H * 0.16, 22, 22, hex(0xf6efcf));
  } else if (scene != Scene::Concert) {
    c.ellipse(W * r.in(0.1, 0.9), H * r.in(0.1, 0.25), 26, 26, hex(0xfff3c4), 0.85);
  }
  // Peaks in cloud, the university's name.
  c.ridge(horizon - H * 0.12, H * 0.14, r.in(0.8, 1.6), r.in(0, 6), p.far);
  if (scene != Scene::Concert)
    for (int i = 0; i < 5; ++i) c.cloud(r.in(0, W), horizon - H * r.in(0.05, 0.35), r.in(0.8, 1.8), hex(0xffffff), r.in(0.45, 0.8));
  c.ridge(horizon - H * 0.02, H * 0.08, r.in(1.2, 2.4), r.in(0, 6), p.near);
  c.rect(0, horizon, W, H - horizon, p.ground);

  switch (scene) {
    case Scene::Gate: {
      double gx = W / 2, top = horizon - H * 0.28;
      c.rect(gx - W * 0.22, top, W * 0.06, horizon - top + H * 0.15, hex(0xe8e1d3));
      c.rect(gx + W * 0.16, top, W * 0.06, horizon - top + H * 0.15, hex(0xe8e1d3));
      c.rect(gx - W * 0.26, top - H * 0.05, W * 0.52, H * 0.07, hex(0x9d2f2a));
      c.rect(gx - W * 0.12, top + H * 0.03, W * 0.24, H * 0.04, hex(0xf4e9c8));
      c.polygon({{gx - W * 0.1, H}, {gx + W * 0.1, H}, {gx + W * 0.03, horizon + H * 0.15}, {gx - W * 0.03, horizon + H * 0.15}},
                hex(0xb9ad97));
      trees(c, r, horizon + H * 0.12, 10, hex(0x3f7a3a));
      break;
    }
    case Scene::Hall:
    case Scene::Library: {
      Rgb wall = scene == Scene::Hall ? hex(0xd9c9a8) : hex(0xc7cfd6);
      hall(c, r, W * 0.12, horizon + H * 0.1, W * 0.45, H * 0.32, wall, hex(0x5d7892), false);
      hall(c, r, W * 0.6, horizon + H * 0.1, W * 0.3, H * 0.22, mix(wall, hex(0xffffff), 0.2), hex(0x5d7892), false);
      c.rect(0, horizon + H * 0.1, W, H * 0.02, hex(0x8f8676));
      trees(c, r, horizon + H * 0.2, 8, hex(0x3f7a3a));
      break;
    }
    case Scene::Lake: {
      c.rect(0, horizon + H * 0.05, W, H, hex(0x5b8fb3));
      for (int i = 0; i < 40; ++i) c.rect(r.in(0, W), r.in(horizon + H * 0.08, H), r.in(10, 40), 1.2, hex(0xd6ecf7), 0.6);
      double px = W * r.in(0.2, 0.7), py = horizon + H * 0.04;
      c.polygon({{px - 40, py - 30}, {px, py - 55}, {px + 40, py - 30}}, hex(0x9b2d22));
      c.rect(px - 30, py - 30, 4, 30, hex(0x6b3e26));
      c.rect(px + 26, py - 30, 4, 30, hex(0x6b3e26));
      break;
    }
    case Scene::Field: {
      c.rect(0, horizon + H * 0.06, W, H, hex(0x3f8f3f));
      c.ellipse(W / 2, H * 0.86, W * 0.42, H * 0.14, hex(0xc0563a));
      c.ellipse(W / 2, H * 0.86, W * 0.36, H * 0.09, hex(0x3f8f3f));
      for (int i = 0; i < 7; ++i) {
        double x = r.in(W * 0.1, W * 0.9), y = H * r.in(0.74, 0.95);
        c.ellipse(x, y - 12, 3, 3, hex(0x2b2b2b));
        c.rect(x - 2, y - 9, 4, 10, hex(r.next() < 0.5 ? 0x1f5fa8 : 0xd33b3b));
      }
      break;
    }
    case Scene::Night:
      hall(c, r, W * 0.1, horizon + H * 0.12, W * 0.35, H * 0.3, hex(0x2d3550), hex(0x1d2438), true);
      hall(c, r, W * 0.55, horizon + H * 0.12, W * 0.35, H * 0.24, hex(0x323a58), hex(0x1d2438), true);
      for (int i = 0; i < 6; ++i) c.ellipse(W * (0.08 + i * 0.17), horizon + H * 0.2, 8, 8, hex(0xffe39a), 0.5);
      break;
    case Scene::Autumn:
      trees(c, r, horizon + H * 0.15, 14, hex(0xd9682b));
      trees(c, r, horizon + H * 0.3, 9, hex(0xe7a13a));
      break;
    case Scene::Concert: {
      c.rect(0, horizon, W, H * 0.06, hex(0x4a2b1a));
      for (int i = 0; i < 4; ++i) {
        double x = W * (0.15 + i * 0.23);
        Rgb beam = i % 2 ? hex(0x7fd3ff) : hex(0xff8ad8);
        c.polygon({{x - 4, 0}, {x + 4, 0}, {x + 60, horizon}, {x - 60, horizon}}, beam, 0.25);
      }
      for (int i = 0; i < 26; ++i) c.ellipse(r.in(0, W), H * r.in(0.8, 1.0), 14, 18, hex(0x0a0610));
      break;
    }
    case Scene::Mist:
      for (int i = 0; i < 3; ++i) c.ridge(horizon + H * (0.05 + i * 0.1), H * 0.05, 2 + i, r.in(0, 6), hex(0xffffff), 0.35);
      trees(c, r, horizon + H * 0.35, 6, hex(0x2f5a3a));
      break;
    case Scene::Market: {
      for (int i = 0; i < 5; ++i) {
        double x = W * (0.05 + i * 0.19);
        Rgb awning = i % 2 ? hex(0xe45b4b) : hex(0xf2c14e);
        c.rect(x, horizon + H * 0.05, W * 0.16, H * 0.18, hex(0xf1ece0));
        c.polygon({{x - 4, horizon + H * 0.06}, {x + W * 0.16 + 4, horizon + H * 0.06}, {x + W * 0.16, horizon - H * 0.02}, {x, horizon - H * 0.02}},
                  awning);
      }
      trees(c, r, horizon + H * 0.35, 5, hex(0x3f7a3a));
      break;
    }
  }
}

// The key the simulator writes a request value with: space, "/", "%" and
// every byte outside printable ASCII as uppercase %XX.
std::string keyed(const std::string& v) {
  static const char* kHex = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : v) {
    if (c <= 0x20 || c >= 0x7F || c == '/' || c == '%') {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    } else {
      out += static_cast<char>(c);
    }
  }
  return out;
}

void writeFile(const std::filesystem::path& p, const std::vector<unsigned char>& bytes) {
  std::filesystem::create_directories(p.parent_path());
  std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::vector<unsigned char> encode(const Canvas& c, bool png) {
  std::vector<unsigned char> out;
  auto sink = [](void* ctx, void* data, int n) {
    auto* v = static_cast<std::vector<unsigned char>*>(ctx);
    v->insert(v->end(), static_cast<unsigned char*>(data), static_cast<unsigned char*>(data) + n);
  };
  int w = int(c.width()), h = int(c.height());
  auto px = c.pixels(3);
  if (png) stbi_write_png_to_func(sink, &out, w, h, 3, px.data(), w * 3);
  else stbi_write_jpg_to_func(sink, &out, w, h, 3, px.data(), 85);
  return out;
}

struct Picture {
  const char* path;
  Scene scene;
  int seed;
};

// Every picture path the sample feeds name (articles and the photo database).
const Picture kPictures[] = {
    {"2026/1204/a1.jpg", Scene::Gate, 1},
    {"2026/1204/a2.jpg", Scene::Hall, 2},
    {"2026/1204/a3.jpg", Scene::Field, 3},
    {"2026/1204/校門晨光.jpg", Scene::Mist, 4},
    {"2026/1204/b1.jpg", Scene::Library, 5},
    {"2026/1204/b2.jpg", Scene::Night, 6},
    {"2026/1204/c1.jpg", Scene::Lake, 7},
    {"2026/1204/c2.jpg", Scene::Concert, 8},
    {"2026/1204/山&雲.jpg", Scene::Mist, 9},
    {"2026/1204/e1.jpg", Scene::Autumn, 10},
    {"2026/1204/e2.jpg", Scene::Market, 11},
    {"2026/1204/lake view.jpg", Scene::Lake, 12},
    {"2026/1204/s1.jpg", Scene::Hall, 13},
    {"2026/1204/s2.png", Scene::Gate, 14},
    {"2026/1204/s3.jpg", Scene::Night, 15},
    {"2026/1204/s4.jpg", Scene::Field, 16},
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT_DIR\n", argv[0]);
    return 2;
  }
  const std::filesystem::path out = argv[1];
  std::vector<Picture> all(std::begin(kPictures), std::end(kPictures));
  // The photo database's issue 286: twenty-four photos of campus life.
  static std::vector<std::string> dbPaths;
  const Scene cycle[] = {Scene::Gate, Scene::Lake, Scene::Autumn, Scene::Hall, Scene::Concert, Scene::Field,
                         Scene::Night, Scene::Mist, Scene::Library, Scene::Market};
  for (int i = 1; i <= 24; ++i) {
    char name[64];
    std::snprintf(name, sizeof name, "2026/1204/db/%02d.jpg", i);
    dbPaths.push_back(name);
  }
  for (int i = 0; i < 24; ++i) all.push_back({dbPaths[static_cast<size_t>(i)].c_str(), cycle[i % 10], 100 + i});

  for (const Picture& p : all) {
    const bool png = std::string(p.path).ends_with(".png");
    Canvas photo(640, 427), thumb(150, 100);
    draw(photo, p.scene, static_cast<std::uint64_t>(p.seed));
    draw(thumb, p.scene, static_cast<std::uint64_t>(p.seed));
    writeFile(out / "ashx" / ("getILPic.ashx@im=" + keyed(p.path)), encode(photo, png));
    writeFile(out / "ashx" / ("getILPic150.ashx@im=" + keyed(p.path)), encode(thumb, png));
  }

  // The excellence icon: a gold medal on a red ribbon, transparent around.
  Canvas icon(40, 40);
  icon.polygon({{12, 2}, {19, 2}, {24, 18}, {17, 18}}, hex(0xc62f2f));
  icon.polygon({{28, 2}, {21, 2}, {16, 18}, {23, 18}}, hex(0xa82525));
  icon.ellipse(20, 26, 12, 12, hex(0xb8860b));
  icon.ellipse(20, 26, 9.5, 9.5, hex(0xf5c542));
  icon.polygon({{20, 19}, {22, 24}, {27, 24}, {23, 27.5}, {24.5, 33}, {20, 29.5}, {15.5, 33}, {17, 27.5}, {13, 24}, {18, 24}},
               hex(0xfff4c2));
  std::vector<unsigned char> png;
  auto px = icon.pixels(4);
  stbi_write_png_to_func([](void* ctx, void* data, int n) {
    auto* v = static_cast<std::vector<unsigned char>*>(ctx);
    v->insert(v->end(), static_cast<unsigned char*>(data), static_cast<unsigned char*>(data) + n);
  }, &png, 40, 40, 4, px.data(), 40 * 4);
  writeFile(out / "images" / "excellent.png", png);
  std::printf("%zu pictures drawn into %s\n", all.size(), out.c_str());
  return 0;
}
