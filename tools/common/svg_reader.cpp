#include "svg_reader.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <pugixml.hpp>
#include <string>
#include <vector>

#include "outline_io.h"

namespace outlina::cli {
namespace {

constexpr double kPi = 3.14159265358979323846;

struct Affine {
  double a = 1, b = 0, c = 0, d = 1, e = 0, f = 0;  // x' = a x + c y + e, y' = b x + d y + f
  Vec2 apply(Vec2 p) const { return {a * p.x + c * p.y + e, b * p.x + d * p.y + f}; }
  Affine then(const Affine &m) const {  // this first, then m
    return {m.a * a + m.c * b, m.b * a + m.d * b,       m.a * c + m.c * d,
            m.b * c + m.d * d, m.a * e + m.c * f + m.e, m.b * e + m.d * f + m.f};
  }
};

// Numbers in SVG lists: separated by white space and/or one comma, or by a sign or a second
// decimal point alone.
class Numbers {
 public:
  explicit Numbers(const char *text) : s_(text) {}
  void skipSeparators() {
    while (*s_ && (std::isspace(static_cast<unsigned char>(*s_)) || *s_ == ',')) ++s_;
  }
  bool atNumber() {
    skipSeparators();
    return *s_ == '-' || *s_ == '+' || *s_ == '.' || std::isdigit(static_cast<unsigned char>(*s_));
  }
  bool next(double &v) {
    if (!atNumber()) return false;
    char *end = nullptr;
    v = std::strtod(s_, &end);
    if (end == s_) return false;
    s_ = end;
    return true;
  }
  // Arc flags are single digits that need no separator.
  bool flag(bool &v) {
    skipSeparators();
    if (*s_ != '0' && *s_ != '1') return false;
    v = *s_++ == '1';
    return true;
  }
  const char *&cursor() { return s_; }

 private:
  const char *s_;
};

class Builder {
 public:
  Builder(std::vector<Command> &out, const Affine &m) : out_(out), m_(m) {}
  void move(Vec2 p) {
    out_.push_back({Op::Move, {map(p), {}, {}}});
    start_ = cur_ = p;
  }
  void line(Vec2 p) {
    out_.push_back({Op::Line, {map(p), {}, {}}});
    cur_ = p;
  }
  void quad(Vec2 c, Vec2 p) {
    out_.push_back({Op::Quad, {map(c), map(p), {}}});
    cur_ = p;
  }
  void cubic(Vec2 c1, Vec2 c2, Vec2 p) {
    out_.push_back({Op::Cubic, {map(c1), map(c2), map(p)}});
    cur_ = p;
  }
  void close() {
    out_.push_back({Op::Close, {}});
    cur_ = start_;
  }
  // An elliptic arc from the current point, as cubics of at most a quarter turn each.
  void arc(double rx, double ry, double angleDeg, bool large, bool sweep, Vec2 p) {
    const Vec2 p0 = cur_;
    rx = std::fabs(rx);
    ry = std::fabs(ry);
    if (rx == 0 || ry == 0 || (p0.x == p.x && p0.y == p.y)) {
      if (p0.x != p.x || p0.y != p.y) line(p);
      return;
    }
    const double phi = angleDeg * kPi / 180, cp = std::cos(phi), sp = std::sin(phi);
    const double hx = (p0.x - p.x) / 2, hy = (p0.y - p.y) / 2;
    const double x1 = cp * hx + sp * hy, y1 = -sp * hx + cp * hy;
    const double lambda = x1 * x1 / (rx * rx) + y1 * y1 / (ry * ry);
    if (lambda > 1) {  // radii too small for the chord are scaled up
      rx *= std::sqrt(lambda);
      ry *= std::sqrt(lambda);
    }
    const double num = rx * rx * ry * ry - rx * rx * y1 * y1 - ry * ry * x1 * x1;
    const double den = rx * rx * y1 * y1 + ry * ry * x1 * x1;
    double k = std::sqrt(std::max(0.0, num / den));
    if (large == sweep) k = -k;
    const double cxp = k * rx * y1 / ry, cyp = -k * ry * x1 / rx;
    const double cx = cp * cxp - sp * cyp + (p0.x + p.x) / 2;
    const double cy = sp * cxp + cp * cyp + (p0.y + p.y) / 2;
    auto angle = [](double ux, double uy) { return std::atan2(uy, ux); };
    const double t1 = angle((x1 - cxp) / rx, (y1 - cyp) / ry);
    double dt = angle((-x1 - cxp) / rx, (-y1 - cyp) / ry) - t1;
    if (sweep && dt < 0) dt += 2 * kPi;
    if (!sweep && dt > 0) dt -= 2 * kPi;
    const int pieces = std::max(1, static_cast<int>(std::ceil(std::fabs(dt) / (kPi / 2) - 1e-9)));
    const double step = dt / pieces;
    const double handle = 4.0 / 3.0 * std::tan(step / 4);
    auto onEllipse = [&](double t) {
      return Vec2{cx + rx * std::cos(t) * cp - ry * std::sin(t) * sp,
                  cy + rx * std::cos(t) * sp + ry * std::sin(t) * cp};
    };
    auto tangent = [&](double t) {
      return Vec2{-rx * std::sin(t) * cp - ry * std::cos(t) * sp,
                  -rx * std::sin(t) * sp + ry * std::cos(t) * cp};
    };
    for (int i = 0; i < pieces; ++i) {
      const double a = t1 + i * step, b = a + step;
      const Vec2 pa = onEllipse(a), ta = tangent(a), tb = tangent(b);
      const Vec2 pb = i + 1 == pieces ? p : onEllipse(b);
      cubic({pa.x + handle * ta.x, pa.y + handle * ta.y},
            {pb.x - handle * tb.x, pb.y - handle * tb.y}, pb);
    }
  }
  Vec2 current() const { return cur_; }

 private:
  // SVG user units are millimetres with y down; the library's y points up.
  Vec2 map(Vec2 p) const {
    const Vec2 q = m_.apply(p);
    return {q.x, -q.y};
  }
  std::vector<Command> &out_;
  Affine m_;
  Vec2 start_{}, cur_{};
};

bool parsePathData(const char *d, Builder &b, std::string &error) {
  Numbers in(d);
  char command = 0;
  Vec2 lastControl{};
  char lastOp = 0;
  bool started = false;
  for (;;) {
    in.skipSeparators();
    const char *&s = in.cursor();
    if (*s == 0) return true;
    if (std::isalpha(static_cast<unsigned char>(*s))) {
      command = *s++;
    } else if (command == 0) {
      error = "path data must begin with a command";
      return false;
    }
    const bool rel = std::islower(static_cast<unsigned char>(command));
    const char op = static_cast<char>(std::toupper(static_cast<unsigned char>(command)));
    const Vec2 c = b.current();
    auto abs = [&](double x, double y) { return rel ? Vec2{c.x + x, c.y + y} : Vec2{x, y}; };
    double v[7];
    auto read = [&](int n) {
      for (int i = 0; i < n; ++i)
        if (!in.next(v[i])) return false;
      return true;
    };
    if (op != 'Z' && op != 'M' && !started) {
      error = "path data draws before its first move";
      return false;
    }
    // Drawing on after a close starts a new contour at the closed one's start.
    if (op != 'Z' && op != 'M' && lastOp == 'Z') b.move(c);
    bool ok = true;
    switch (op) {
      case 'Z':
        b.close();
        command = 0;
        break;
      case 'M':
        if ((ok = read(2))) {
          b.move(abs(v[0], v[1]));
          started = true;
          command = rel ? 'l' : 'L';  // further pairs are lines
        }
        break;
      case 'L':
        if ((ok = read(2))) b.line(abs(v[0], v[1]));
        break;
      case 'H':
        if ((ok = read(1))) b.line({rel ? c.x + v[0] : v[0], c.y});
        break;
      case 'V':
        if ((ok = read(1))) b.line({c.x, rel ? c.y + v[0] : v[0]});
        break;
      case 'C':
        if ((ok = read(6))) {
          lastControl = abs(v[2], v[3]);
          b.cubic(abs(v[0], v[1]), lastControl, abs(v[4], v[5]));
        }
        break;
      case 'S':
        if ((ok = read(4))) {
          const Vec2 first = lastOp == 'C' || lastOp == 'S'
                                 ? Vec2{2 * c.x - lastControl.x, 2 * c.y - lastControl.y}
                                 : c;
          lastControl = abs(v[0], v[1]);
          b.cubic(first, lastControl, abs(v[2], v[3]));
        }
        break;
      case 'Q':
        if ((ok = read(4))) {
          lastControl = abs(v[0], v[1]);
          b.quad(lastControl, abs(v[2], v[3]));
        }
        break;
      case 'T':
        if ((ok = read(2))) {
          lastControl = lastOp == 'Q' || lastOp == 'T'
                            ? Vec2{2 * c.x - lastControl.x, 2 * c.y - lastControl.y}
                            : c;
          b.quad(lastControl, abs(v[0], v[1]));
        }
        break;
      case 'A': {
        bool large = false, sweep = false;
        ok = in.next(v[0]) && in.next(v[1]) && in.next(v[2]) && in.flag(large) && in.flag(sweep) &&
             in.next(v[3]) && in.next(v[4]);
        if (ok) b.arc(v[0], v[1], v[2], large, sweep, abs(v[3], v[4]));
        break;
      }
      default:
        error = std::string("unknown path command '") + command + "'";
        return false;
    }
    if (!ok) {
      error = std::string("malformed numbers after path command '") + command + "'";
      return false;
    }
    lastOp = op;
  }
}

bool parseTransform(const char *text, Affine &m, std::string &error) {
  const char *s = text;
  for (;;) {
    while (*s && (std::isspace(static_cast<unsigned char>(*s)) || *s == ',')) ++s;
    if (*s == 0) return true;
    const char *name = s;
    while (std::isalpha(static_cast<unsigned char>(*s))) ++s;
    const std::string fn(name, s);
    while (std::isspace(static_cast<unsigned char>(*s))) ++s;
    if (*s != '(') {
      error = "malformed transform \"" + std::string(text) + "\"";
      return false;
    }
    const char *close = std::strchr(s, ')');
    if (close == nullptr) {
      error = "unclosed transform \"" + std::string(text) + "\"";
      return false;
    }
    const std::string args(s + 1, close);
    Numbers in(args.c_str());
    std::vector<double> v;
    double x;
    while (in.next(x)) v.push_back(x);
    s = close + 1;
    Affine t;
    const double rad = v.empty() ? 0 : v[0] * kPi / 180;
    if (fn == "matrix" && v.size() == 6) {
      t = {v[0], v[1], v[2], v[3], v[4], v[5]};
    } else if (fn == "translate" && (v.size() == 1 || v.size() == 2)) {
      t.e = v[0];
      t.f = v.size() == 2 ? v[1] : 0;
    } else if (fn == "scale" && (v.size() == 1 || v.size() == 2)) {
      t.a = v[0];
      t.d = v.size() == 2 ? v[1] : v[0];
    } else if (fn == "rotate" && (v.size() == 1 || v.size() == 3)) {
      const double cx = v.size() == 3 ? v[1] : 0, cy = v.size() == 3 ? v[2] : 0;
      t = {std::cos(rad), std::sin(rad), -std::sin(rad), std::cos(rad), 0, 0};
      t.e = cx - t.a * cx - t.c * cy;
      t.f = cy - t.b * cx - t.d * cy;
    } else if (fn == "skewX" && v.size() == 1) {
      t.c = std::tan(rad);
    } else if (fn == "skewY" && v.size() == 1) {
      t.b = std::tan(rad);
    } else {
      error = "unsupported transform \"" + fn + "\"";
      return false;
    }
    // The list applies right to left: the last transform acts first on the points.
    m = t.then(m);
  }
}

double attr(const pugi::xml_node &n, const char *name, double fallback = 0) {
  const pugi::xml_attribute a = n.attribute(name);
  return a ? std::strtod(a.value(), nullptr) : fallback;
}

void ellipse(Builder &b, double cx, double cy, double rx, double ry) {
  if (rx <= 0 || ry <= 0) return;
  b.move({cx + rx, cy});
  b.arc(rx, ry, 0, false, true, {cx, cy + ry});
  b.arc(rx, ry, 0, false, true, {cx - rx, cy});
  b.arc(rx, ry, 0, false, true, {cx, cy - ry});
  b.arc(rx, ry, 0, false, true, {cx + rx, cy});
  b.close();
}

bool readShapes(const pugi::xml_node &node, const Affine &parent, std::vector<Command> &out,
                std::string &error) {
  for (const pugi::xml_node &child : node.children()) {
    if (child.type() != pugi::node_element) continue;
    Affine m;
    if (const pugi::xml_attribute t = child.attribute("transform"))
      if (!parseTransform(t.value(), m, error)) return false;
    m = m.then(parent);
    const std::string name = child.name();
    Builder b(out, m);
    if (name == "g" || name == "svg" || name == "a") {
      if (!readShapes(child, m, out, error)) return false;
    } else if (name == "path") {
      if (!parsePathData(child.attribute("d").value(), b, error)) return false;
    } else if (name == "rect") {
      const double x = attr(child, "x"), y = attr(child, "y");
      const double w = attr(child, "width"), h = attr(child, "height");
      if (w > 0 && h > 0) {
        b.move({x, y});
        b.line({x + w, y});
        b.line({x + w, y + h});
        b.line({x, y + h});
        b.close();
      }
    } else if (name == "circle") {
      const double r = attr(child, "r");
      ellipse(b, attr(child, "cx"), attr(child, "cy"), r, r);
    } else if (name == "ellipse") {
      ellipse(b, attr(child, "cx"), attr(child, "cy"), attr(child, "rx"), attr(child, "ry"));
    } else if (name == "polygon" || name == "polyline") {
      Numbers in(child.attribute("points").value());
      double x, y;
      bool first = true;
      while (in.next(x) && in.next(y)) {
        if (first)
          b.move({x, y});
        else
          b.line({x, y});
        first = false;
      }
      if (!first && name == "polygon") b.close();
    }
  }
  return true;
}

int lineOf(const std::string &text, ptrdiff_t offset) {
  const auto end = text.begin() + std::min<ptrdiff_t>(offset, static_cast<ptrdiff_t>(text.size()));
  return 1 + static_cast<int>(std::count(text.begin(), end, '\n'));
}

}  // namespace

bool readSvgText(const std::string &text, JVect *path, std::string &error) {
  pugi::xml_document doc;
  const pugi::xml_parse_result parsed = doc.load_buffer(text.data(), text.size());
  if (!parsed) {
    error = "line " + std::to_string(lineOf(text, parsed.offset)) + ": not well-formed XML (" +
            parsed.description() + ")";
    return false;
  }
  const pugi::xml_node root = doc.document_element();
  if (std::string(root.name()) != "svg") {
    error = "the document element is <" + std::string(root.name()) + ">, not <svg>";
    return false;
  }
  std::vector<Command> commands;
  if (!readShapes(root, Affine{}, commands, error)) return false;
  if (!appendCommands(path, commands)) {
    error = "out of memory";
    return false;
  }
  return true;
}

bool readSvgFile(const std::string &file, JVect *path, std::string &error) {
  return readFileWith(file, path, error, readSvgText);
}

}  // namespace outlina::cli
