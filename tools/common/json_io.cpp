#include "json_io.h"

#include <nlohmann/json.hpp>

#include "outline_io.h"

namespace outlina::cli {
namespace {

constexpr const char *kFormat = "outlina-points";
constexpr int kVersion = 1;

}  // namespace

std::string jsonFromPath(const JVect *path) {
  nlohmann::json points = nlohmann::json::array();
  const JVectPoint *v = jVectGetVd(path);
  for (int i = 0; i < jVectGetNum(path); ++i) {
    // Copied out first: fields of the packed records cannot be bound by reference.
    const int mode = v[i].mode;
    const float x = v[i].x, y = v[i].y;
    const uint32_t tag = v[i].tag;
    points.push_back({mode, x, y, tag});
  }
  const nlohmann::json doc = {{"format", kFormat}, {"version", kVersion}, {"points", points}};
  return doc.dump() + "\n";
}

bool readJsonText(const std::string &text, JVect *path, std::string &error) {
  const nlohmann::json doc = nlohmann::json::parse(text, nullptr, false);
  if (doc.is_discarded()) {
    error = "not well-formed JSON";
    return false;
  }
  if (!doc.is_object() || doc.value("format", "") != kFormat || !doc.contains("points") ||
      !doc["points"].is_array()) {
    error = std::string("not an ") + kFormat + " document";
    return false;
  }
  int index = 0;
  for (const nlohmann::json &p : doc["points"]) {
    const bool ok = p.is_array() && p.size() == 4 && p[0].is_number_integer() && p[1].is_number() &&
                    p[2].is_number() && p[3].is_number_unsigned() &&
                    p[0].get<int64_t>() >= INT16_MIN && p[0].get<int64_t>() <= INT16_MAX &&
                    p[3].get<uint64_t>() <= UINT32_MAX;
    if (!ok) {
      error = "point " + std::to_string(index) + " is not [mode, x, y, tag]";
      return false;
    }
    if (jVectAddPoint(path, JVECT_LAST, p[0].get<int16_t>(), p[1].get<float>(), p[2].get<float>()) <
        0) {
      error = "out of memory";
      return false;
    }
    jVectGetVd(path)[jVectGetNum(path) - 1].tag = p[3].get<uint32_t>();
    ++index;
  }
  return true;
}

bool readJsonFile(const std::string &file, JVect *path, std::string &error) {
  return readFileWith(file, path, error, readJsonText);
}

}  // namespace outlina::cli
