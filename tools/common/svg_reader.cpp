#include "svg_reader.h"

#include <malloc.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <memory>
#include <pugixml.hpp>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "outline_io.h"

namespace outlina::cli {
namespace {

constexpr double kPi = 3.14159265358979323846;

struct Affine {
  double a = 1, b = 0, c = 0, d = 1, e = 0, f = 0;  // x' = a x + c y + e, y' = b x + d y + f
  Vec2 apply(Vec2 p) const { return {a * p.x + c * p.y + e, b * p.x + d * p.y + f}; }
  // How much the transform stretches lengths, on average over directions.
  double lengthScale() const { return std::sqrt(std::fabs(a * d - b * c)); }
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
    if (!std::isfinite(v)) {
      outOfRange_ = true;
      return false;
    }
    return true;
  }
  // True once a number overflowed to infinity (1e400) or spelled one out.
  bool outOfRange() const { return outOfRange_; }
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
  bool outOfRange_ = false;
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
  // False once a point landed outside the coordinate range or at no number at all.
  bool inRange() const { return inRange_; }

 private:
  // The transform ends in millimetres with y down; the library's y points up.
  Vec2 map(Vec2 p) {
    const Vec2 q = m_.apply(p);
    if (!(std::fabs(q.x) <= kMaxCoordinateMm && std::fabs(q.y) <= kMaxCoordinateMm))
      inRange_ = false;
    return {q.x, -q.y};
  }
  std::vector<Command> &out_;
  Affine m_;
  Vec2 start_{}, cur_{};
  bool inRange_ = true;
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
      error = std::string(in.outOfRange() ? "a number out of range" : "malformed numbers") +
              " after path command '" + command + "'";
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
    if (in.outOfRange()) {
      error = "a number out of range in transform \"" + std::string(text) + "\"";
      return false;
    }
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

// CSS pixels per inch and millimetres per inch: lengths with units become user units (px).
constexpr double kPxPerInch = 96.0;
constexpr double kMmPerInch = 25.4;
// Following use references can multiply a small file into a huge drawing; past this many
// elements the document is refused instead of filling memory.
constexpr size_t kMaxElements = 1000000;
// Stroke settings where the drawing gives none.
constexpr double kDefaultMiterLimit = 4.0;

// What an element paints, inherited from its ancestors unless it says otherwise.
struct Paint {
  bool fill = true;
  int fillRule = JWF_NONZERO;
  bool stroke = false;
  double strokeWidth = 1;
  int cap = JVC_FLAT;
  int join = JVJ_MITER;
  double miterLimit = kDefaultMiterLimit;
  std::vector<double> dashes;
  bool visible = true;
};

struct Viewport {
  double width = 0, height = 0;
};

enum class Axis { X, Y, Diagonal };

// One painted element handed on by the walk: its commands in millimetres with y up.
struct Shape {
  const std::vector<Command> &commands;
  const Paint &paint;
  double lengthScale;  // user units to millimetres, for stroke widths and dashes
};
using ShapeSink = std::function<bool(const Shape &, std::string &error)>;

// Where the text's lines end, so that an element's line can be named once the text is gone.
class LineBreaks {
 public:
  explicit LineBreaks(const std::string &text) {
    breaks_.reserve(static_cast<size_t>(std::count(text.begin(), text.end(), '\n')));
    for (size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', at + 1))
      breaks_.push_back(at);
  }
  int lineOf(ptrdiff_t offset) const {
    return 1 + static_cast<int>(std::lower_bound(breaks_.begin(), breaks_.end(), offset) -
                                breaks_.begin());
  }

 private:
  std::vector<ptrdiff_t> breaks_;
};

std::string trimmed(const std::string &s) {
  const size_t from = s.find_first_not_of(" \t\r\n");
  if (from == std::string::npos) return {};
  return s.substr(from, s.find_last_not_of(" \t\r\n") - from + 1);
}

// The viewBox-to-viewport transform with its preserveAspectRatio.
Affine viewBoxTransform(const double (&box)[4], double x, double y, double w, double h,
                        const std::string &aspect) {
  double sx = w / box[2], sy = h / box[3];
  double ax = 0.5, ay = 0.5;  // xMidYMid
  if (aspect.rfind("none", 0) != 0) {
    if (aspect.find("xMin") != std::string::npos) ax = 0;
    if (aspect.find("xMax") != std::string::npos) ax = 1;
    if (aspect.find("YMin") != std::string::npos) ay = 0;
    if (aspect.find("YMax") != std::string::npos) ay = 1;
    sx = sy = aspect.find("slice") != std::string::npos ? std::max(sx, sy) : std::min(sx, sy);
  }
  const double tx = x + ax * (w - box[2] * sx) - box[0] * sx;
  const double ty = y + ay * (h - box[3] * sy) - box[1] * sy;
  return {sx, 0, 0, sy, tx, ty};
}

// Elements drawn between two calls of the walk's shed hook, which hands the memory of the
// elements let go back to the system: often enough that a large drawing's document shrinks
// while its outline grows, rarely enough that the calls cost nothing beside the drawing.
constexpr int kReleasesPerShed = 4096;

class Walker {
 public:
  // shed() is called now and then as elements are let go.
  Walker(const LineBreaks &lines, const ShapeSink &sink, const std::function<void()> &shed,
         std::string &error)
      : lines_(lines), sink_(sink), shed_(shed), error_(error) {}

  bool run(const pugi::xml_node &root) {
    indexIds(root);
    Viewport vp;
    Affine page;
    if (!rootPage(root, page, vp)) return false;
    Affine own;
    if (!transformOf(root, own)) return false;
    Paint paint;
    if (!paintOf(root, paint, vp)) return false;
    return children(root, own.then(page), paint, vp, 1);
  }

 private:
  // The root's user space in millimetres: through width, height and viewBox when the page has
  // an absolute size, one millimetre to the unit otherwise.
  bool rootPage(const pugi::xml_node &root, Affine &page, Viewport &vp) {
    double box[4];
    const bool hasBox = viewBox(root, box);
    if (!hasBox) box[2] = box[3] = 0;
    const std::string w = root.attribute("width").value(), h = root.attribute("height").value();
    const Viewport outer{box[2], box[3]};
    double wPx = 0, hPx = 0;
    const bool sized = absolute(w) && absolute(h) &&
                       length(root, "width", Axis::X, outer, 0, wPx) &&
                       length(root, "height", Axis::Y, outer, 0, hPx) && wPx > 0 && hPx > 0;
    if (!error_.empty()) return false;
    if (!sized) {
      vp = hasBox ? Viewport{box[2], box[3]} : Viewport{};
      return true;
    }
    // Only the scale: where the page lies does not matter to an outline, and keeping the user
    // space's origin lets a written drawing read back where it was.
    const double mmPerPx = kMmPerInch / kPxPerInch;
    if (hasBox) {
      const Affine fit =
          viewBoxTransform(box, 0, 0, wPx, hPx, root.attribute("preserveAspectRatio").value());
      page = {fit.a, 0, 0, fit.d, 0, 0};
    }
    page = page.then(Affine{mmPerPx, 0, 0, mmPerPx, 0, 0});
    vp = hasBox ? Viewport{box[2], box[3]} : Viewport{wPx, hPx};
    return true;
  }

  static bool absolute(const std::string &value) {
    const std::string v = trimmed(value);
    return !v.empty() && v.back() != '%' &&
           !(v.size() > 2 && (v.ends_with("em") || v.ends_with("ex")));
  }

  void indexIds(const pugi::xml_node &root) {
    // Iterative, so that deep documents are indexed without recursion.
    for (pugi::xml_node n = root; n;) {
      if (const pugi::xml_attribute id = n.attribute("id")) {
        ids_.emplace(id.value(), n);
        for (pugi::xml_node up = n; up && referable_.insert(up.internal_object()).second;)
          up = up.parent();
      }
      if (n.first_child()) {
        n = n.first_child();
        continue;
      }
      while (n && n != root && !n.next_sibling()) n = n.parent();
      if (!n || n == root) break;
      n = n.next_sibling();
    }
  }

  bool fail(const pugi::xml_node &node, const std::string &message) {
    error_ = "line " + std::to_string(lines_.lineOf(node.offset_debug())) + ": <" + node.name() +
             ">: " + message;
    return false;
  }

  bool children(const pugi::xml_node &node, const Affine &m, const Paint &paint, const Viewport &vp,
                int depth) {
    for (pugi::xml_node child = node.first_child(); child;) {
      const pugi::xml_node next = child.next_sibling();
      if (child.type() == pugi::node_element && !element(child, m, paint, vp, depth)) return false;
      letGo(node, child);
      child = next;
    }
    return true;
  }

  // A drawn element leaves the document unless a reference may still reach it, so that the
  // document of a large drawing does not hold all of its elements while the outline grows.
  void letGo(pugi::xml_node parent, const pugi::xml_node &child) {
    if (holding_ > 0 || referable_.count(child.internal_object()) != 0) return;
    parent.remove_child(child);
    if (++released_ % kReleasesPerShed == 0 && shed_) shed_();
  }

  // Keeps the elements under an element with an id, or under one drawn through a reference,
  // while the walk is inside it.
  class Hold {
   public:
    explicit Hold(int &count, bool on) : count_(on ? &count : nullptr) {
      if (count_) ++*count_;
    }
    ~Hold() {
      if (count_) --*count_;
    }
    Hold(const Hold &) = delete;
    Hold &operator=(const Hold &) = delete;

   private:
    int *count_;
  };

  // Conditional processing: no extension is supported; languages other than English fail.
  static bool conditionsHold(const pugi::xml_node &node) {
    if (node.attribute("requiredExtensions")) return false;
    const pugi::xml_attribute languages = node.attribute("systemLanguage");
    if (!languages) return true;
    for (const std::string &tag : splitList(languages.value(), ',')) {
      const std::string t = trimmed(tag);
      if (t == "en" || t.rfind("en-", 0) == 0) return true;
    }
    return false;
  }

  bool element(const pugi::xml_node &node, const Affine &parent, const Paint &inherited,
               const Viewport &vp, int depth) {
    if (depth > kSvgMaxNesting)
      return fail(node, "nested deeper than " + std::to_string(kSvgMaxNesting) + " levels");
    if (++visited_ > kMaxElements)
      return fail(node, "more than " + std::to_string(kMaxElements) +
                            " elements to draw with every use reference followed");
    const std::string name = node.name();
    if (!conditionsHold(node) || property(node, "display") == "none") return true;
    const Hold referable(holding_, static_cast<bool>(node.attribute("id")));
    Paint paint = inherited;
    if (!paintOf(node, paint, vp)) return false;
    Affine own;
    if (!transformOf(node, own)) return false;
    const Affine m = own.then(parent);
    if (name == "g" || name == "a") return children(node, m, paint, vp, depth + 1);
    if (name == "switch") {
      for (const pugi::xml_node &child : node.children())
        if (child.type() == pugi::node_element && conditionsHold(child))
          return element(child, m, paint, vp, depth + 1);
      return true;
    }
    if (name == "svg") return nestedViewport(node, node, own, parent, paint, vp, depth);
    if (name == "use") return use(node, m, paint, vp, depth);
    return shape(node, name, m, paint, vp);
  }

  // A nested svg, or a symbol or svg drawn by a use (sizeFrom), as a new viewport.
  bool nestedViewport(const pugi::xml_node &node, const pugi::xml_node &sizeFrom, const Affine &own,
                      const Affine &parent, const Paint &paint, const Viewport &vp, int depth) {
    double x = 0, y = 0, w = 0, h = 0, box[4];
    if (!length(node, "x", Axis::X, vp, 0, x) || !length(node, "y", Axis::Y, vp, 0, y) ||
        !length(sizeFrom, "width", Axis::X, vp, vp.width, w) ||
        !length(sizeFrom, "height", Axis::Y, vp, vp.height, h))
      return false;
    if (!sizeFrom.attribute("width")) length(node, "width", Axis::X, vp, vp.width, w);
    if (!sizeFrom.attribute("height")) length(node, "height", Axis::Y, vp, vp.height, h);
    if (!error_.empty()) return false;
    if (w <= 0 || h <= 0) return true;  // an empty viewport shows nothing
    Affine inner{1, 0, 0, 1, x, y};
    Viewport innerVp{w, h};
    if (viewBox(node, box)) {
      inner = viewBoxTransform(box, x, y, w, h, node.attribute("preserveAspectRatio").value());
      innerVp = {box[2], box[3]};
    }
    return children(node, inner.then(own).then(parent), paint, innerVp, depth + 1);
  }

  bool viewBox(const pugi::xml_node &node, double (&box)[4]) {
    const pugi::xml_attribute a = node.attribute("viewBox");
    if (!a) return false;
    Numbers in(a.value());
    for (double &v : box)
      if (!in.next(v)) return false;
    return box[2] > 0 && box[3] > 0;
  }

  bool use(const pugi::xml_node &node, const Affine &m, const Paint &paint, const Viewport &vp,
           int depth) {
    pugi::xml_attribute href = node.attribute("href");
    if (!href) href = node.attribute("xlink:href");
    const std::string target = href.value();
    if (target.size() < 2 || target[0] != '#') return true;  // only references into this file
    const auto found = ids_.find(target.substr(1));
    if (found == ids_.end()) return true;
    const pugi::xml_node ref = found->second;
    for (pugi::xml_node up = node; up; up = up.parent())
      if (up == ref) return fail(node, "refers to \"" + target + "\", which contains it");
    double x = 0, y = 0;
    if (!length(node, "x", Axis::X, vp, 0, x) || !length(node, "y", Axis::Y, vp, 0, y))
      return false;
    const Affine placed = Affine{1, 0, 0, 1, x, y}.then(m);
    const Hold referenced(holding_, true);
    const std::string refName = ref.name();
    if (refName == "symbol" || refName == "svg") {
      if (property(ref, "display") == "none") return true;
      Paint inner = paint;
      if (!paintOf(ref, inner, vp)) return false;
      return nestedViewport(ref, node, Affine{}, placed, inner, vp, depth + 1);
    }
    return element(ref, placed, paint, vp, depth + 1);
  }

  bool shape(const pugi::xml_node &node, const std::string &name, const Affine &m,
             const Paint &paint, const Viewport &vp) {
    commands_.clear();
    Builder b(commands_, m);
    if (name == "path") {
      std::string problem;
      if (!parsePathData(node.attribute("d").value(), b, problem)) return fail(node, problem);
    } else if (name == "rect") {
      if (!rect(node, b, vp)) return false;
    } else if (name == "circle" || name == "ellipse") {
      double cx, cy, rx, ry;
      const bool circle = name == "circle";
      if (!length(node, "cx", Axis::X, vp, 0, cx) || !length(node, "cy", Axis::Y, vp, 0, cy) ||
          !length(node, circle ? "r" : "rx", circle ? Axis::Diagonal : Axis::X, vp, 0, rx) ||
          !length(node, circle ? "r" : "ry", circle ? Axis::Diagonal : Axis::Y, vp, 0, ry))
        return false;
      ellipse(b, cx, cy, rx, ry);
    } else if (name == "line") {
      double v[4];
      if (!length(node, "x1", Axis::X, vp, 0, v[0]) || !length(node, "y1", Axis::Y, vp, 0, v[1]) ||
          !length(node, "x2", Axis::X, vp, 0, v[2]) || !length(node, "y2", Axis::Y, vp, 0, v[3]))
        return false;
      b.move({v[0], v[1]});
      b.line({v[2], v[3]});
    } else if (name == "polygon" || name == "polyline") {
      Numbers in(node.attribute("points").value());
      double x, y;
      bool first = true;
      while (in.next(x) && in.next(y)) {
        if (first)
          b.move({x, y});
        else
          b.line({x, y});
        first = false;
      }
      if (in.outOfRange()) return fail(node, "a number out of range in points");
      if (!first && name == "polygon") b.close();
    } else {
      return true;  // not drawn: defs, symbol, text, gradients, metadata and the like
    }
    if (!b.inRange())
      return fail(node, "a coordinate beyond " +
                            std::to_string(static_cast<long>(kMaxCoordinateMm)) +
                            " mm (or not a number)");
    if (commands_.empty() || !paint.visible) return true;
    if (!sink_(Shape{commands_, paint, m.lengthScale()}, error_)) return fail(node, error_);
    return true;
  }

  bool rect(const pugi::xml_node &node, Builder &b, const Viewport &vp) {
    double x, y, w, h, rx = -1, ry = -1;
    if (!length(node, "x", Axis::X, vp, 0, x) || !length(node, "y", Axis::Y, vp, 0, y) ||
        !length(node, "width", Axis::X, vp, 0, w) || !length(node, "height", Axis::Y, vp, 0, h) ||
        !length(node, "rx", Axis::X, vp, -1, rx) || !length(node, "ry", Axis::Y, vp, -1, ry))
      return false;
    if (w <= 0 || h <= 0) return true;
    // A missing radius takes the other's value; both are held to half the side.
    if (rx < 0) rx = ry;
    if (ry < 0) ry = rx;
    rx = std::clamp(rx, 0.0, w / 2);
    ry = std::clamp(ry, 0.0, h / 2);
    if (rx == 0 || ry == 0) {
      b.move({x, y});
      b.line({x + w, y});
      b.line({x + w, y + h});
      b.line({x, y + h});
      b.close();
      return true;
    }
    b.move({x + rx, y});
    b.line({x + w - rx, y});
    b.arc(rx, ry, 0, false, true, {x + w, y + ry});
    b.line({x + w, y + h - ry});
    b.arc(rx, ry, 0, false, true, {x + w - rx, y + h});
    b.line({x + rx, y + h});
    b.arc(rx, ry, 0, false, true, {x, y + h - ry});
    b.line({x, y + ry});
    b.arc(rx, ry, 0, false, true, {x + rx, y});
    b.close();
    return true;
  }

  static void ellipse(Builder &b, double cx, double cy, double rx, double ry) {
    if (rx <= 0 || ry <= 0) return;
    b.move({cx + rx, cy});
    b.arc(rx, ry, 0, false, true, {cx, cy + ry});
    b.arc(rx, ry, 0, false, true, {cx - rx, cy});
    b.arc(rx, ry, 0, false, true, {cx, cy - ry});
    b.arc(rx, ry, 0, false, true, {cx + rx, cy});
    b.close();
  }

  bool transformOf(const pugi::xml_node &node, Affine &m) {
    std::string problem;
    if (const pugi::xml_attribute t = node.attribute("transform"))
      if (!parseTransform(t.value(), m, problem)) return fail(node, problem);
    return true;
  }

  // A length in user units: a number with an optional unit or percentage of the viewport.
  bool lengthValue(const pugi::xml_node &node, const char *what, const std::string &text, Axis axis,
                   const Viewport &vp, double &out) {
    const std::string value = trimmed(text);
    char *end = nullptr;
    const double number = std::strtod(value.c_str(), &end);
    if (end == value.c_str())
      return fail(node, std::string(what) + "=\"" + value + "\" is not a length");
    const std::string unit = end;
    static const std::map<std::string, double> kPxPerUnit = {{"", 1},
                                                             {"px", 1},
                                                             {"mm", kPxPerInch / kMmPerInch},
                                                             {"cm", 10 * kPxPerInch / kMmPerInch},
                                                             {"in", kPxPerInch},
                                                             {"pt", kPxPerInch / 72},
                                                             {"pc", kPxPerInch / 6},
                                                             {"em", 16},  // the default font size
                                                             {"ex", 8}};
    const auto scale = kPxPerUnit.find(unit);
    if (unit == "%") {
      const double reference = axis == Axis::X ? vp.width
                               : axis == Axis::Y
                                   ? vp.height
                                   : std::sqrt((vp.width * vp.width + vp.height * vp.height) / 2);
      out = number / 100 * reference;
    } else if (scale != kPxPerUnit.end()) {
      out = number * scale->second;
    } else {
      return fail(node, std::string(what) + "=\"" + value + "\" has an unknown unit");
    }
    if (!std::isfinite(out) || std::fabs(out) > kMaxUserLength)
      return fail(node, std::string(what) + "=\"" + value + "\" is out of range");
    return true;
  }

  bool length(const pugi::xml_node &node, const char *name, Axis axis, const Viewport &vp,
              double fallback, double &out) {
    const pugi::xml_attribute a = node.attribute(name);
    if (!a) {
      out = fallback;
      return true;
    }
    return lengthValue(node, name, a.value(), axis, vp, out);
  }

  // A presentation property: the style attribute wins over the attribute of the same name.
  static std::string property(const pugi::xml_node &node, const char *name) {
    const std::string style = node.attribute("style").value();
    std::string found;
    if (!style.empty())
      for (const std::string &declaration : splitList(style, ';')) {
        const size_t colon = declaration.find(':');
        if (colon != std::string::npos && trimmed(declaration.substr(0, colon)) == name)
          found = trimmed(declaration.substr(colon + 1));
      }
    if (found.empty()) found = trimmed(node.attribute(name).value());
    const size_t important = found.find("!important");
    if (important != std::string::npos) found = trimmed(found.substr(0, important));
    return found == "inherit" ? std::string() : found;
  }

  bool paintOf(const pugi::xml_node &node, Paint &p, const Viewport &vp) {
    std::string v;
    if (!(v = property(node, "fill")).empty()) p.fill = v != "none";
    if (!(v = property(node, "fill-rule")).empty())
      p.fillRule = v == "evenodd" ? JWF_EVENODD : JWF_NONZERO;
    if (!(v = property(node, "stroke")).empty()) p.stroke = v != "none";
    if (!(v = property(node, "stroke-width")).empty() &&
        !lengthValue(node, "stroke-width", v, Axis::Diagonal, vp, p.strokeWidth))
      return false;
    if (!(v = property(node, "stroke-linecap")).empty())
      p.cap = v == "round" ? JVC_ROUND : v == "square" ? JVC_SQUARE : JVC_FLAT;
    if (!(v = property(node, "stroke-linejoin")).empty())
      p.join = v == "round" ? JVJ_ROUND : v == "bevel" ? JVJ_BEVEL : JVJ_MITER;
    if (!(v = property(node, "stroke-miterlimit")).empty() &&
        !lengthValue(node, "stroke-miterlimit", v, Axis::Diagonal, vp, p.miterLimit))
      return false;
    if (!(v = property(node, "stroke-dasharray")).empty()) {
      p.dashes.clear();
      if (v != "none")
        for (std::string item : splitList(v, ',')) {
          // Items may be separated by spaces as well as commas.
          std::string rest = trimmed(item);
          while (!rest.empty()) {
            const size_t space = rest.find_first_of(" \t\r\n");
            double d;
            if (!lengthValue(node, "stroke-dasharray", rest.substr(0, space), Axis::Diagonal, vp,
                             d))
              return false;
            p.dashes.push_back(d);
            rest = space == std::string::npos ? std::string() : trimmed(rest.substr(space));
          }
        }
    }
    if (!(v = property(node, "visibility")).empty()) p.visible = v == "visible";
    return true;
  }

  // Lengths in user units beyond this are refused before they reach any arithmetic.
  static constexpr double kMaxUserLength = 1.0e12;

  const LineBreaks &lines_;
  const ShapeSink &sink_;
  const std::function<void()> &shed_;
  std::string &error_;
  std::unordered_map<std::string, pugi::xml_node> ids_;
  std::vector<Command> commands_;  // one element's commands, reused
  size_t visited_ = 0;
  // Elements with an id and their ancestors, which the walk keeps for references.
  std::unordered_set<const void *> referable_;
  int holding_ = 0;
  int64_t released_ = 0;
};

// Walks the document in text, handing every painted shape to sink, and stops where it refuses.
// The document is read into the text itself, which it takes over, rather than into a copy of
// it. shed() is called whenever the walk has let go of many elements and once the document is
// gone, when it is given, so that the outline, which grows as the document shrinks, need not
// share memory with it.
bool walkDocument(std::string text, const ShapeSink &sink, std::string &error,
                  const std::function<void()> &shed = {}) {
  const LineBreaks lines(text);
  pugi::xml_document doc;
  const pugi::xml_parse_result parsed = doc.load_buffer_inplace(text.data(), text.size());
  if (!parsed) {
    error = "line " + std::to_string(lines.lineOf(parsed.offset)) + ": not well-formed XML (" +
            parsed.description() + ")";
    return false;
  }
  const pugi::xml_node root = doc.document_element();
  if (std::string(root.name()) != "svg") {
    error = root ? "the document element is <" + std::string(root.name()) + ">, not <svg>"
                 : "no document element";
    return false;
  }
  error.clear();
  return Walker(lines, sink, shed, error).run(root);
}

// Every open subpath of the commands closed, as a fill sees it.
std::vector<Command> closedForFill(const std::vector<Command> &commands) {
  std::vector<Command> out;
  out.reserve(commands.size() + 4);
  for (size_t i = 0; i < commands.size(); ++i) {
    out.push_back(commands[i]);
    const bool ends = i + 1 == commands.size() || commands[i + 1].op == Op::Move;
    if (ends && commands[i].op != Op::Close && commands[i].op != Op::Move)
      out.push_back({Op::Close, {}});
  }
  return out;
}

struct PathCloser {
  void operator()(JVect *p) const { jVectClose(p); }
};
using PathPtr = std::unique_ptr<JVect, PathCloser>;

// The band of a stroke, dashed first when the drawing asks for dashes; its silhouette is the
// band filled under the nonzero rule.
bool strokeOutline(const Shape &shape, int mostDashes, JVect *piece, std::string &error) {
  const double width = shape.paint.strokeWidth * shape.lengthScale;
  if (!(width > 0)) return true;
  if (!appendCommands(piece, shape.commands)) {
    error = "out of memory";
    return false;
  }
  // The dash takes at most six lengths; an odd list repeats once to make its pairs.
  std::vector<double> dashes = shape.paint.dashes;
  if (dashes.size() % 2 == 1) dashes.insert(dashes.end(), dashes.begin(), dashes.end());
  constexpr size_t kMostDashLengths = 6;
  bool anyDash = false;
  for (size_t i = 0; i < dashes.size(); i += 2) anyDash = anyDash || dashes[i] > 0;
  if (anyDash && dashes.size() <= kMostDashLengths) {
    // The control polygon is at least as long as the stroke: an upper bound of the dash count.
    double length = 0, period = 0;
    Vec2 last{};
    for (const Command &c : shape.commands) {
      const int used = c.op == Op::Close ? 0 : c.op == Op::Quad ? 2 : c.op == Op::Cubic ? 3 : 1;
      for (int k = 0; k < used; ++k) {
        if (c.op != Op::Move) length += std::hypot(c.p[k].x - last.x, c.p[k].y - last.y);
        last = c.p[k];
      }
    }
    for (double d : dashes) period += d * shape.lengthScale;
    if (length > period * mostDashes) {
      error = "its stroke-dasharray would cut the stroke into more than " +
              std::to_string(mostDashes) + " dashes";
      return false;
    }
    float pattern[kMostDashLengths] = {};
    for (size_t i = 0; i < dashes.size(); ++i)
      pattern[i] = static_cast<float>(dashes[i] * shape.lengthScale);
    if (jVectDash(piece, static_cast<int32_t>(dashes.size() / 2) + 1, pattern) != 1) {
      error = "the stroke's dashes could not be cut";
      return false;
    }
  }
  if (jVectWidenPath(piece, static_cast<float>(width), shape.paint.cap, shape.paint.join,
                     static_cast<float>(shape.paint.miterLimit)) != 1) {
    error = "the stroke could not be outlined";
    return false;
  }
  return true;
}

// The filled pieces as the walk makes them, in paths of a bounded size. One path grown by
// doubling would hold up to twice the outline, and for a moment a copy of it as well.
class Gathered {
 public:
  bool add(const JVect *pieces) {
    const int32_t n = jVectGetNum(pieces);
    if (parts_.empty() || jVectGetNum(parts_.back().get()) + int64_t{n} > kPartRecords) {
      parts_.emplace_back(jVectOpen(std::max(kPartRecords, n) + kAddSpare));
      if (!parts_.back()) return false;
    }
    records_ += n;
    return jVectAdd(parts_.back().get(), pieces) == 1;
  }

  int64_t records() const { return records_; }

  // Appends everything to path, letting each part go once it is copied.
  bool moveInto(JVect *path) {
    const int64_t need = int64_t{jVectGetNum(path)} + records_ + kAddSpare;
    if (need > INT32_MAX) return false;
    const int32_t room = path->capacity;
    if (need > room && jVectExpand(path, static_cast<int32_t>(need - room)) != 1) return false;
    for (PathPtr &part : parts_) {
      if (jVectAdd(path, part.get()) != 1) return false;
      part.reset();
    }
    parts_.clear();
    return true;
  }

 private:
  // Some 900 KB a part: large enough that the parts are few, small enough to be a small share
  // of a drawing big enough to matter.
  static constexpr int32_t kPartRecords = 1 << 16;
  // The records jVectAdd wants left spare after what it appends.
  static constexpr int32_t kAddSpare = 10000;

  std::vector<PathPtr> parts_;
  int64_t records_ = 0;
};

// Fills the elements under their rules several at a time: elements whose boxes lie apart cannot
// change each other's fill, and one combine over many of them costs far less than one each.
class FillBatch {
 public:
  FillBatch(Gathered &all, JVect *batch) : all_(all), batch_(batch) {}

  bool add(const JVect *piece, int rule, std::string &problem) {
    Box box;
    jVectGetMinMax(box.v, piece, JVECT_ALL);
    if ((rule != rule_ || boxes_.size() >= kMostInBatch || overlapsBatch(box)) && !flush(problem))
      return false;
    rule_ = rule;
    boxes_.push_back(box);
    if (jVectAdd(batch_, piece) != 1) {
      problem = "out of memory";
      return false;
    }
    return true;
  }

  bool flush(std::string &problem) {
    if (boxes_.empty()) return true;
    if (jWeldFillVect(batch_, rule_) != 1) {
      problem = "the fill could not be outlined";
      return false;
    }
    if (!all_.add(batch_)) {
      problem = "out of memory";
      return false;
    }
    jVectClear(batch_);
    boxes_.clear();
    return true;
  }

 private:
  struct Box {
    float v[4];  // min x, min y, max x, max y
  };
  // Enough to share the cost of a combine; few enough that the overlap search stays cheap.
  static constexpr size_t kMostInBatch = 1000;

  bool overlapsBatch(const Box &b) const {
    for (const Box &o : boxes_)
      if (b.v[0] <= o.v[2] && o.v[0] <= b.v[2] && b.v[1] <= o.v[3] && o.v[1] <= b.v[3]) return true;
    return false;
  }

  Gathered &all_;
  JVect *batch_;
  std::vector<Box> boxes_;
  int rule_ = JWF_NONZERO;
};

// The outline of the drawing in text, appended to path.
bool outlineOfText(std::string text, JVect *path, std::string &error, const SvgReading &how,
                   const std::function<void()> &shed = {}) {
  // An empty path takes the pieces itself rather than a copy of their union at the end.
  const bool intoPath = jVectGetNum(path) == 0;
  PathPtr own(intoPath ? nullptr : jVectOpen(1024)), batch(jVectOpen(1024)), piece(jVectOpen(256));
  JVect *all = intoPath ? path : own.get();
  if (!all || !batch || !piece) {
    error = "out of memory";
    return false;
  }
  Gathered gathered;
  FillBatch fills(gathered, batch.get());
  const ShapeSink sink = [&](const Shape &shape, std::string &problem) {
    if (shape.paint.fill) {
      jVectClear(piece.get());
      if (!appendCommands(piece.get(), closedForFill(shape.commands))) {
        problem = "out of memory";
        return false;
      }
      if (!fills.add(piece.get(), shape.paint.fillRule, problem)) return false;
    }
    if (shape.paint.stroke && how.strokes) {
      jVectClear(piece.get());
      if (!strokeOutline(shape, how.mostDashes, piece.get(), problem)) return false;
      if (!fills.add(piece.get(), JWF_NONZERO, problem)) return false;
    }
    return true;
  };
  bool ok = walkDocument(std::move(text), sink, error, shed) && fills.flush(error);
  if (shed) shed();
  if (ok && gathered.records() == 0) {
    error = "nothing is painted: no filled or stroked shape";
    ok = false;
  }
  if (ok && !gathered.moveInto(all)) {
    error = "out of memory";
    ok = false;
  }
  if (ok && (jWeldExecute(JWM_UNION_ALL, all) != 1 || (!intoPath && jVectAdd(path, all) != 1))) {
    error = "the painted shapes could not be joined into one outline";
    ok = false;
  }
  if (!ok && intoPath) jVectClear(path);
  return ok;
}

}  // namespace

bool readSvgOutlineText(const std::string &text, JVect *path, std::string &error,
                        const SvgReading &how) {
  return outlineOfText(text, path, error, how);
}

bool readSvgOutlineFile(const std::string &file, JVect *path, std::string &error,
                        const SvgReading &how) {
  return readFileWith(file, path, error, [&how](std::string &text, JVect *p, std::string &e) {
    // The heap would otherwise keep the pages of the document's nodes let go.
    return outlineOfText(std::move(text), p, e, how, [] { malloc_trim(0); });
  });
}

bool readSvgText(const std::string &text, JVect *path, std::string &error) {
  std::vector<Command> all;
  const ShapeSink sink = [&all](const Shape &shape, std::string &) {
    all.insert(all.end(), shape.commands.begin(), shape.commands.end());
    return true;
  };
  if (!walkDocument(text, sink, error)) return false;
  if (!appendCommands(path, all)) {
    error = "out of memory";
    return false;
  }
  return true;
}

bool readSvgFile(const std::string &file, JVect *path, std::string &error) {
  return readFileWith(file, path, error, readSvgText);
}

}  // namespace outlina::cli
