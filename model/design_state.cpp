#include "model/design_state.h"

#include <cmath>

#define REAL(f) RealField{#f, &DesignState::f}
static constexpr RealField kRealFields[] = {
    REAL(S11mag), REAL(S12mag), REAL(S21mag), REAL(S22mag),
    REAL(S11ang), REAL(S12ang), REAL(S21ang), REAL(S22ang),
    REAL(Ro),     REAL(RE),     REAL(RL),     REAL(fMHz),
    REAL(Lf),     REAL(Cf),     REAL(Rf),     REAL(Gf),
    REAL(Bf),     REAL(ReZi),   REAL(ImZi),   REAL(ReZo),
    REAL(ImZo),   REAL(ReZiCheck), REAL(ImZiCheck), REAL(ReZoCheck),
    REAL(ImZoCheck), REAL(PoPi), REAL(Li1),   REAL(Ci),
    REAL(Li2),    REAL(Ci1),    REAL(Li),     REAL(Ci2),
    REAL(Lo1),    REAL(Co),     REAL(Lo2),    REAL(Co1),
    REAL(Lo),     REAL(Co2),    REAL(ReZe),   REAL(ImZe),
    REAL(ReZotot), REAL(ImZotot), REAL(ReZL), REAL(ImZL),
    REAL(ReZitot), REAL(ImZitot),
};
#undef REAL

#define CPLX(f) ComplexField{#f, &DesignState::f}
static constexpr ComplexField kComplexFields[] = {
    CPLX(Y11), CPLX(Y12), CPLX(Y21), CPLX(Y22), CPLX(YS), CPLX(YL),
};
#undef CPLX

std::span<const RealField> RealFields() { return kRealFields; }
std::span<const ComplexField> ComplexFields() { return kComplexFields; }

bool AllFieldsFinite(const DesignState& state) {
  for (const RealField& f : kRealFields)
    if (!std::isfinite(state.*f.member)) return false;
  for (const ComplexField& f : kComplexFields) {
    const Complex& z = state.*f.member;
    if (!std::isfinite(z.re) || !std::isfinite(z.im)) return false;
  }
  return true;
}
