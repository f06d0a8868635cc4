#include "photometry/chandrasekhar_h.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <mutex>
#include <numbers>

namespace korvalen {

namespace {

constexpr double kPi = std::numbers::pi;

// The integral over phi in (0, pi/2] in panels halving towards 0, each with a
// 12-point Gauss-Legendre rule: the integrand changes on the scale phi ~ x
// and, near w = 1, on phi ~ x sqrt(3 (1 - w)), which panels of every size
// follow. What lies below the last panel (4e-14) is below 1e-11.
constexpr int kPanels = 46;
constexpr int kGauss = 12;
constexpr std::array<double, kGauss / 2> kGaussNodes = {
    0.1252334085114689154724414, 0.3678314989981801937526915, 0.5873179542866174472967024,
    0.7699026741943046870368938, 0.9041172563704748566784659, 0.9815606342467192506905491};
constexpr std::array<double, kGauss / 2> kGaussWeights = {
    0.2491470458134027850005624, 0.2334925365383548087608499, 0.2031674267230659217490645,
    0.1600783285433462263346525, 0.1069393259953184309602547, 0.0471753363865118271946160};

struct Node {
  double weight, sinPhi, cosPhi;
};

const std::vector<Node>& quadrature() {
  static const std::vector<Node> nodes = [] {
    std::vector<Node> q;
    double high = kPi / 2;
    for (int p = 0; p < kPanels; ++p) {
      const double low = high / 2, half = (high - low) / 2, mid = (high + low) / 2;
      for (int k = 0; k < kGauss / 2; ++k)
        for (const double side : {-1.0, 1.0}) {
          const double phi = mid + side * half * kGaussNodes[k];
          q.push_back({half * kGaussWeights[k], std::sin(phi), std::cos(phi)});
        }
      high = low;
    }
    return q;
  }();
  return nodes;
}

// 1 - t cot t, by its series where the difference would cancel.
double oneMinusTCotT(double t) {
  if (t < 0.3) {
    const double t2 = t * t;
    return t2 * (1.0 / 3 + t2 * (1.0 / 45 + t2 * (2.0 / 945 + t2 * (1.0 / 4725 +
           t2 * (2.0 / 93555 + t2 * (1382.0 / 638512875 + t2 * (4.0 / 18243225)))))));
  }
  return 1 - t / std::tan(t);
}

// The table's nodes: ln x from ln 1e-12 to ln 4 in steps of 1/8.
constexpr double kFirstU = -27.631021115928547;  // ln 1e-12
constexpr double kStepU = 0.125;
constexpr int kNodes = 238;  // to ln 4 = 1.386 and the 4 nodes the last reads need
constexpr int kDegree = 7;
// The last position read between nodes, the stencil centred on it.
constexpr double kLastPosition = kNodes - 1 - (kDegree + 1) / 2;

// prod over b != a of (a - b), the denominators of Lagrange's weights at the nodes 0..kDegree.
constexpr std::array<double, kDegree + 1> lagrangeDenominators() {
  std::array<double, kDegree + 1> d{};
  for (int a = 0; a <= kDegree; ++a) {
    d[static_cast<size_t>(a)] = 1;
    for (int b = 0; b <= kDegree; ++b)
      if (b != a) d[static_cast<size_t>(a)] *= a - b;
  }
  return d;
}
constexpr std::array<double, kDegree + 1> kDenominators = lagrangeDenominators();

}  // namespace

ExactHValue exactHByIntegral(double w, double x) {
  ExactHValue r;
  if (!(x > 0)) return r;
  w = w >= 0 ? (w <= 1 ? w : 1.0) : 0.0;
  const double rest = 1 - w;
  double lnH = 0, dw = 0;
  for (const Node& n : quadrature()) {
    const double theta = std::atan2(n.sinPhi, x * n.cosPhi);  // atan(tan(phi) / x)
    const double s = oneMinusTCotT(theta);
    const double f = rest + w * s;
    lnH += n.weight * std::log(f);
    dw += n.weight * (s - 1) / f;
  }
  r.h = std::exp(-lnH / kPi);
  r.dlnhdw = -dw / kPi;
  // dH/dx, a second integral, is left to the callers that need it (the
  // table's interpolant, or a difference beyond it).
  return r;
}

ExactHTable::ExactHTable(double w) : w_(w) {
  h_.resize(kNodes);
  dlnhdw_.resize(kNodes);
  for (int j = 0; j < kNodes; ++j) {
    const ExactHValue v = exactHByIntegral(w, std::exp(kFirstU + j * kStepU));
    h_[static_cast<size_t>(j)] = v.h;
    dlnhdw_[static_cast<size_t>(j)] = v.dlnhdw;
  }
}

namespace {

// Where x falls among the nodes: the first of the kDegree + 1 nodes around
// it and its distance from that node in steps, or a negative first node below
// the table and kNodes beyond it.
struct Stencil {
  int first;
  double t;
};
Stencil stencilOf(double x) {
  const double position = (std::log(x) - kFirstU) / kStepU;
  if (position < 0) return {-1, 0};
  if (!(position <= kLastPosition)) return {kNodes, 0};
  const int first = std::clamp(static_cast<int>(std::floor(position)) - (kDegree - 1) / 2, 0, kNodes - 1 - kDegree);
  return {first, position - first};
}

}  // namespace

double ExactHTable::valueAt(double x) const {
  // Without scattering H is 1 everywhere, exactly.
  if (!(x > 0) || !(w_ > 0)) return 1;
  const Stencil s = stencilOf(x);
  if (s.first < 0) return 1 + (h_[0] - 1) * (x / 1e-12);
  if (s.first == kNodes) return exactHByIntegral(w_, x).h;
  // Lagrange: sum over a of H_a prod_{b != a} (t - b) / (a - b), the products
  // from the running products of the factors before and after a.
  std::array<double, kDegree + 1> before{}, after{};
  double product = 1;
  for (int a = 0; a <= kDegree; ++a) {
    before[static_cast<size_t>(a)] = product;
    product *= s.t - a;
  }
  product = 1;
  for (int a = kDegree; a >= 0; --a) {
    after[static_cast<size_t>(a)] = product;
    product *= s.t - a;
  }
  double h = 0;
  for (int a = 0; a <= kDegree; ++a) {
    const size_t k = static_cast<size_t>(a);
    h += before[k] * after[k] / kDenominators[k] * h_[static_cast<size_t>(s.first + a)];
  }
  return h;
}

ExactHValue ExactHTable::at(double x) const {
  ExactHValue r;
  if (!(x > 0)) return r;
  if (!(w_ > 0)) {
    r.dlnhdw = exactHByIntegral(0, x).dlnhdw;  // H itself stays 1
    return r;
  }
  const Stencil s = stencilOf(x);
  if (s.first < 0) {
    // Below 1e-12: H - 1 is under 2e-11 and falls to 0 with x.
    r.h = 1 + (h_[0] - 1) * (x / 1e-12);
    r.dhdx = (h_[0] - 1) / 1e-12;
    r.dlnhdw = dlnhdw_[0] * (x / 1e-12);
    return r;
  }
  if (s.first == kNodes) {
    r = exactHByIntegral(w_, x);
    const double step = x * 1e-6;
    r.dhdx = (exactHByIntegral(w_, x + step).h - exactHByIntegral(w_, x - step).h) / (2 * step);
    return r;
  }
  double dh = 0, dlnw = 0;
  for (int a = 0; a <= kDegree; ++a) {
    double weight = 1, derivative = 0;
    for (int b = 0; b <= kDegree; ++b) {
      if (b == a) continue;
      // d/dt of the running product, by the product rule.
      derivative = derivative * (s.t - b) / (a - b) + weight / (a - b);
      weight *= (s.t - b) / (a - b);
    }
    const size_t node = static_cast<size_t>(s.first + a);
    dh += derivative * h_[node];
    dlnw += weight * dlnhdw_[node];
  }
  r.h = valueAt(x);  // the value a map reads, to the last bit
  r.dhdx = dh / kStepU / x;  // dH/du / x
  r.dlnhdw = dlnw;
  return r;
}

std::shared_ptr<const ExactHTable> exactHTableFor(double w) {
  static std::mutex guard;
  static std::vector<std::shared_ptr<const ExactHTable>> recent;
  constexpr size_t kKept = 8;
  {
    const std::lock_guard<std::mutex> lock(guard);
    for (size_t k = 0; k < recent.size(); ++k)
      if (recent[k]->albedo() == w) {
        std::rotate(recent.begin(), recent.begin() + static_cast<std::ptrdiff_t>(k),
                    recent.begin() + static_cast<std::ptrdiff_t>(k) + 1);
        return recent.front();
      }
  }
  auto table = std::make_shared<const ExactHTable>(w);
  const std::lock_guard<std::mutex> lock(guard);
  recent.insert(recent.begin(), table);
  if (recent.size() > kKept) recent.pop_back();
  return table;
}

}  // namespace korvalen
