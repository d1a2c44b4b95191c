#include "session/state_json.h"

#include <charconv>
#include <cmath>
#include <cstdio>

std::string JsonString(std::string_view utf8) {
  std::string out = "\"";
  for (unsigned char c : utf8) {
    switch (c) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\t': out += "\\t"; break;
      case '\r': out += "\\r"; break;
      default:
        if (c < 0x20) {
          char buf[8];
          std::snprintf(buf, sizeof buf, "\\u%04x", c);
          out += buf;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  return out + "\"";
}

std::string JsonNumber(double x) {
  if (std::isnan(x)) return "\"nan\"";
  if (std::isinf(x)) return "\"inf\"";
  char buf[40];
  auto r = std::to_chars(buf, buf + sizeof buf, x);
  return std::string(buf, r.ptr);
}

std::string StateJson(const DesignState& s) {
  std::string o = "{";
  for (const RealField& f : RealFields()) o += JsonString(f.name) + ":" + JsonNumber(s.*f.member) + ",";
  for (const ComplexField& f : ComplexFields()) {
    const Complex& z = s.*f.member;
    o += JsonString(f.name) + ":[" + JsonNumber(z.re) + "," + JsonNumber(z.im) + "],";
  }
  o += "\"iterationCount\":" + std::to_string(s.iterationCount) +
       ",\"errorFlag\":" + std::to_string(s.errorFlag) + "}";
  return o;
}
