#pragma once
// A plain scalar shading kernel, the yardstick of the shading paths: the
// arithmetic of the map's shading run (the sight line, its rotation, the
// unit-sphere intersection, the visible point, the cosines, phi, the mirror
// score, the grey level, bands and zones, the four sub-samples), in the same
// order and with the same 32-bit roundings, with no run-time checks, no
// toolkit and nothing but the standard library. It is what the run costs when
// nothing but the arithmetic is paid for; a run that would raise an error
// here gives undefined pictures instead.
#include <cmath>
#include <cstdint>

namespace plain {

struct Params {
  int width = 0, height = 0, centreX = 0, centreY = 0;
  double unitsPerPixel = 0, discLimitSq = 0;
  bool rotated = false;  // false when all three angles are exactly 0
  double cX = 0, sX = 0, cY = 0, sY = 0, cZ = 0, sZ = 0;
  double lightX = 0, lightY = 0, lightZ = 0;
  bool visibleHalfOnly = false;
  int model = 1;  // 1 matte, 2 glossy, 3 rocky, 4 mirror
  double g = 0;   // the phase angle
  float cosG = 0, diffuseShare = 0, specularGain = 0, peakSharpness = 0;
  bool smoothing = false;
  bool bandsShown = true;
  float low[8] = {}, high[8] = {};  // bands 1..7, bounds as floats
  float shadowLow = 0, zoneHigh = 0;
  int backRed = 255, backGreen = 255, backBlue = 255;
};

struct Spot {
  float bestScore = 100;
  int column = 0, row = 0;  // row counted from the bottom
};

namespace detail {

inline uint32_t pixel(int r, int g, int b) {
  auto c = [](int v) { return static_cast<uint32_t>(v < 0 ? 0 : (v > 255 ? 255 : v)); };
  return 0xFF000000u | (c(r) << 16) | (c(g) << 8) | c(b);
}

struct Sums {
  int r = 0, g = 0, b = 0;
};

inline void put(Sums& s, bool replace, int r, int g, int b) {
  if (replace) {
    s = {r, g, b};
  } else {
    s.r += r;
    s.g += g;
    s.b += b;
  }
}

constexpr int kBand[8][3] = {{0, 0, 0},   {40, 0, 0}, {40, 20, 0}, {37, 40, 0},
                             {0, 40, 0},  {0, 30, 40}, {0, 0, 40}, {25, 0, 40}};

// One sample: false for a miss; else phi (at most 1) and the mirror bookkeeping.
[[gnu::always_inline]] inline bool phiAt(const Params& p, double dx, double dy, int column, int row, Spot& spot,
                  float& phi) {
  const double u = p.unitsPerPixel, h = 10 * u;
  double p1x = dx * u, p1y = h, p1z = dy * u;
  double p2x = dx * u, p2y = -h, p2z = dy * u;
  if (p.rotated) {
    auto rotate = [&](double& x, double& y, double& z) {
      const double y1 = p.cX * y - p.sX * z;
      const double z1 = p.sX * y + p.cX * z;
      const double x2 = p.cY * x + p.sY * z1;
      const double z2 = -p.sY * x + p.cY * z1;
      const double x3 = p.cZ * x2 - p.sZ * y1;
      const double y3 = p.sZ * x2 + p.cZ * y1;
      x = x3;
      y = y3;
      z = z2;
    };
    rotate(p1x, p1y, p1z);
    rotate(p2x, p2y, p2z);
  }
  const double rdx = p2x - p1x, rdy = p2y - p1y, rdz = p2z - p1z;
  if (rdy == 0) return false;
  const double x0 = p1x - rdx * p1y / rdy;
  const double z0 = p1z - rdz * p1y / rdy;
  const double a = (rdz * rdz + rdx * rdx) / (rdy * rdy) + 1;
  const double b = 2 * (rdz * z0 + rdx * x0) / rdy;
  const double c = x0 * x0 + z0 * z0 - 1;
  const float discr = static_cast<float>(b * b - 4 * a * c);
  if (discr < 0) return false;
  const double root = std::sqrt(static_cast<double>(discr));
  const double yA = ((-b + root) / a) / 2;
  const double yB = ((-b - root) / a) / 2;
  const double ax = (yA - p1y) / rdy * rdx + p1x, az = (yA - p1y) / rdy * rdz + p1z;
  double hx = ax, hy = yA, hz = az;
  if (p.visibleHalfOnly && !(az >= 0)) {
    const double bz = (yB - p1y) / rdy * rdz + p1z;
    if (!(bz >= 0)) return false;
    hx = (yB - p1y) / rdy * rdx + p1x;
    hy = yB;
    hz = bz;
  }
  const double lDotH = p.lightX * hx + p.lightY * hy + p.lightZ * hz;
  const double hh = hx * hx + hy * hy + hz * hz;
  const double ll = p.lightX * p.lightX + p.lightY * p.lightY + p.lightZ * p.lightZ;
  const float cosI = static_cast<float>(lDotH / std::sqrt(ll * hh));
  const float cosE = static_cast<float>(hz);
  switch (p.model) {
    case 1: phi = cosI; break;
    case 2: {
      const float t = static_cast<float>(2.0 * cosI * cosE - p.cosG);
      const float diffuse = static_cast<float>(static_cast<double>(p.diffuseShare) * cosI);
      phi = t >= 0 ? static_cast<float>(diffuse + p.specularGain *
                                                      std::pow(static_cast<double>(t),
                                                               static_cast<double>(p.peakSharpness)))
                   : diffuse;
      break;
    }
    case 3: phi = static_cast<float>(static_cast<double>(cosI) * cosE); break;
    case 4: {
      phi = 0.008f;
      const double ci = cosI;
      const float angleI = cosI == 0 ? 1.5707964f : static_cast<float>(std::atan(std::sqrt(1 - ci * ci) / ci));
      const float angleE = hz <= 0   ? 1.5707964f
                           : hz >= 1 ? 0.0f
                                     : static_cast<float>(std::atan(std::sqrt(1 - hz * hz) / hz));
      const double i = angleI, e = angleE;
      const float score = static_cast<float>(std::fabs(p.g - e - i) + std::fabs(i - e));
      if (score < spot.bestScore) {
        spot.bestScore = score;
        spot.column = column;
        spot.row = row;
      }
      break;
    }
    default: phi = 0; break;
  }
  if (phi > 1) phi = 1;
  return true;
}

// The colour stage of a hit: replace (direct, sub-sample 1) or add.
[[gnu::always_inline]] inline void colour(const Params& p, float phi, bool replace, Sums& s) {
  if (phi >= 0) {
    // Rounded half to even: adding and taking away 2^52 does it for 0.5 .. 255.5.
    const double v = static_cast<double>(phi) * 255 + 0.5;
    const int grey = static_cast<int>((v + 4503599627370496.0) - 4503599627370496.0);
    put(s, replace, grey, grey, grey);
    bool inBand = false;
    if (p.bandsShown) {
      for (int k = 1; k <= 7; ++k) {
        if (p.low[k] <= phi && phi <= p.high[k]) {
          put(s, false, kBand[k][0], kBand[k][1], kBand[k][2]);
          inBand = true;
          break;
        }
      }
    }
    if (!inBand && phi <= p.zoneHigh) put(s, replace, 96, 0, 52);
  } else if (phi >= p.shadowLow && phi <= p.zoneHigh) {
    put(s, replace, 175, 0, 91);
  } else if (replace) {
    s = {0, 0, 0};
  }
}

}  // namespace detail

// The run over the disc into bits (width x height, 0xffRRGGBB, stride width,
// already cleared to the background); spot holds the mirror spot as it was
// before the run and gets the run's.
inline void shade(const Params& p, uint32_t* bits, Spot& spot) {
  using namespace detail;
  const double r = std::nearbyint(1 / p.unitsPerPixel);
  auto clampTo = [](double v, int lo, int hi) {
    const int i = static_cast<int>(std::nearbyint(v));
    return i < lo ? lo : (i > hi ? hi : i);
  };
  const int rowFirst = clampTo(p.centreY - r, 0, 1 << 30), rowLast = clampTo(p.centreY + r, -(1 << 30), p.height);
  const int colFirst = clampTo(p.centreX - r, 0, 1 << 30), colLast = clampTo(p.centreX + r, -(1 << 30), p.width);
  spot.bestScore = 100;
  auto draw = [&](int x, int y, uint32_t c) {
    if (static_cast<unsigned>(x) < static_cast<unsigned>(p.width) &&
        static_cast<unsigned>(y) < static_cast<unsigned>(p.height))
      bits[y * p.width + x] = c;
  };
  for (int column = colFirst; column <= colLast; ++column) {
    const double dx = column - p.centreX;
    for (int row = rowFirst; row <= rowLast; ++row) {
      const double dy = row - p.centreY;
      float phi = 0;
      if (!p.smoothing) {
        if (!(dx * dx + dy * dy < p.discLimitSq)) continue;
        if (!phiAt(p, dx, dy, column, row, spot, phi)) continue;
        Sums s;
        colour(p, phi, true, s);
        draw(column, p.height - row, pixel(s.r, s.g, s.b));
        continue;
      }
      if (!((dx - 0.25) * (dx - 0.25) + (dy - 0.25) * (dy - 0.25) < p.discLimitSq)) continue;
      const double offsets[4][2] = {{-0.25, -0.25}, {0.25, -0.25}, {0.25, 0.25}, {-0.25, 0.25}};
      Sums s;
      for (int j = 0; j < 4; ++j) {
        if (phiAt(p, dx + offsets[j][0], dy + offsets[j][1], column, row, spot, phi)) {
          colour(p, phi, j == 0, s);
        } else {
          s.r += p.backRed;
          s.g += p.backGreen;
          s.b += p.backBlue;
        }
      }
      if (!(s.r == 4 * p.backRed && s.g == 4 * p.backGreen && s.b == 4 * p.backBlue))
        draw(column, p.height - row, pixel(s.r / 4, s.g / 4, s.b / 4));
    }
  }
  if (p.model == 4) draw(spot.column, p.height - spot.row, pixel(255, 255, 255));
}

}  // namespace plain
