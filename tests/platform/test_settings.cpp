// The settings store: persistence across a re-open, atomic 0600 files in a
// 0700 folder, a corrupt file kept aside, concurrent readers, secret keys.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <atomic>
#include <map>
#include <thread>

#include "platform/files.h"
#include "platform/settings.h"
#include "tests/support/scratch.h"

namespace yx {
namespace {

class SettingsTest : public ::testing::Test {
protected:
  void SetUp() override { Settings::standard().open(dir_); }
  void TearDown() override { Settings::standard().close(); }
  std::string file() const { return dir_ + "/settings.plist"; }
  test::ScratchDir root_;
  const std::string dir_ = root_ / "data";
};

TEST_F(SettingsTest, ValuesSurviveReopenAndNullRemoves) {
  Settings& s = Settings::standard();
  s.setString("學號", "410012345");
  s.setObject("stuSubjectNoAry", Value::stringArray({"1001", "1002"}));
  s.setObject("libData", Value::dictionary({{"name", "王小明"}, {"due", 3}}));
  s.setString("密碼", "p@ss word");
  s.setObject("密碼", Value());  // storing nothing removes
  ASSERT_TRUE(s.synchronize());

  s.open(dir_);  // a restart
  EXPECT_EQ(s.stringForKey("學號"), "410012345");
  EXPECT_FALSE(s.objectForKey("密碼"));
  EXPECT_EQ(s.objectForKey("stuSubjectNoAry")->asArray().size(), 2u);
  EXPECT_EQ(s.objectForKey("libData")->get("due").asInteger(), 3);
  EXPECT_FALSE(s.stringForKey("stuSubjectNoAry"));  // not a string
  s.removeObjectForKey("學號");
  s.open(dir_);
  EXPECT_EQ(s.keys(), (std::vector<std::string>{"stuSubjectNoAry", "libData"}));
}

TEST_F(SettingsTest, WritesThroughWithOwnerOnlyModesAndKeysSetTogetherOnce) {
  Settings& s = Settings::standard();
  s.setString("callNumber", "old");
  // Written at once, without synchronize: a crash loses nothing.
  auto onDisk = Files::readPlistFile(file());
  ASSERT_TRUE(onDisk);
  EXPECT_EQ(onDisk->stringFor("callNumber"), "old");
  struct stat st {};
  ASSERT_EQ(::stat(file().c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  ASSERT_EQ(::stat(dir_.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  // No temporary files are left behind.
  EXPECT_EQ(Files::listByExtension(dir_, "plist"), std::vector<std::string>{"settings.plist"});
  // Setting the same value again does not rewrite the file; several keys
  // set together are one write, in their order.
  const size_t before = s.writeCount();
  s.setString("callNumber", "old");
  EXPECT_EQ(s.writeCount(), before);
  s.setObjects({{"callDepartment", Value("圖書館")},
                {"callNumber", Value("2354")},
                {"callTime_Phone", Value::stringArray({"2354"})},
                {"gone", Value()}});
  EXPECT_EQ(s.writeCount(), before + 1);
  s.setObjects({{"callNumber", Value("2354")}});  // nothing changed, nothing written
  EXPECT_EQ(s.writeCount(), before + 1);
  Settings::standard().close();
  Settings::standard().open(dir_);
  EXPECT_EQ(s.keys(), (std::vector<std::string>{"callNumber", "callDepartment", "callTime_Phone"}));
  EXPECT_EQ(s.stringForKey("callNumber"), "2354");
}

// A corrupt file, one of the wrong shape, or one above the size limit
// (reading a property list takes several times its size in memory) is kept
// aside; the store starts empty and works normally afterwards.
TEST_F(SettingsTest, ABadFileIsKeptAsideAndStoreStartsEmpty) {
  const std::string big =
      Value::dictionary({{"個人資料", "填寫過"}, {"filler", std::string(Files::kMaxPlistBytes, 'x')}}).toXmlPlist();
  for (const std::string& bad : {std::string("<?xml version=\"1.0\"?><plist><dict><key>a</key>"), std::string(""),
                                 Value::array({"x"}).toXmlPlist(), big}) {
    Settings::standard().close();
    ASSERT_TRUE(Files::writeFileAtomically(file(), bad, 0600));
    Settings& s = Settings::standard();
    s.open(dir_);
    EXPECT_TRUE(s.keys().empty());
    EXPECT_FALSE(Files::exists(file()));
    auto aside = Files::readFile(file() + ".corrupt");
    ASSERT_TRUE(aside);
    EXPECT_TRUE(*aside == bad) << bad.substr(0, 80);
    s.setString("k", "v");
    s.open(dir_);
    EXPECT_EQ(s.stringForKey("k"), "v");
    Files::removeItem(file());
  }
  EXPECT_FALSE(Files::readPlistFile(file() + ".corrupt"));  // the big one, kept aside last
}

TEST_F(SettingsTest, ConcurrentReadersSeeWholeValues) {
  Settings& s = Settings::standard();
  s.setWriteThrough(false);
  std::atomic<bool> stop{false};
  std::atomic<int> torn{0};
  std::vector<std::thread> readers;
  for (int t = 0; t < 3; ++t) {
    readers.emplace_back([&] {
      while (!stop) {
        auto v = s.stringForKey("user_id");
        if (v && v->size() != 17) ++torn;
        s.keys();
      }
    });
  }
  for (int i = 0; i < 2000; ++i) {
    s.setString("user_id", "2024123" + std::to_string(1000000000 + i));
    if (i % 500 == 0) s.synchronize();
  }
  stop = true;
  for (auto& r : readers) r.join();
  s.setWriteThrough(true);
  EXPECT_EQ(torn.load(), 0);
  EXPECT_TRUE(s.synchronize());
  s.open(dir_);
  EXPECT_EQ(s.stringForKey("user_id"), "20241231000001999");
}

// A keyring in memory. Locked (`open` false) and its user refusing to open
// it, nothing can be read, stored or removed.
class MemorySecrets : public SecretBackend {
public:
  bool open = true;
  std::optional<std::string> load(const std::string& key) override {
    auto it = values.find(key);
    if (!open || it == values.end()) return std::nullopt;
    return it->second;
  }
  bool store(const std::string& key, const std::string& value) override {
    if (open) values[key] = value;
    return open;
  }
  bool remove(const std::string& key) override { return open && values.erase(key) > 0; }
  std::map<std::string, std::string> values;
};

SecretKeys appKeys() {
  SecretKeys k;
  k.keys = {"密碼", "libPW"};
  k.fields = {{"userPhoneData", "password"}};
  k.needs = {{"學號", "密碼"}};
  return k;
}

TEST_F(SettingsTest, SecretKeysLiveOutsideTheFile) {
  Settings& s = Settings::standard();
  s.setString("libPW", "old-secret");
  auto secrets = std::make_shared<MemorySecrets>();
  s.setSecretBackend(secrets, {"libPW", "密碼"});
  EXPECT_EQ(secrets->values["libPW"], "old-secret");  // moved out of the file
  s.setString("密碼", "hunter2");
  s.setString("學號", "410012345");
  EXPECT_EQ(s.stringForKey("密碼"), "hunter2");
  auto onDisk = Files::readFile(file());
  ASSERT_TRUE(onDisk);
  EXPECT_EQ(onDisk->find("hunter2"), std::string::npos);
  EXPECT_EQ(onDisk->find("old-secret"), std::string::npos);
  s.removeObjectForKey("密碼");
  EXPECT_FALSE(s.stringForKey("密碼"));
  EXPECT_EQ(secrets->values.count("密碼"), 0u);
}

// A password the backend does not take is kept in the file (never lost) and
// read from there; the next start that can store it moves it.
TEST_F(SettingsTest, APasswordTheBackendRefusesStaysInTheFileUntilItCanMove) {
  Settings& s = Settings::standard();
  auto secrets = std::make_shared<MemorySecrets>();
  secrets->open = false;
  s.setSecretBackend(secrets, appKeys());
  s.setString("學號", "41120307");
  s.setString("密碼", "typed-once");
  s.setObject("userPhoneData", Value::dictionary({{"username", "u"}, {"password", "sip-pw"}}));
  EXPECT_EQ(s.stringForKey("密碼"), "typed-once");
  EXPECT_EQ(s.stringForKey("學號"), "41120307");
  EXPECT_EQ(s.objectForKey("userPhoneData")->stringFor("password"), "sip-pw");
  auto onDisk = Files::readPlistFile(file());
  EXPECT_EQ(onDisk->stringFor("密碼"), "typed-once");

  secrets->open = true;
  s.open(dir_);  // a restart with the keyring open
  EXPECT_EQ(secrets->values["密碼"], "typed-once");
  EXPECT_EQ(secrets->values["userPhoneData"], "sip-pw");
  onDisk = Files::readPlistFile(file());
  EXPECT_FALSE(onDisk->contains("密碼"));
  EXPECT_EQ(onDisk->get("userPhoneData"), Value::dictionary({{"username", "u"}}));
  EXPECT_EQ(s.stringForKey("密碼"), "typed-once");
}

}  // namespace
}  // namespace yx
