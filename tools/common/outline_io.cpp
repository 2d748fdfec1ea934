#include "outline_io.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <string_view>

namespace outlina::cli {
namespace {

// The library stores a cubic's controls at three quarters of the standard handles.
constexpr double kHandleToLibrary = 0.75;
constexpr double kLibraryToHandle = 4.0 / 3.0;

Vec2 at(const JVectPoint &p) { return {p.x, p.y}; }

Vec2 lerp(Vec2 from, Vec2 to, double k) {
  return {from.x + k * (to.x - from.x), from.y + k * (to.y - from.y)};
}

class ContourWriter {
 public:
  explicit ContourWriter(std::vector<Command> &out) : out_(out) {}

  void move(Vec2 p) {
    finish();
    out_.push_back({Op::Move, {p, {}, {}}});
    start_ = last_ = p;
    open_ = true;
  }
  void line(Vec2 p) { push({Op::Line, {p, {}, {}}}, p); }
  void quad(Vec2 c, Vec2 p) { push({Op::Quad, {c, p, {}}}, p); }
  void libraryCubic(Vec2 c1, Vec2 c2, Vec2 p) {
    push({Op::Cubic, {lerp(last_, c1, kLibraryToHandle), lerp(p, c2, kLibraryToHandle), p}}, p);
  }
  Vec2 last() const { return last_; }
  void finish() {
    if (open_ && out_.back().op != Op::Move && last_.x == start_.x && last_.y == start_.y)
      out_.push_back({Op::Close, {}});
    open_ = false;
  }

 private:
  void push(Command c, Vec2 end) {
    if (!open_) return;  // points before the first start point belong to no contour
    out_.push_back(c);
    last_ = end;
  }
  std::vector<Command> &out_;
  Vec2 start_{}, last_{};
  bool open_ = false;
};

// A three-point arc as library cubics, through the library's own conversion.
void arc(ContourWriter &w, Vec2 mid, Vec2 end) {
  const Vec2 start = w.last();
  float pts[26] = {static_cast<float>(start.x), static_cast<float>(start.y),
                   static_cast<float>(mid.x),   static_cast<float>(mid.y),
                   static_cast<float>(end.x),   static_cast<float>(end.y)};
  const int n = jMathArcToBez(pts);
  if (n < 4) {  // no usable circle: the points are drawn as lines
    w.line(mid);
    w.line(end);
    return;
  }
  for (int i = 1; i + 2 < n; i += 3)
    w.libraryCubic({pts[2 * i], pts[2 * i + 1]}, {pts[2 * i + 2], pts[2 * i + 3]},
                   {pts[2 * i + 4], pts[2 * i + 5]});
}

// What a file looks like when it is clearly not a text document; empty for text.
std::string binaryKind(const std::string &content) {
  static const std::pair<std::string_view, const char *> kSignatures[] = {
      {"\x1f\x8b", "compressed with gzip (unpack it first)"},
      {"BZh", "compressed with bzip2 (unpack it first)"},
      {"\xfd\x37zXZ", "compressed with xz (unpack it first)"},
      {"\x28\xb5\x2f\xfd", "compressed with zstd (unpack it first)"},
      {"PK\x03\x04", "a zip archive"},
      {"\x89PNG", "a PNG image"},
      {"\xff\xd8\xff", "a JPEG image"},
      {"%PDF", "a PDF document"}};
  if (content.empty()) return "empty";
  for (const auto &[magic, kind] : kSignatures)
    if (content.starts_with(magic)) return kind;
  if (content.find('\0') != std::string::npos) return "binary data, not text";
  return {};
}

}  // namespace

void forEachContour(const JVect *path, const ContourVisit &visit) {
  std::vector<Command> out;
  ContourWriter w(out);
  const JVectPoint *v = jVectGetVd(path);
  const int n = jVectGetNum(path);
  for (int i = 0; i < n; ++i) {
    const int mode = v[i].mode;
    auto next = [&](int k, std::initializer_list<int> modes) {
      return i + k < n && std::find(modes.begin(), modes.end(), v[i + k].mode) != modes.end();
    };
    if (mode == JVM_START) {
      w.finish();
      if (!out.empty()) visit(out);
      out.clear();
      w.move(at(v[i]));
    } else if (mode == JVM_ARC_MID && next(1, {JVM_ARC_END})) {
      arc(w, at(v[i]), at(v[i + 1]));
      ++i;
    } else if (mode == JVM_QUAD_CTRL && next(1, {JVM_QUAD_END, JVM_QUAD_END_ALT})) {
      w.quad(at(v[i]), at(v[i + 1]));
      ++i;
    } else if (mode == JVM_BEZ_CTRL1 && next(1, {JVM_BEZ_CTRL2}) &&
               next(2, {JVM_BEZ_END, JVM_BEZ_END_ALT})) {
      w.libraryCubic(at(v[i]), at(v[i + 1]), at(v[i + 2]));
      i += 2;
    } else if (mode != JVM_NONE) {
      w.line(at(v[i]));
    }
  }
  w.finish();
  if (!out.empty()) visit(out);
}

std::vector<Command> commandsFromPath(const JVect *path) {
  std::vector<Command> out;
  forEachContour(path, [&out](const std::vector<Command> &contour) {
    out.insert(out.end(), contour.begin(), contour.end());
  });
  return out;
}

std::vector<Command> contoursWhere(const std::vector<Command> &commands, bool closed) {
  std::vector<Command> out;
  for (size_t start = 0; start < commands.size();) {
    size_t end = start + 1;
    while (end < commands.size() && commands[end].op != Op::Move) ++end;
    if ((commands[end - 1].op == Op::Close) == closed)
      out.insert(out.end(), commands.begin() + start, commands.begin() + end);
    start = end;
  }
  return out;
}

bool appendCommands(JVect *path, const std::vector<Command> &commands) {
  Vec2 start{}, last{};
  auto add = [&](int mode, Vec2 p) {
    return jVectAddPoint(path, JVECT_LAST, static_cast<int16_t>(mode), static_cast<float>(p.x),
                         static_cast<float>(p.y)) > 0;
  };
  for (const Command &c : commands) {
    bool ok = true;
    switch (c.op) {
      case Op::Move:
        ok = add(JVM_START, c.p[0]);
        start = last = c.p[0];
        break;
      case Op::Line:
        ok = add(JVM_LINE, c.p[0]);
        last = c.p[0];
        break;
      case Op::Quad:
        ok = add(JVM_QUAD_CTRL, c.p[0]) && add(JVM_QUAD_END, c.p[1]);
        last = c.p[1];
        break;
      case Op::Cubic:
        ok = add(JVM_BEZ_CTRL1, lerp(last, c.p[0], kHandleToLibrary)) &&
             add(JVM_BEZ_CTRL2, lerp(c.p[2], c.p[1], kHandleToLibrary)) && add(JVM_BEZ_END, c.p[2]);
        last = c.p[2];
        break;
      case Op::Close:
        // Contours close by repeating their start point.
        if (last.x != start.x || last.y != start.y) ok = add(JVM_LINE, start);
        last = start;
        break;
    }
    if (!ok) return false;
  }
  return true;
}

bool readFileWith(const std::string &file, JVect *path, std::string &error,
                  const TextParser &parse) {
  std::error_code code;
  if (std::filesystem::is_directory(file, code)) {
    error = file + " is a folder, not a file";
    return false;
  }
  std::ifstream in(file, std::ios::binary | std::ios::ate);
  if (!in) {
    error = "cannot read " + file + ": " + std::strerror(errno);
    return false;
  }
  // Read straight into one string of the file's size: a stream buffer and its copy would hold
  // the file twice more.
  std::string content(static_cast<size_t>(std::max<std::streamoff>(in.tellg(), 0)), '\0');
  in.seekg(0);
  if (!in.read(content.data(), static_cast<std::streamsize>(content.size()))) {
    error = "cannot read " + file + ": " + std::strerror(errno);
    return false;
  }
  const std::string kind = binaryKind(content);
  if (!kind.empty()) {
    error = file + " is " + kind;
    return false;
  }
  if (!parse(content, path, error)) {
    error = file + ": " + error;
    return false;
  }
  return true;
}

bool commandBounds(const std::vector<Command> &commands, Vec2 &min, Vec2 &max) {
  bool any = false;
  auto take = [&](Vec2 p) {
    if (!any) {
      min = max = p;
      any = true;
    }
    min = {std::min(min.x, p.x), std::min(min.y, p.y)};
    max = {std::max(max.x, p.x), std::max(max.y, p.y)};
  };
  for (const Command &c : commands) {
    const int used = c.op == Op::Close ? 0 : c.op == Op::Quad ? 2 : c.op == Op::Cubic ? 3 : 1;
    for (int k = 0; k < used; ++k) take(c.p[k]);
  }
  return any;
}

const Colour &layerColour(size_t index, size_t count) {
  static const Colour kBlack{"black", 0, 0, 0};
  static const Colour kUnder[] = {{"#e0643c", 0.878, 0.392, 0.235},
                                  {"#3c8ce0", 0.235, 0.549, 0.878},
                                  {"#5cb85c", 0.361, 0.722, 0.361}};
  if (index + 1 >= count) return kBlack;
  return kUnder[(count - 2 - index) % std::size(kUnder)];
}

bool layerBounds(const Layers &layers, Vec2 &min, Vec2 &max) {
  bool any = false;
  for (const JVect *layer : layers)
    forEachContour(layer, [&](const std::vector<Command> &contour) {
      Vec2 lo, hi;
      if (!commandBounds(contour, lo, hi)) return;
      min = any ? Vec2{std::min(min.x, lo.x), std::min(min.y, lo.y)} : lo;
      max = any ? Vec2{std::max(max.x, hi.x), std::max(max.y, hi.y)} : hi;
      any = true;
    });
  return any;
}

std::vector<std::string> splitList(const std::string &text, char separator) {
  std::vector<std::string> items;
  size_t from = 0;
  for (size_t at; (at = text.find(separator, from)) != std::string::npos; from = at + 1)
    items.push_back(text.substr(from, at - from));
  items.push_back(text.substr(from));
  return items;
}

}  // namespace outlina::cli
