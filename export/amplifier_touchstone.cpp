#include "export/amplifier_touchstone.h"

#include <charconv>
#include <cstdlib>

#include "export/spice_netlist.h"
#include "noise/design_noise.h"
#include "text/number_text.h"

namespace {

// MHz to Hz by moving the decimal point of the shortest text, so 431.2 MHz
// is written 4.312e8 Hz and not 431200000.00000006.
std::string HzText(double fMHz) {
  char buf[40];
  auto r = std::to_chars(buf, buf + sizeof buf, fMHz, std::chars_format::scientific);
  const std::string text(buf, r.ptr);
  const size_t e = text.find('e');
  const int exponent = std::atoi(text.c_str() + e + 1) + 6;
  return text.substr(0, e) + "e" + std::to_string(exponent);
}

std::string Pair(Cx z) { return FileNumberText(z.real()) + " " + FileNumberText(z.imag()); }

}  // namespace

std::string AmplifierTouchstoneText(const AmplifierDesign& d, const SweepResult& sweep, bool heldConstant,
                                    const std::vector<NoiseParameters>& noise,
                                    const std::vector<double>& noiseMHz) {
  const bool sameReference = d.RE == d.RL;
  std::string out = "! " + DescribeDesign(d) + "\n";
  out += "! L'amplificatore completo: parametri S riferiti a RE all'ingresso e a RL all'uscita\n";
  if (heldConstant)
    out += "! Senza file Touchstone: i parametri S del transistore sono quelli inseriti a " + FileNumberText(d.fMHz) +
           " MHz, tenuti costanti a ogni frequenza\n";
  if (sameReference) {
    out += "! Touchstone 1.1\n# Hz S RI R " + FileNumberText(d.RE) + "\n";
  } else {
    out += "[Version] 2.0\n# Hz S RI R " + FileNumberText(d.RE) + "\n[Number of Ports] 2\n"
           "[Two-Port Data Order] 21_12\n[Number of Frequencies] " +
           std::to_string(sweep.points.size()) + "\n[Reference] " + FileNumberText(d.RE) + " " + FileNumberText(d.RL) +
           "\n[Network Data]\n";
  }
  out += "! f[Hz] Re(S11) Im(S11) Re(S21) Im(S21) Re(S12) Im(S12) Re(S22) Im(S22)\n";
  for (const AmplifierPoint& p : sweep.points)
    out += HzText(p.fMHz) + " " + Pair(p.s.s11) + " " + Pair(p.s.s21) + " " + Pair(p.s.s12) + " " +
           Pair(p.s.s22) + "\n";
  if (sameReference && !noise.empty() && noise.size() == noiseMHz.size()) {
    // The block starts where a frequency no longer rises, so a reader finds it
    // without a keyword.
    out += "! Rumore dell'amplificatore: f[Hz] NFmin[dB] |Γopt| ang(Γopt)[°] Rn/RE\n";
    for (std::size_t i = 0; i < noise.size(); ++i) {
      const NoiseParameters& n = noise[i];
      out += HzText(noiseMHz[i]) + " " + FileNumberText(n.nfMinDb()) + " " + FileNumberText(std::abs(n.gammaOpt)) +
             " " + FileNumberText(DegreesOf(n.gammaOpt)) + " " + FileNumberText(n.rnOhm / d.RE) + "\n";
    }
  }
  if (!sameReference) out += "[End]\n";
  return out;
}
