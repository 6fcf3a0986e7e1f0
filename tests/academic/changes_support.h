#pragma once
// Set-up shared by the course-change tests: an app whose settings store holds
// a signed-in student and teacher before it starts, a simulator overlay for
// the feeds and the academic service, and the stored files read back by
// Python's plistlib.

#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "platform/settings.h"
#include "tests/campus/feeds_support.h"

namespace yx::test {

inline const std::vector<std::string> kStudentCourses = {"1131001", "1131014", "1131027", "1131102", "1131215",
                                                          "1131330"};
inline const std::vector<std::string> kTeacherCourses = {"1131001", "1131040", "1131041", "1131066"};
inline constexpr const char* kStudent = "41120307";
inline constexpr const char* kTeacher = "30127";

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

class ChangesFixture : public FeedsFixture {
protected:
  // Settings stored before the app starts (as an earlier run left them).
  void presetSettings(const std::map<std::string, Value>& values) {
    Settings::standard().open(dataDir());
    Settings::standard().setString("個人資料", "填寫過");
    for (auto& [k, v] : values) Settings::standard().setObject(k, v);
    Settings::standard().synchronize();
    Settings::standard().close();
  }
  void presetSignedIn(bool student = true, bool teacher = true) {
    std::map<std::string, Value> v;
    if (student) {
      v["學號"] = kStudent;
      v["stuSubjectNoAry"] = Value::stringArray(kStudentCourses);
    }
    if (teacher) {
      v["teacherID"] = kTeacher;
      v["teacherSubjectNoAry"] = Value::stringArray(kTeacherCourses);
    }
    presetSettings(v);
  }
  void serveTemporary(const std::vector<FeedItem>& items) {
    serveFeed("/data/xml/lve_reg.xml", changeFeed("lve_reg", items));
  }

  // A property-list file of the data folder as Python's plistlib reads it.
  nlohmann::json readPlist(const std::string& fileName) {
    std::string path = dataDir() + "/" + fileName;
    if (!std::filesystem::exists(path)) return nullptr;
    std::string cmd =
        "python3 -c 'import plistlib,json,sys\nd=plistlib.load(open(sys.argv[1],\"rb\"))\n"
        "print(json.dumps(d,ensure_ascii=False,default=str))' '" + path + "' 2>&1";
    std::string out;
    if (FILE* f = ::popen(cmd.c_str(), "r")) {
      char buf[4096];
      size_t n;
      while ((n = std::fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
      ::pclose(f);
    }
    auto j = nlohmann::json::parse(out, nullptr, false);
    EXPECT_FALSE(j.is_discarded()) << out;
    return j;
  }
  nlohmann::json storedSettings() { return readPlist("settings.plist"); }
  // A stored list of strings ([] when absent).
  std::vector<std::string> storedList(const std::string& key) {
    auto s = storedSettings();
    std::vector<std::string> out;
    if (s.is_object() && s.contains(key) && s[key].is_array())
      for (auto& v : s[key]) out.push_back(v.is_string() ? v.get<std::string>() : "?");
    return out;
  }

  // The `notifications` listing split into lines.
  std::vector<std::string> notificationLines() {
    std::string out = run("notifications");
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < out.size()) {
      size_t end = out.find('\n', start);
      if (end == std::string::npos) end = out.size();
      if (end > start) lines.push_back(out.substr(start, end - start));
      start = end + 1;
    }
    if (lines.size() == 1 && lines[0] == "notifications: none") lines.clear();
    return lines;
  }
};

}  // namespace yx::test
