#include "sim/services.h"

#include "sim/academic_service.h"
#include "sim/library_service.h"
#include "sim/phone_services.h"

namespace yx::sim {

std::optional<std::string> SimContext::file(const std::string& folder, const std::string& path) const {
  auto content = data_.read(folder, path);
  if (content && isTextDataFile(path) && content->find("{{") != std::string::npos) {
    return fillPlaceholders(*content, time_);
  }
  return content;
}

std::optional<std::string> SimContext::keyedFile(const std::string& folder, const std::string& path,
                                                 const std::string& field, const std::string& value) const {
  auto content = data_.read(folder, path + "@" + field + "=" + keyedValue(value));
  if (content && isTextDataFile(path) && content->find("{{") != std::string::npos) {
    return fillPlaceholders(*content, time_);
  }
  return content;
}

std::optional<nlohmann::json> SimContext::accounts(const std::string& folder) const {
  auto text = data_.read(folder, "/accounts.json");
  if (!text) return std::nullopt;
  try {
    return nlohmann::json::parse(*text);
  } catch (const nlohmann::json::exception&) {
    return std::nullopt;
  }
}

namespace {

const std::vector<std::string> kRead = {"GET", "HEAD"};
const std::vector<std::string> kReadPost = {"GET", "HEAD", "POST"};

// The Campus data server's feeds and its report endpoints ("/Data/info1.aspx",
// "/Data/situ1.aspx", "/data/phone1.aspx", "/Data/review1.aspx") are all data
// files under campus/, so an overlay can change any of their answers.
ServiceKind campusData() { return {"campus_data", "campus", kRead, {}, {}}; }

// The newspaper's picture handlers answer the keyed file of the asked picture
// path ("im") as it is stored: bytes, never placeholder-filled, typed by what
// they hold. No such picture: 404.
SimReply newspaperPicture(const SimRequest& r, const SimContext& ctx) {
  SimReply missing{404, "Not Found\n", "text/plain; charset=utf-8", {}, {}};
  auto im = r.query.find("im");
  if (im == r.query.end()) return missing;
  auto bytes = ctx.data().read("newspaper_web", r.path + "@im=" + keyedValue(im->second));
  if (!bytes) return missing;
  std::string type = "application/octet-stream";
  if (bytes->rfind("\xFF\xD8\xFF", 0) == 0) type = "image/jpeg";
  else if (bytes->rfind("\x89PNG\r\n\x1A\n", 0) == 0) type = "image/png";
  else if (bytes->rfind("GIF8", 0) == 0) type = "image/gif";
  return SimReply{200, std::move(*bytes), type, {}, {}};
}

ServiceKind newspaperWeb() {
  return {"newspaper_web",
          "newspaper_web",
          kRead,
          {{"GET", "/ashx/getILPic150.ashx", newspaperPicture}, {"GET", "/ashx/getILPic.ashx", newspaperPicture}},
          {{"/ashx/getILPic150.ashx", "im"}, {"/ashx/getILPic.ashx", "im"}}};
}

}  // namespace

const std::vector<ServiceKind>& serviceKinds() {
  static const std::vector<ServiceKind> kinds = {
      campusData(),
      academicService(),
      libraryCatalogue(),
      {"library_info", "library_info", kRead, {}, {}},
      {"library_web", "library_web", kRead, {}, {}},
      sipRegistrationKind(),
      wifiPortalKind("wifi_orn"),
      wifiPortalKind("wifi_yi"),
      wifiPortalKind("wifi_tai"),
      {"news_pages", "news_pages", kRead, {}, {}},
      {"course_enrolment", "course_enrolment", kRead, {}, {}},
      newspaperWeb(),
      {"camera", "camera", kRead, {}, {}},
      {"weather", "weather", kRead, {}, {}},
      {"bus_info", "bus_info", kRead, {}, {{"/MQS/businfo2.jsp", "routename"}}},
  };
  return kinds;
}

}  // namespace yx::sim
