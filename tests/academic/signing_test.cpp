// Request signing and the password encoding: vectors computed by Python
// (hashlib, "%f"), the time key from the device's clock and zone, the
// encoding over every UTF-16 code unit, and the query a request carries.

#include <gtest/gtest.h>

#include <sstream>

#include "academic/signing.h"
#include "core/deployment.h"
#include "platform/dates.h"
#include "sim/academic_service.h"
#include "tests/support/scratch.h"

namespace yx {
namespace {

using namespace std::chrono;

TimePoint utc(int y, unsigned mo, unsigned d, int h, int mi, int s, int ms) {
  return sys_days{year{y} / month{mo} / day{d}} + hours{h} + minutes{mi} + seconds{s} + milliseconds{ms};
}

// A code point as UTF-8.
std::string utf8(char32_t cp) {
  if (cp < 0x80) return std::string(1, static_cast<char>(cp));
  const int n = cp < 0x800 ? 2 : cp < 0x10000 ? 3 : 4;
  std::string out(n, '\0');
  for (int i = n - 1; i > 0; --i, cp >>= 6) out[i] = static_cast<char>(0x80 | (cp & 0x3F));
  out[0] = static_cast<char>((0xF00 >> n) | cp);
  return out;
}

// The encoding by its definition: each UTF-16 code unit's low five bits
// reversed (a supplementary character's two surrogates each).
char32_t reversedLowFive(char32_t unit) {
  char32_t low = 0;
  for (int b = 0; b < 5; ++b) low |= ((unit >> b) & 1) << (4 - b);
  return (unit & ~char32_t{0x1F}) | low;
}
char32_t encoded(char32_t cp) {
  if (cp < 0x10000) return reversedLowFive(cp);
  const char32_t hi = reversedLowFive(0xD800 + ((cp - 0x10000) >> 10));
  const char32_t lo = reversedLowFive(0xDC00 + ((cp - 0x10000) & 0x3FF));
  return 0x10000 + ((hi - 0xD800) << 10) + (lo - 0xDC00);
}

class SigningTest : public ::testing::Test {
protected:
  void SetUp() override { ASSERT_TRUE(setTimeZone("Asia/Taipei")); }
  void TearDown() override { setTimeZone("UTC"); }
};

TEST_F(SigningTest, TimeKeyIsMinuteSecondMillisecondOfOneReadingInTheDevicesZone) {
  EXPECT_EQ(signingTimeKey(utc(2026, 12, 7, 1, 0, 0, 7)), "0000007");
  EXPECT_EQ(signingTimeKey(utc(2026, 12, 7, 1, 59, 59, 999)), "5959999");
  EXPECT_EQ(signingTimeKey(utc(2026, 12, 7, 1, 5, 12, 345)), "0512345");
  // A zone half an hour off moves the minutes.
  ASSERT_TRUE(setTimeZone("Asia/Kolkata"));
  EXPECT_EQ(signingTimeKey(utc(2026, 12, 7, 1, 0, 0, 7)), "3000007");
  // Key and checksum of one request come from the same reading.
  auto s = signRequest("41120307", utc(2026, 12, 7, 1, 0, 0, 7));
  EXPECT_EQ(s.key, "3000007");
  EXPECT_EQ(s.checksum, requestChecksum("41120307", "3000007"));
}

TEST_F(SigningTest, LeadingNumberReadsOnlyAPlainDecimalPrefix) {
  struct Case {
    const char* text;
    double value;
  } cases[] = {
      {"41120307", 41120307},  {"0000007", 7},     {"  \t\n-12.5e2xyz", -1250}, {"+3.", 3},
      {".5", 0.5},             {"7e", 7},          {"7e+", 7},                  {"1E3", 1000},
      {"A1120015", 0},         {"0x1A", 0},        {"inf", 0},                  {"-Infinity", 0},
      {"nan", 0},              {"", 0},            {"-", 0},                    {".", 0},
      {"12 34", 12},           {"３３", 0},  // full-width digits are not digits
  };
  for (const auto& c : cases) EXPECT_EQ(leadingNumber(c.text), c.value) << c.text;
  EXPECT_TRUE(std::isinf(leadingNumber("1e999")));
  EXPECT_EQ(leadingNumber("1e-999"), 0);
}

TEST_F(SigningTest, ChecksumsMatchPythonsArithmetic) {
  // (number, key) pairs: the demo student at 30:00.000, N = 0 (a negative
  // V), a large N, the last millisecond of an hour, a negative fraction,
  // numbers whose V is infinite or not a number (an empty text is hashed).
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"41120307", "3000000"}, {"A1120015", "0000007"},  {"99999999999999999999", "1234567"},
      {"41031122", "5959999"}, {" -3.5kg", "1234567"},   {"1e999", "0000005"},
      {"-1e999", "0000000"},   {"0", "0000000"},         {"1.5e300", "5959999"},
  };
  std::string list;
  for (auto& [a, b] : cases) list += "(\"" + a + "\",\"" + b + "\"),";
  const std::string program = R"py(import hashlib, re
def n(t):
    m = re.match(r"[ \t\n\v\f\r]*([+-]?(\d+\.?\d*|\.\d+)([eE][+-]?\d+)?)", t)
    return float(m.group(1)) if m else 0.0
for a, b in [)py" + list + R"py(]:
    N = n(a); k = n(b); V = (N*863.0 + N*k) + k*(-271.0)
    t = "%f" % V
    print(hashlib.md5((t[:-7] if len(t) >= 7 else "").encode()).hexdigest()[:5]))py";
  std::istringstream expected(test::runShell("python3 -c '" + program + "' 2>&1").out);
  for (auto& [number, key] : cases) {
    std::string want;
    ASSERT_TRUE(std::getline(expected, want)) << "python gave no line for " << number;
    EXPECT_EQ(requestChecksum(number, key), want) << number << " " << key;
    // The simulator's own reading of the rules agrees.
    EXPECT_EQ(sim::academic::expectedChecksum(number, key), want) << number << " " << key;
  }
  // Fixed points: V = 7 * -271 for N = 0, and the demo student.
  EXPECT_EQ(requestChecksum("A1120015", "0000007"), "655fc");
  EXPECT_EQ(requestChecksum("41120307", "3000000"), "a07b7");
}

TEST_F(SigningTest, PasswordEncodingReversesTheLowFiveBitsOfEveryCodeUnit) {
  EXPECT_EQ(encodePwMethod("abc"), "phx");
  EXPECT_EQ(encodePwMethod("0"), "!");
  EXPECT_EQ(encodePwMethod("!"), "0");
  EXPECT_EQ(encodePwMethod(" "), " ");
  EXPECT_EQ(encodePwMethod("cloud 8,7:sky"), "xf~ud #&=+yzs");
  EXPECT_EQ(encodePwMethod(""), "");
  // Every code point of the first plane and some beyond it: its own inverse,
  // and the simulator's independent reading agrees.
  std::vector<char32_t> points = {0x10000, 0x1F600, 0x2A6D6, 0x10FFFF};
  for (char32_t cp = 0; cp < 0x10000; ++cp)
    if (cp < 0xD800 || cp > 0xDFFF) points.push_back(cp);
  for (char32_t cp : points) {
    const std::string in = utf8(cp), out = encodePwMethod(in);
    ASSERT_EQ(out, utf8(encoded(cp))) << std::hex << static_cast<unsigned>(cp);
    ASSERT_EQ(encodePwMethod(out), in) << std::hex << static_cast<unsigned>(cp);
    ASSERT_EQ(sim::academic::passwordEncoding(in), out) << std::hex << static_cast<unsigned>(cp);
  }
  // Bytes that are not UTF-8 read as U+FFFD, which encodes to U+FFF7.
  EXPECT_EQ(encodePwMethod("\xff"), "\xef\xbf\xb7");
  EXPECT_EQ(sim::academic::passwordEncoding("\xff"), std::nullopt);
}

TEST_F(SigningTest, QueryEscapesTheNumberAndTheEncodedPasswordAsComponents) {
  const TimePoint t = utc(2026, 12, 7, 1, 30, 0, 0);
  EXPECT_EQ(getEncodeUserData("41120307", "cloud 8,7:sky", "pStuNo", t),
            "pStuNo=41120307&pKey=3000000&pChksum=a07b7&pPass=xf~ud%20%23%26%3D%2Byzs");
  // The teacher side names the number pTeachNo; a number with query
  // characters stays one field.
  std::string q = getEncodeUserData("T&1=2", "", "pTeachNo", t);
  EXPECT_EQ(q.rfind("pTeachNo=T%261%3D2&pKey=3000000&pChksum=", 0), 0u) << q;
  EXPECT_EQ(q.substr(q.size() - 7), "&pPass=");
  // Non-ASCII passwords go as escaped UTF-8 of their encoding.
  q = getEncodeUserData("1", "密碼", "pStuNo", t);
  EXPECT_NE(q.find("&pPass=%E5%AF%8C%E7%A2%A7"), std::string::npos) << q;
}

// The screens' requests show the doubled slash before student methods only;
// a deployment's base path is kept, and without a deployment there is no URL.
TEST_F(SigningTest, UrlsKeepTheDeploymentsBasePath) {
  Deployment d;
  d.baseUrls["academic"] = "http://academic.example:8080/base";
  Deployment::setCurrent(d);
  EXPECT_EQ(academicURL("TeachEleList2XML", "a=1", false),
            "http://academic.example:8080/base/emisappws/AppWebService.asmx/TeachEleList2XML?a=1");
  EXPECT_EQ(studentMethodURL("StuEleList2XML", "1", "x").rfind("http://academic.example:8080/base//emisappws/", 0), 0u);
  Deployment::setCurrent(Deployment{});
  EXPECT_THROW(studentMethodURL("StuEleList2XML", "1", "x"), DeploymentError);
}

}  // namespace
}  // namespace yx
