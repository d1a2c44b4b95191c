#include "export/spice_netlist.h"

#include <cmath>
#include <numbers>

#include "model/arithmetic.h"
#include "text/number_text.h"

namespace {

// The simulator's angular frequency: its own π, not the windows' 2π literal,
// so a capacitor realises exactly the susceptance asked for.
double Omega(double fMHz) { return 2.0 * kPi * fMHz * 1e6; }


// A series arm between a and b, or a shunt arm from a to ground.
std::string Arm(const std::string& name, NetworkKind kind, bool shunt, const std::string& a,
                const std::string& b, double value) {
  const bool inductor = (kind == NetworkKind::LCL) == !shunt;
  return (inductor ? "L" : "C") + name + " " + a + " " + b + " " + FileNumberText(value) +
         (inductor ? "n" : "p") + "\n";
}

// One T network as a subcircuit from node `from` to node `to`: its series
// arm at `from`, the shunt arm, its series arm at `to`.
struct SubcircuitText {
  const char* title;  // "rete d'ingresso"
  const char* arms;   // the arms in order, for the comment line
  const char* name;   // "rete_ingresso"
  const char* from;
  const char* to;
};
std::string Subcircuit(const TeeNetwork& n, const SubcircuitText& t, double atFrom, double atTo) {
  std::string out = "* ";
  out.append(t.title).append(" ").append(NetworkKindName(n.kind)).append(": ").append(t.arms);
  out.append("\n.subckt ").append(t.name).append(" ").append(t.from).append(" ").append(t.to).append("\n");
  out.append(Arm("1", n.kind, false, t.from, "m", atFrom)).append(Arm("2", n.kind, true, "m", "0", n.shunt));
  out.append(Arm("3", n.kind, false, "m", t.to, atTo));
  return out.append(".ends ").append(t.name).append("\n");
}

std::string InputNetwork(const TeeNetwork& n) {
  return Subcircuit(n,
                    {"rete d'ingresso", "braccio verso RE, braccio in parallelo, braccio verso il transistore",
                     "rete_ingresso", "sorgente", "transistore"},
                    n.outer, n.inner);
}

std::string OutputNetwork(const TeeNetwork& n) {
  return Subcircuit(n,
                    {"rete d'uscita", "braccio verso il transistore, braccio in parallelo, braccio verso RL",
                     "rete_uscita", "transistore", "carico"},
                    n.inner, n.outer);
}

// Yf = Gf + jBf at the design frequency: Rf, with Lf for Bf < 0 or Cf for Bf > 0.
std::string Feedback(const DesignState& s) {
  std::string out = "* reazione Yf tra ingresso (base) e uscita (collettore)\n"
                    ".subckt reazione ingresso uscita\n";
  if (s.Gf != 0) out += "Rf ingresso uscita " + FileNumberText(1.0 / s.Gf) + "\n";
  // Lf and Cf as the window shows them (recomputed from Bf by its compute).
  if (s.Bf < 0) out += "Lf ingresso uscita " + FileNumberText(s.Lf * 1000) + "n\n";
  if (s.Bf > 0) out += "Cf ingresso uscita " + FileNumberText(s.Cf) + "p\n";
  if (s.Gf == 0 && s.Bf == 0) out += "* nessuna reazione: Yf = 0\n";
  return out + ".ends reazione\n";
}

std::string Subcircuits(const AmplifierDesign& d) {
  return InputNetwork(d.input) + "\n" + OutputNetwork(d.output) + "\n" + Feedback(d.state) + "\n";
}

// Source RE, networks, transistor `model` with its feedback, load RL; the
// current into the input network is sensed by VI.
std::string Amplifier(const AmplifierDesign& d, const std::string& model) {
  return "VS gen 0 dc 0 ac 1\n"
         "RE gen p " + FileNumberText(d.RE) + "\n"
         "VI p ingresso dc 0\n"
         "XIN ingresso b rete_ingresso\n"
         "XQ c b 0 " + model + "\n"
         "XF b c reazione\n"
         "XOUT c uscita rete_uscita\n"
         "RL uscita 0 " + FileNumberText(d.RL) + "\n";
}

// The bench ends ngspice after printing, so a batch run reports success
// (without an analysis card of its own, batch mode would end with status 1).
std::string Analysis(const AmplifierDesign& d, bool quit) {
  const std::string f = FileNumberText(d.fMHz * 1e6);
  return "\n.control\n"
         "set numdgt=15\n"
         "ac lin 1 " + f + " " + f + "\n"
         "let zin = v(ingresso)/i(vi)\n"
         "let guadagno = mag(v(uscita))/mag(v(ingresso))\n"
         "print real(zin) imag(zin) guadagno\n" +
         (quit ? "quit 0\n" : "") + ".endc\n";
}

// One admittance term: the current Y·V(from) into node `to`, both against e.
std::string AdmittanceTerm(const std::string& name, const std::string& to, const std::string& from,
                           Complex y, double omega) {
  std::string out;
  if (y.re != 0) out += "G" + name + " " + to + " e " + from + " e " + FileNumberText(y.re) + "\n";
  if (y.im != 0) {
    // jB·V: the current of a capacitor |B|/ω driven by a copy of V, fed in
    // with the sign of B.
    out += "E" + name + " x" + name + " e " + from + " e 1\n";
    out += "V" + name + " x" + name + " y" + name + " dc 0\n";
    out += "C" + name + " y" + name + " e " + FileNumberText(std::fabs(y.im) / omega) + "\n";
    out += "F" + name + " " + to + " e V" + name + " " + (y.im > 0 ? "1" : "-1") + "\n";
  }
  return out;
}

std::string LinearTransistor(const AmplifierDesign& d) {
  const DesignState& s = d.state;
  const double omega = Omega(d.fMHz);
  return "* il transistore lineare a " + FileNumberText(d.fMHz) +
         " MHz: i suoi parametri Y (siemens), porta 1 base, porta 2 collettore\n"
         ".subckt transistore_lineare c b e\n" +
         AdmittanceTerm("11", "b", "b", s.Y11, omega) + AdmittanceTerm("12", "b", "c", s.Y12, omega) +
         AdmittanceTerm("21", "c", "b", s.Y21, omega) + AdmittanceTerm("22", "c", "c", s.Y22, omega) +
         ".ends transistore_lineare\n";
}

}  // namespace

std::string DescribeDesign(const AmplifierDesign& d) {
  const NetworkKinds kinds = d.kinds;
  return "Adattamento BJT, " + d.origin + ": f = " + FileNumberText(d.fMHz) + " MHz, RE = " + FileNumberText(d.RE) +
         " ohm, RL = " + FileNumberText(d.RL) + " ohm, reti " + NetworkKindName(kinds.input) + " / " +
         NetworkKindName(kinds.output);
}

std::string SpiceNetlistText(const AmplifierDesign& d) {
  return "* " + DescribeDesign(d) + "\n"
         "* valori in nH, pF, ohm\n\n" + Subcircuits(d) +
         "* Il transistore: un sottocircuito \"transistore\" con i nodi collettore base\n"
         "* emettitore, ad es.: .include transistore.lib\n"
         "* Deve essere un modello per piccoli segnali, senza polarizzazione: le reti\n"
         "* e la reazione non hanno condensatori di blocco, e in continua collegano la\n"
         "* base e il collettore a RE, a RL e tra loro (attraverso Rf e Lf).\n\n" +
         Amplifier(d, "transistore") + Analysis(d, false) + ".end\n";
}

std::string SpiceBenchText(const AmplifierDesign& d) {
  return "* Banco di prova: " + DescribeDesign(d) + "\n"
         "* il transistore sostituito dal suo equivalente lineare, valido soltanto a " +
         FileNumberText(d.fMHz) + " MHz\n\n" + Subcircuits(d) + LinearTransistor(d) + "\n" +
         Amplifier(d, "transistore_lineare") + Analysis(d, true) + ".end\n";
}

std::string SpiceBenchPath(const std::string& netlistPath) {
  const size_t slash = netlistPath.find_last_of('/');
  const size_t dot = netlistPath.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash) ||
      dot == (slash == std::string::npos ? 0 : slash + 1))
    return netlistPath + "_banco.cir";
  return netlistPath.substr(0, dot) + "_banco" + netlistPath.substr(dot);
}
