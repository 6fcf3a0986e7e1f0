#pragma once
// Set-up shared by the student, teacher and course-change screen tests: the
// app on the simulator with the profile delivered and the settings an
// earlier run left (a signed-in student or teacher), overlays for the
// academic service and the feeds, and the requests, files, settings and
// notifications as a person or another program (Python's plistlib) finds them.

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "platform/settings.h"
#include "tests/campus/feeds_support.h"
#include "tests/support/scratch.h"

namespace yx::test {

inline constexpr const char* kStudent = "41120307";
inline constexpr const char* kPassword = "cloud 8,7:sky";
inline constexpr const char* kTeacher = "30127";
inline constexpr const char* kMethods = "/emisappws/AppWebService.asmx/";
inline const std::vector<std::string> kStudentCourses = {"1131001", "1131014", "1131027", "1131102", "1131215",
                                                          "1131330"};
inline const std::vector<std::string> kTeacherCourses = {"1131001", "1131040", "1131041", "1131066"};

// One lve_reg / crs_chg item as the feeds write it.
struct FeedItem {
  std::string serial, department, subject, teacher, before, after;
};

inline std::string changeFeed(const std::string& itemName, const std::vector<FeedItem>& items) {
  std::string x = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<NewDataSet>\n";
  for (auto& i : items)
    x += "  <" + itemName + "><序號>" + i.serial + "</序號><系級>" + i.department + "</系級><科目>" + i.subject +
         "</科目><教師>" + i.teacher + "</教師><原始>" + i.before + "</原始><異動>" + i.after + "</異動></" +
         itemName + ">\n";
  return x + "</NewDataSet>\n";
}

class AcademicFixture : public FeedsFixture {
protected:
  // Before start(): the delivered profile and the settings an earlier run left.
  void preset(const std::map<std::string, Value>& values) {
    Settings::standard().open(dataDir());
    Settings::standard().setString("個人資料", "填寫過");
    for (auto& [k, v] : values) Settings::standard().setObject(k, v);
    Settings::standard().synchronize();
    Settings::standard().close();
  }
  void startSignedIn(const std::string& number = kStudent, const std::string& password = kPassword) {
    preset({{"學號", number}, {"密碼", password}});
    start();
  }
  // Before start(): a student and a teacher signed in with their course lists.
  void presetSignedIn(bool student = true, bool teacher = true) {
    std::map<std::string, Value> v;
    if (student) v.insert({{"學號", kStudent}, {"stuSubjectNoAry", Value::stringArray(kStudentCourses)}});
    if (teacher) v.insert({{"teacherID", kTeacher}, {"teacherSubjectNoAry", Value::stringArray(kTeacherCourses)}});
    preset(v);
  }
  // A file under Documents, and a cache file under Documents/DownloadXml.
  void leaveDocument(const std::string& name, const std::string& body) {
    std::filesystem::path p = std::filesystem::path(dataDir()) / "Documents" / name;
    std::filesystem::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << body;
  }
  void leaveFile(const std::string& name, const std::string& body) { leaveDocument("DownloadXml/" + name, body); }
  void serveTemporary(const std::vector<FeedItem>& items) {
    serveFeed("/data/xml/lve_reg.xml", changeFeed("lve_reg", items));
  }

  std::vector<nlohmann::json> academicRequests() {
    std::vector<nlohmann::json> out;
    for (auto& r : sim().requests())
      if (r.value("kind", "") == "academic") out.push_back(r);
    return out;
  }
  std::string setting(const std::string& key) { return Settings::standard().stringForKey(key).value_or("(absent)"); }
  // Opens the Student menu from the Home menu.
  std::string openMenu() { return run("tap 3"); }
  // Signs in on the student form on top.
  std::string signIn(const std::string& number = kStudent, const std::string& password = kPassword) {
    run("type idField " + number);
    run("type passwordField " + password);
    return run("tap inquiryBtn");
  }
  // A property-list file of the data folder as Python's plistlib reads it.
  nlohmann::json readPlist(const std::string& fileName) { return plistJson(dataDir() + "/" + fileName); }
  nlohmann::json storedSettings() { return readPlist("settings.plist"); }
  // A stored list of strings ([] when absent).
  std::vector<std::string> storedList(const std::string& key) {
    auto s = storedSettings();
    std::vector<std::string> out;
    if (s.is_object() && s.contains(key) && s[key].is_array())
      for (auto& v : s[key]) out.push_back(v.is_string() ? v.get<std::string>() : "?");
    return out;
  }
  // The `notifications` listing, a line each.
  std::vector<std::string> notificationLines() {
    std::istringstream in(run("notifications"));
    std::vector<std::string> lines;
    for (std::string l; std::getline(in, l);)
      if (!l.empty() && l != "notifications: none") lines.push_back(l);
    return lines;
  }
};

}  // namespace yx::test
