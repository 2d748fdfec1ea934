#include "json_io.h"

#include <algorithm>
#include <cmath>
#include <nlohmann/json.hpp>

#include "outline_io.h"

namespace outlina::cli {
namespace {

constexpr const char *kFormat = "outlina-points";
constexpr int kVersion = 1;

nlohmann::json pointsOf(const JVect *path) {
  nlohmann::json points = nlohmann::json::array();
  const JVectPoint *v = jVectGetVd(path);
  for (int i = 0; i < jVectGetNum(path); ++i) {
    // Copied out first: fields of the packed records cannot be bound by reference.
    const int mode = v[i].mode;
    const float x = v[i].x, y = v[i].y;
    const uint32_t tag = v[i].tag;
    points.push_back({mode, x, y, tag});
  }
  return points;
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

std::string jsonFromPath(const JVect *path) { return jsonFromLayers({path}); }

std::string jsonFromLayers(const Layers &layers) {
  nlohmann::json doc = {{"format", kFormat}, {"version", kVersion}};
  if (layers.size() == 1) {
    doc["points"] = pointsOf(layers[0]);
  } else {
    doc["layers"] = nlohmann::json::array();
    for (const JVect *layer : layers) doc["layers"].push_back({{"points", pointsOf(layer)}});
  }
  return doc.dump() + "\n";
}

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
