#pragma once
// Chandrasekhar's H function for isotropic scattering with single-scattering
// albedo w, to 1e-7: the solution of
//   1/H(x) = sqrt(1 - w) + (w/2) int_0^1 x' H(x') / (x + x') dx'.
// It is found from its closed integral form,
//   ln H(x) = -(1/pi) int_0^(pi/2) ln(1 - w theta cot theta) dphi,
//   theta = atan(tan(phi) / x),
// whose integrand is bounded (logarithmic at phi = 0 only for w = 1); a map
// reads it from a table built once for its albedo. Plain 64-bit arithmetic,
// no Qt; never a NaN or an infinity for x >= 0 and w in [0, 1].
#include <memory>
#include <vector>

namespace korvalen {

// H at x and its derivatives, for the value of a dual number.
struct ExactHValue {
  double h = 1;
  double dhdx = 0;    // dH/dx
  double dlnhdw = 0;  // d ln H / dw
};

// H(x) by the integral itself, with d ln H / dw; x <= 0 gives H = 1.
ExactHValue exactHByIntegral(double w, double x);

// H over x for one albedo: the integral at nodes evenly spaced in ln x from
// 1e-12 to 4, read between them by a Lagrange polynomial of degree 7. Below
// the first node H - 1 (under 2e-11 there) goes linearly to 0; beyond the
// last node the integral is taken itself.
class ExactHTable {
 public:
  explicit ExactHTable(double w);
  double albedo() const { return w_; }
  // H(x) alone, as a map reads it.
  double valueAt(double x) const;
  // H(x) with its derivatives by x and by w, for a dual number.
  ExactHValue at(double x) const;

 private:
  double w_;
  std::vector<double> h_, dlnhdw_;  // at the nodes
};

// The table for albedo w, shared by every map and curve of that albedo (the
// few most recent albedos are kept).
std::shared_ptr<const ExactHTable> exactHTableFor(double w);

}  // namespace korvalen
