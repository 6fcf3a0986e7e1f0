// The settings store: persistence across a re-open, atomic 0600 files in a
// 0700 folder, a corrupt file kept aside, concurrent readers, secret keys.
#include <gtest/gtest.h>

#include <sys/stat.h>

#include <atomic>
#include <cstdlib>
#include <map>
#include <thread>

#include "platform/files.h"
#include "platform/settings.h"

namespace yx {
namespace {

class SettingsTest : public ::testing::Test {
protected:
  void SetUp() override {
    char tmpl[] = "/tmp/yx-settings-XXXXXX";
    root_ = ::mkdtemp(tmpl);
    dir_ = root_ + "/data";
    Settings::standard().open(dir_);
  }
  void TearDown() override {
    Settings::standard().close();
    Files::removeItem(root_);
  }
  std::string file() const { return dir_ + "/settings.plist"; }
  std::string root_, dir_;
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

TEST_F(SettingsTest, WritesThroughWithOwnerOnlyModes) {
  Settings& s = Settings::standard();
  s.setString("個人資料", "填寫過");
  // Written at once, without synchronize: a crash loses nothing.
  auto onDisk = Files::readPlistFile(file());
  ASSERT_TRUE(onDisk);
  EXPECT_EQ(onDisk->stringFor("個人資料"), "填寫過");
  struct stat st {};
  ASSERT_EQ(::stat(file().c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  ASSERT_EQ(::stat(dir_.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  // No temporary files are left behind.
  EXPECT_EQ(Files::listByExtension(dir_, "plist"), std::vector<std::string>{"settings.plist"});
  // Setting the same value again does not rewrite the file.
  auto writes = s.writeCount();
  s.setString("個人資料", "填寫過");
  EXPECT_EQ(s.writeCount(), writes);
  // Several keys set together are one write.
  s.setObjects({{"user_X", Value("1")}, {"user_Y", Value("2")}, {"功能名稱", Value("近期消息")}});
  EXPECT_EQ(s.writeCount(), writes + 1);
  EXPECT_EQ(Files::readPlistFile(file())->stringFor("功能名稱"), "近期消息");
}

TEST_F(SettingsTest, KeysSetTogetherAreWrittenOnceInOrder) {
  Settings& s = Settings::standard();
  s.setString("callNumber", "old");
  size_t before = s.writeCount();
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

TEST_F(SettingsTest, CorruptOrWrongShapedFileIsKeptAsideAndStoreStartsEmpty) {
  for (std::string bad : {std::string("<?xml version=\"1.0\"?><plist><dict><key>a</key>"),
                          std::string(""), Value::array({"x"}).toXmlPlist()}) {
    Settings::standard().close();
    ASSERT_TRUE(Files::writeFileAtomically(file(), bad, 0600));
    Settings& s = Settings::standard();
    s.open(dir_);
    EXPECT_TRUE(s.keys().empty());
    EXPECT_FALSE(Files::exists(file()));
    auto aside = Files::readFile(file() + ".corrupt");
    ASSERT_TRUE(aside);
    EXPECT_EQ(*aside, bad);
    s.setString("k", "v");  // the store works normally afterwards
    s.open(dir_);
    EXPECT_EQ(s.stringForKey("k"), "v");
    Files::removeItem(file());
  }
}

// Reading a property list takes several times its size in memory, so one
// above the size limit is kept aside like a corrupt one.
TEST_F(SettingsTest, AFileAboveTheSizeLimitIsKeptAsideLikeACorruptOne) {
  Settings::standard().close();
  {
    Value big = Value::dictionary({{"個人資料", "填寫過"}, {"filler", std::string(Files::kMaxPlistBytes, 'x')}});
    ASSERT_TRUE(Files::writeFileAtomically(file(), big.toXmlPlist(), 0600));
  }
  Settings& s = Settings::standard();
  s.open(dir_);
  EXPECT_TRUE(s.keys().empty());
  EXPECT_FALSE(Files::exists(file()));
  EXPECT_TRUE(Files::exists(file() + ".corrupt"));
  EXPECT_FALSE(Files::readPlistFile(file() + ".corrupt"));
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

class MemorySecrets : public SecretBackend {
public:
  std::optional<std::string> load(const std::string& key) override {
    auto it = values.find(key);
    if (it == values.end()) return std::nullopt;
    return it->second;
  }
  bool store(const std::string& key, const std::string& value) override {
    values[key] = value;
    return true;
  }
  bool remove(const std::string& key) override { return values.erase(key) > 0; }
  std::map<std::string, std::string> values;
};

// A keyring that is locked and whose user refuses to open it: nothing can
// be read, stored or removed until `open` is set.
class LockedSecrets : public MemorySecrets {
public:
  bool open = false;
  std::optional<std::string> load(const std::string& key) override {
    return open ? MemorySecrets::load(key) : std::nullopt;
  }
  bool store(const std::string& key, const std::string& value) override {
    return open && MemorySecrets::store(key, value);
  }
  bool remove(const std::string& key) override { return open && MemorySecrets::remove(key); }
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
  auto secrets = std::make_shared<LockedSecrets>();
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
