#include "effects.h"

#include <array>
#include <cmath>
#include <map>

#include "outline_io.h"

namespace outlina::cli {
namespace {

// Defaults of the records when the command line leaves a field out.
constexpr float kDefaultMiterLimit = 4.0f;
constexpr float kDefaultStripeAngle = 45.0f;
constexpr float kDefaultShadowShift = 1.0f;
constexpr float kDefaultPerspectiveRatio = 50.0f;
constexpr float kDefaultShadowOffset = 0.5f;
// The widest length any option takes, in millimetres: far beyond any sheet.
constexpr double kMaxLength = 10000.0;

class Fields {
 public:
  Fields(const std::string &option, const std::string &value, std::string &error)
      : option_(option), error_(error) {
    items_ = splitList(value, ',');
  }
  const std::string &head() const { return items_[0]; }
  // Reads key=value items after the head; a bare key stands for key=1.
  bool keys(std::map<std::string, std::string> &out, std::initializer_list<const char *> allowed) {
    for (size_t i = 1; i < items_.size(); ++i) {
      const size_t eq = items_[i].find('=');
      const std::string key = items_[i].substr(0, eq);
      bool known = false;
      for (const char *a : allowed) known = known || key == a;
      if (!known) {
        std::string list;
        for (const char *a : allowed) list += std::string(list.empty() ? "" : ", ") + a;
        return fail("unknown setting \"" + key + "\" (allowed: " + list + ")");
      }
      out[key] = eq == std::string::npos ? "1" : items_[i].substr(eq + 1);
    }
    return true;
  }
  bool number(const std::string &text, const char *what, double low, double high, double &v) {
    if (!parseNumber(text, v) || v < low || v > high)
      return fail(std::string(what) + " must be a number from " + shortNumber(low) + " to " +
                  shortNumber(high) + ", got \"" + text + "\"");
    return true;
  }
  bool choice(const std::string &text, const char *what,
              std::initializer_list<std::pair<const char *, int>> names, int &v) {
    std::string list;
    for (const auto &[name, code] : names) {
      if (text == name) {
        v = code;
        return true;
      }
      list += std::string(list.empty() ? "" : "|") + name;
    }
    return fail(std::string(what) + " must be " + list + ", got \"" + text + "\"");
  }
  bool fail(const std::string &message) {
    error_ = option_ + ": " + message;
    return false;
  }

 private:
  static std::string shortNumber(double v) {
    std::string s = std::to_string(v);
    s.erase(s.find_last_not_of('0') + 1);
    if (s.back() == '.') s.pop_back();
    return s;
  }
  std::string option_;
  std::string &error_;
  std::vector<std::string> items_;
};

constexpr std::pair<const char *, int> kJoints[] = {
    {"miter", JVJ_MITER}, {"round", JVJ_ROUND}, {"bevel", JVJ_BEVEL}};

bool joint(Fields &f, std::map<std::string, std::string> &k, int32_t &out) {
  if (!k.count("joint")) return true;
  int v;
  if (!f.choice(k["joint"], "joint", {kJoints[0], kJoints[1], kJoints[2]}, v)) return false;
  out = v;
  return true;
}

bool limit(Fields &f, std::map<std::string, std::string> &k, float &out) {
  double v = out;
  if (k.count("limit") && !f.number(k["limit"], "limit", 0, 100, v)) return false;
  out = static_cast<float>(v);
  return true;
}

bool prepareWeld(Fields &f, PreparedStep &s) {
  int mode;
  if (!f.choice(f.head(), "the rule",
                {{"union", JWM_UNION}, {"intersect", JWM_INTERSECT}, {"hole", JWM_HOLE}}, mode))
    return false;
  s.run = [mode](JVect *p) { return jWeldExecute(mode, p) == 1; };
  return true;
}

bool prepareOffset(Fields &f, PreparedStep &s) {
  std::map<std::string, std::string> k;
  double d;
  if (!f.number(f.head(), "the distance", 0, kMaxLength, d) ||
      !f.keys(k, {"side", "axis", "joint", "limit", "keep", "nofit"}))
    return false;
  JWeldOffsetParam r{static_cast<float>(d), 0, 0, 0, JVJ_MITER, kDefaultMiterLimit, 0, 1};
  int side = 0, axis = 0;
  if (k.count("side") && !f.choice(k["side"], "side", {{"out", 0}, {"in", 1}}, side)) return false;
  if (k.count("axis") && !f.choice(k["axis"], "axis", {{"both", 0}, {"x", 1}, {"y", 2}}, axis))
    return false;
  if (!joint(f, k, r.joint) || !limit(f, k, r.miterLimit)) return false;
  r.side = side;
  r.horizontal = axis == 1;
  r.vertical = axis == 2;
  // A kept input is written as its own layer rather than mixed into the offset.
  r.keepInput = 0;
  s.keepsInput = k.count("keep") > 0;
  r.curveFit = k.count("nofit") ? 0 : 1;
  s.run = [r](JVect *p) { return jWeldOffset(&r, p) == 1; };
  return true;
}

bool prepareWiden(Fields &f, PreparedStep &s) {
  std::map<std::string, std::string> k;
  double w;
  if (!f.number(f.head(), "the width", 0, kMaxLength, w) ||
      !f.keys(k, {"cap", "joint", "limit", "nofit"}))
    return false;
  JWeldWidenParam r{static_cast<float>(w), JVC_SQUARE, JVJ_MITER, kDefaultMiterLimit, 1};
  int cap = JVC_SQUARE;
  if (k.count("cap") &&
      !f.choice(k["cap"], "cap", {{"square", JVC_SQUARE}, {"round", JVC_ROUND}, {"flat", JVC_FLAT}},
                cap))
    return false;
  if (!joint(f, k, r.joint) || !limit(f, k, r.miterLimit)) return false;
  r.cap = cap;
  r.curveFit = k.count("nofit") ? 0 : 1;
  s.run = [r](JVect *p) { return jWeldWiden(&r, p) == 1; };
  return true;
}

bool prepareDash(Fields &f, PreparedStep &s) {
  const std::vector<std::string> parts = splitList(f.head(), ':');
  if (parts.size() != 2 && parts.size() != 4 && parts.size() != 6)
    return f.fail("expected 2, 4 or 6 lengths separated by ':', dash first");
  std::array<float, 6> pattern{};
  bool anyDash = false;
  for (size_t i = 0; i < parts.size(); ++i) {
    double v;
    if (!f.number(parts[i], "each length", 0, kMaxLength, v)) return false;
    pattern[i] = static_cast<float>(v);
    anyDash = anyDash || (i % 2 == 0 && v > 0);
  }
  if (!anyDash) return f.fail("at least one dash length must be above 0");
  // Styles 2, 3 and 4 use two, four and six pattern elements.
  const int style = static_cast<int>(parts.size() / 2) + 1;
  s.run = [pattern, style](JVect *p) mutable { return jVectDash(p, style, pattern.data()) == 1; };
  return true;
}

bool prepareStripe(Fields &f, PreparedStep &s) {
  std::map<std::string, std::string> k;
  const std::vector<std::string> parts = splitList(f.head(), ':');
  double band, gap;
  if (parts.size() != 2) return f.fail("expected STRIPE:SLIT widths, for example 2:1");
  if (!f.number(parts[0], "the stripe width", 0, kMaxLength, band) ||
      !f.number(parts[1], "the slit width", 0, kMaxLength, gap) || !f.keys(k, {"dir", "nofit"}))
    return false;
  if (band + gap <= 0) return f.fail("the stripe and slit widths must not both be 0");
  JWeldStripeParam r{static_cast<float>(band), static_cast<float>(gap), 0, kDefaultStripeAngle, 1};
  if (k.count("dir")) {
    const std::string dir = k["dir"];
    double angle;
    if (dir == "horizontal") {
      r.direction = 0;
    } else if (dir == "vertical") {
      r.direction = 1;
    } else if (parseNumber(dir, angle) && angle >= 0 && angle <= 180) {
      r.direction = 2;
      r.stripeAngle = static_cast<float>(angle);
    } else {
      return f.fail("dir must be horizontal|vertical|an angle from 0 to 180, got \"" + dir + "\"");
    }
  }
  r.curveFit = k.count("nofit") ? 0 : 1;
  s.run = [r](JVect *p) { return jWeldStripe(&r, p) == 1; };
  return true;
}

bool prepareShadow(Fields &f, PreparedStep &s) {
  std::map<std::string, std::string> k;
  int type;
  if (!f.choice(f.head(), "the kind",
                {{"block", JWST_BLOCK},
                 {"drop", JWST_DROP},
                 {"cast", JWST_CAST},
                 {"perspective", JWST_PERSPECTIVE}},
                type) ||
      !f.keys(k, {"dx", "dy", "ratio", "offset", "option", "nofit"}))
    return false;
  JWeldShadowParam r{type,
                     0,
                     kDefaultShadowShift,
                     -kDefaultShadowShift,
                     kDefaultPerspectiveRatio,
                     kDefaultShadowOffset,
                     0,
                     0,
                     1};
  double v;
  if (k.count("dx")) {
    if (!f.number(k["dx"], "dx", -kMaxLength, kMaxLength, v)) return false;
    r.dx = static_cast<float>(v);
  }
  if (k.count("dy")) {
    if (!f.number(k["dy"], "dy", -kMaxLength, kMaxLength, v)) return false;
    r.dy = static_cast<float>(v);
  }
  if (k.count("ratio")) {
    if (!f.number(k["ratio"], "ratio", 0, 1000, v)) return false;
    r.ratio = static_cast<float>(v);
  }
  if (k.count("offset")) {
    if (!f.number(k["offset"], "offset", 0, kMaxLength, v)) return false;
    r.offset = static_cast<float>(v);
  }
  if (k.count("option")) {
    if (!f.number(k["option"], "option", JWSO_MERGE, JWSO_OFFSET_CUT_OFFSET, v) ||
        v != std::floor(v))
      return f.fail("option must be a whole number from 0 to 5, got \"" + k["option"] + "\"");
    r.option = static_cast<int32_t>(v);
  }
  r.curveFit = k.count("nofit") ? 0 : 1;
  // These options cut the outlines (or their offset) out of the shadow: the outlines are a
  // piece of their own over it.
  s.keepsInput = r.option == 1 || r.option == 2 || r.option == 4 || r.option == 5;
  s.run = [r](JVect *p) { return jWeldShadow(&r, p) == 1; };
  return true;
}

bool prepareEnvelope(Fields &f, PreparedStep &s) {
  const std::vector<std::string> parts = splitList(f.head(), ':');
  double type, percent;
  if (parts.size() != 2) return f.fail("expected TYPE:PERCENT, for example 1:50");
  if (!f.number(parts[0], "the type", 1, 32, type) || type != std::floor(type))
    return f.fail("the type must be a whole number from 1 to 32, got \"" + parts[0] + "\"");
  if (!f.number(parts[1], "the percentage", 0, 100, percent)) return false;
  const int32_t t = static_cast<int32_t>(type), ratio = static_cast<int32_t>(std::lround(percent));
  s.run = [t, ratio](JVect *p) {
    if (jVectGetNum(p) == 0) return true;  // nothing to bend
    float box[4];
    jVectGetMinMax(box, p, JVECT_ALL);
    const JVectransShapeParam r{t, ratio, box[0], box[1], box[2], box[3]};
    return jVectransShapeEffect(&r, p) == 1;
  };
  return true;
}

bool prepareResolution(Fields &f, PreparedStep &s) {
  const std::vector<std::string> parts = splitList(f.head(), ':');
  double divisions, angle;
  if (parts.size() != 2) return f.fail("expected DIVISIONS:ANGLE, for example 32:3");
  if (!f.number(parts[0], "the divisions", 4, 128, divisions) || divisions != std::floor(divisions))
    return f.fail("the divisions must be a whole number from 4 to 128, got \"" + parts[0] + "\"");
  if (!f.number(parts[1], "the angle", 3, 120, angle)) return false;
  s.run = [divisions, angle](JVect *) {
    jVectSetCurveRes(static_cast<int32_t>(divisions), static_cast<float>(angle));
    return true;
  };
  return true;
}

bool hasClosedContour(const JVect *path) {
  bool found = false;
  forEachContour(path, [&found](const std::vector<Command> &contour) {
    found = found || contour.back().op == Op::Close;
  });
  return found;
}

bool allFinite(const JVect *path) {
  const JVectPoint *v = jVectGetVd(path);
  for (int i = 0; i < jVectGetNum(path); ++i)
    if (!std::isfinite(v[i].x) || !std::isfinite(v[i].y)) return false;
  return true;
}

// What a layer was like before a step, to explain its failure or empty result afterwards: a
// failed step may leave the layer flattened, and keeping a copy instead would double the memory
// of a large drawing.
struct LayerFacts {
  bool finite, closed;
  explicit LayerFacts(const JVect *layer)
      : finite(allFinite(layer)), closed(hasClosedContour(layer)) {}
  std::string whyStepFailed() const {
    if (!finite) return "the outline has coordinates that are not finite numbers";
    if (!closed) return "there is no closed outline to work on";
    return "the library could not carry it out";
  }
};

}  // namespace

bool prepareSteps(const std::vector<Step> &steps, std::vector<PreparedStep> &out,
                  std::string &error) {
  static const std::map<std::string, bool (*)(Fields &, PreparedStep &)> kPrepare = {
      {"--weld", prepareWeld},         {"--offset", prepareOffset},
      {"--widen", prepareWiden},       {"--dash", prepareDash},
      {"--stripe", prepareStripe},     {"--shadow", prepareShadow},
      {"--envelope", prepareEnvelope}, {"--resolution", prepareResolution}};
  for (const Step &step : steps) {
    Fields fields(step.option, step.value, error);
    PreparedStep prepared{step.option + " " + step.value, {}};
    if (!kPrepare.at(step.option)(fields, prepared)) return false;
    out.push_back(std::move(prepared));
  }
  return true;
}

bool runStep(const PreparedStep &step, std::vector<PathPtr> &layers, std::string &reason) {
  std::vector<PathPtr> out;
  for (PathPtr &layer : layers) {
    if (jVectGetNum(layer.get()) == 0) continue;
    PathPtr result(step.keepsInput ? jVectDuplicate(layer.get()) : layer.release());
    JVect *input = step.keepsInput ? layer.get() : nullptr;
    if (!result) {
      reason = "out of memory";
      return false;
    }
    const LayerFacts before(result.get());
    if (!step.run(result.get())) {
      reason = before.whyStepFailed();
      return false;
    }
    if (jVectGetNum(result.get()) == 0) {
      reason = before.closed ? "the result is empty" : "there is no closed outline to work on";
      return false;
    }
    out.push_back(std::move(result));
    if (input != nullptr) out.push_back(std::move(layer));
  }
  layers = std::move(out);
  return true;
}

}  // namespace outlina::cli
