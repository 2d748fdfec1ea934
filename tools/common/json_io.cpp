#include "json_io.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <nlohmann/json.hpp>
#include <sstream>

#include "outline_io.h"

namespace outlina::cli {
namespace {

constexpr const char *kFormat = "outlina-points";
constexpr int kVersion = 1;

// The records as [[mode, x, y, tag], ...], written as they are walked: a document tree of a
// large drawing would take many times the memory of the drawing. A coordinate takes the fewest
// digits that read back as the same float; one that is not finite is written as null, as JSON
// has no number for it.
void writePoints(std::ostream &to, const JVect *path) {
  auto number = [&to](float value) {
    char digits[32];
    if (!std::isfinite(value)) {
      to << "null";
      return;
    }
    const std::to_chars_result written = std::to_chars(digits, digits + sizeof digits, value);
    to.write(digits, written.ptr - digits);
  };
  const JVectPoint *v = jVectGetVd(path);
  to << '[';
  for (int i = 0; i < jVectGetNum(path); ++i) {
    to << (i == 0 ? "[" : ",[") << v[i].mode << ',';
    number(v[i].x);
    to << ',';
    number(v[i].y);
    to << ',' << v[i].tag << ']';
  }
  to << ']';
}

bool readPoints(const nlohmann::json &points, JVect *path, std::string &error) {
  int index = 0;
  for (const nlohmann::json &p : points) {
    const bool ok = p.is_array() && p.size() == 4 && p[0].is_number_integer() && p[1].is_number() &&
                    p[2].is_number() && p[3].is_number_unsigned() &&
                    p[0].get<int64_t>() >= INT16_MIN && p[0].get<int64_t>() <= INT16_MAX &&
                    p[3].get<uint64_t>() <= UINT32_MAX;
    if (!ok) {
      error = "point " + std::to_string(index) + " is not [mode, x, y, tag]";
      return false;
    }
    // A coordinate a float cannot hold would reach the path as an infinity.
    const double x = p[1].get<double>(), y = p[2].get<double>();
    if (!(std::fabs(x) <= kMaxCoordinateMm && std::fabs(y) <= kMaxCoordinateMm)) {
      error = "point " + std::to_string(index) + " lies out of range";
      return false;
    }
    if (jVectAddPoint(path, JVECT_LAST, p[0].get<int16_t>(), static_cast<float>(x),
                      static_cast<float>(y)) < 0) {
      error = "out of memory";
      return false;
    }
    jVectGetVd(path)[jVectGetNum(path) - 1].tag = p[3].get<uint32_t>();
    ++index;
  }
  return true;
}

}  // namespace

void writeJson(std::ostream &to, const Layers &layers) {
  to << "{\"format\":\"" << kFormat << "\",\"version\":" << kVersion;
  if (layers.size() == 1) {
    to << ",\"points\":";
    writePoints(to, layers[0]);
  } else {
    to << ",\"layers\":[";
    for (size_t i = 0; i < layers.size(); ++i) {
      to << (i == 0 ? "{\"points\":" : ",{\"points\":");
      writePoints(to, layers[i]);
      to << '}';
    }
    to << ']';
  }
  to << "}\n";
}

std::string jsonFromLayers(const Layers &layers) {
  std::ostringstream text;
  writeJson(text, layers);
  return text.str();
}

std::string jsonFromPath(const JVect *path) { return jsonFromLayers({path}); }

bool readJsonText(const std::string &text, JVect *path, std::string &error) {
  const nlohmann::json doc = nlohmann::json::parse(text, nullptr, false);
  if (doc.is_discarded()) {
    error = "not well-formed JSON";
    return false;
  }
  const auto isPoints = [](const nlohmann::json &o) {
    return o.is_object() && o.contains("points") && o["points"].is_array();
  };
  const bool layered = doc.is_object() && doc.contains("layers") && doc["layers"].is_array() &&
                       std::all_of(doc["layers"].begin(), doc["layers"].end(), isPoints);
  // The format is compared only once it is known to be a string: value() throws otherwise.
  const bool named = doc.is_object() && doc.contains("format") && doc["format"].is_string() &&
                     doc["format"].get<std::string>() == kFormat;
  if (!named || !(isPoints(doc) || layered)) {
    error = std::string("not an ") + kFormat + " document";
    return false;
  }
  if (!layered) return readPoints(doc["points"], path, error);
  for (const nlohmann::json &layer : doc["layers"])
    if (!readPoints(layer["points"], path, error)) return false;
  return true;
}

bool readJsonFile(const std::string &file, JVect *path, std::string &error) {
  return readFileWith(file, path, error, readJsonText);
}

}  // namespace outlina::cli
