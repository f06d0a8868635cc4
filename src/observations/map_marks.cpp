#include "observations/map_marks.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <thread>

#include "photometry/geometry.h"
#include "workers/helpers.h"

namespace korvalen {

namespace {

constexpr double kRadian = std::numbers::pi / 180;

// The map's rotation as a matrix (columns: the turned axes) and its inverse.
// The fixed sines of a quarter turn make the matrix not quite orthogonal, so
// the inverse is the true one, not the transpose.
struct ViewTurn {
  double m[3][3];
  double inv[3][3];

  explicit ViewTurn(const ViewAndRotation& v) {
    const bool turnedView = !(v.rotAngleOX == 0 && v.rotAngleOY == 0 && v.rotAngleOZ == 0);
    for (int c = 0; c < 3; ++c) {
      const Vec3 axis{c == 0 ? 1.0 : 0.0, c == 1 ? 1.0 : 0.0, c == 2 ? 1.0 : 0.0};
      const Vec3 turned = turnedView ? rotateView(v, axis) : axis;
      m[0][c] = turned.x, m[1][c] = turned.y, m[2][c] = turned.z;
    }
    const double det = m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
                       m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
                       m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
    for (int r = 0; r < 3; ++r)
      for (int c = 0; c < 3; ++c) {
        // The cofactor of (c, r) over the determinant.
        const int r1 = (c + 1) % 3, r2 = (c + 2) % 3, c1 = (r + 1) % 3, c2 = (r + 2) % 3;
        inv[r][c] = (m[r1][c1] * m[r2][c2] - m[r1][c2] * m[r2][c1]) / det;
      }
  }
  Vec3 apply(const double (&a)[3][3], const Vec3& p) const {
    return {a[0][0] * p.x + a[0][1] * p.y + a[0][2] * p.z, a[1][0] * p.x + a[1][1] * p.y + a[1][2] * p.z,
            a[2][0] * p.x + a[2][1] * p.y + a[2][2] * p.z};
  }
};

// The normal with cos e = mu and cos i = mu0 in a light at (0, ly, lz), on
// the side x >= 0; where the angles do not close a triangle with that light
// (the observation's g differs from the map's), the nearest normal on the
// photometric equator.
Vec3 normalFor(double mu0, double mu, double ly, double lz, double ownG) {
  Vec3 n{0, 0, mu};
  if (std::fabs(ly) > 1e-9) {
    n.y = (mu0 - mu * lz) / ly;
  } else if (std::sin(ownG) > 1e-9) {
    // The map's light stands behind the observer (or opposite): every normal
    // at that e has the same i, and the observation's own light places it.
    n.y = (mu0 - mu * std::cos(ownG)) / std::sin(ownG);
  } else {
    n.y = std::sqrt(std::max(0.0, 1 - mu * mu));
  }
  const double xx = 1 - n.y * n.y - n.z * n.z;
  if (xx >= 0) {
    n.x = std::sqrt(xx);
  } else {
    const double s = std::sqrt(n.y * n.y + n.z * n.z);
    n.y /= s, n.z /= s;
  }
  return n;
}

}  // namespace

MarkCosines markCosinesOf(const ObservationTable& t) {
  MarkCosines c;
  c.mu0.resize(t.size());
  c.mu.resize(t.size());
  for (size_t r = 0; r < t.size(); ++r) {
    c.mu0[r] = std::cos(t.i[r] * kRadian);
    c.mu[r] = std::cos(t.e[r] * kRadian);
  }
  return c;
}

std::vector<MapMark> placeMarks(const ObservationTable& t, const ViewAndRotation& view,
                                const LightAndModel& lm, const MapPicture& map,
                                double toleranceDegrees) {
  return placeMarks(t, markCosinesOf(t), view, lm, map, toleranceDegrees);
}

std::vector<MapMark> placeMarks(const ObservationTable& t, const MarkCosines& cosines,
                                const ViewAndRotation& view, const LightAndModel& lm,
                                const MapPicture& map, double toleranceDegrees) {
  if (!(view.unitsPerPixel > 0) || !std::isfinite(toleranceDegrees)) return {};
  const double mapG = phaseAngleDegrees(lm.sourceInclination);
  const double ly = std::sin(static_cast<double>(lm.sourceInclination));
  const double lz = std::cos(static_cast<double>(lm.sourceInclination));
  const ViewTurn turn(view);
  const double u = view.unitsPerPixel;
  // The sight lines' direction after the turn, and its squared length.
  const Vec3 along = turn.apply(turn.m, Vec3{0, 1, 0});
  const double alongSq = along.x * along.x + along.y * along.y + along.z * along.z;
  // Rows in chunks over the helper threads, each chunk's marks in order of
  // its rows, the chunks joined in order: the same marks on any machine.
  constexpr size_t kChunk = 8192;
  const size_t chunks = (t.size() + kChunk - 1) / kChunk;
  std::vector<std::vector<MapMark>> parts(chunks);
  const int helpers = static_cast<int>(std::max(1u, std::thread::hardware_concurrency())) - 1;
  Helpers::instance().run(chunks, helpers, [&](size_t c) {
    std::vector<MapMark>& marks = parts[c];
    for (size_t r = c * kChunk, end = std::min(t.size(), (c + 1) * kChunk); r < end; ++r) {
      if (!(std::fabs(t.g[r] - mapG) <= toleranceDegrees)) continue;
      const Vec3 n = normalFor(cosines.mu0[r], cosines.mu[r], ly, lz, t.g[r] * kRadian);
      for (int side = 0; side < (n.x > 0 ? 2 : 1); ++side) {
        const Vec3 h{side == 0 ? n.x : -n.x, n.y, n.z};
        // The sight line through the mark's pixel, before the turn: across the
        // picture x and z, along it y. Its other point on the sphere is the
        // second root of |M (q.x, t, q.z)|^2 = 1, whose first is q.y.
        const Vec3 q = turn.apply(turn.inv, h);
        const Vec3 across = turn.apply(turn.m, Vec3{q.x, 0, q.z});
        const double t2 = -2 * (along.x * across.x + along.y * across.y + along.z * across.z) / alongSq - q.y;
        const Vec3 other{across.x + t2 * along.x, across.y + t2 * along.y, across.z + t2 * along.z};
        // Which of the two the map shows there: the one of larger y, or on the
        // visible half the first of them facing the observer.
        const bool isA = h.y >= other.y;
        const Vec3& a = isA ? h : other;
        const Vec3& b = isA ? other : h;
        bool shown;
        if (view.visibleHalfOnly != kTrue) shown = isA;
        else if (a.z >= 0) shown = isA;
        else shown = !isA && b.z >= 0;
        if (!shown) continue;
        const double dx = q.x / u, dy = q.z / u;
        if (dx * dx + dy * dy > view.discLimitSq) continue;
        marks.push_back({static_cast<float>(map.centreX + dx),
                         static_cast<float>(map.pictureHeight - (map.centreY + dy)),
                         static_cast<uint32_t>(r)});
      }
    }
  });
  std::vector<MapMark> marks;
  for (const std::vector<MapMark>& p : parts) marks.insert(marks.end(), p.begin(), p.end());
  return marks;
}

}  // namespace korvalen
