// The feedback form: the typing rule counted in characters, the form moving
// above the keyboard, and sending: thanks only for a delivered text, the
// text kept whenever it was not.

#include <gtest/gtest.h>

#include "phone/feedback.h"
#include "platform/text.h"
#include "tests/phone/phone_support.h"

namespace yx::test {
namespace {

using nlohmann::json;

constexpr const char* kReview = "/Data/review1.aspx";

class FeedbackTest : public PhoneFixture {
protected:
  std::string open() {
    std::string s = run("tap 11");
    EXPECT_TRUE(has(s, "alert:  | 有任何問題/建議都可以透過'我有話說'反應給我們，謝謝。 | 確定")) << s;
    return run("alert 0");
  }
  phone::responceViewController& form() { return *top<phone::responceViewController>(); }
  TextView& textView() { return *form().view().findNamed<TextView>("myTextView"); }
  static std::string repeat(const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
  }
};

TEST_F(FeedbackTest, TypingStopsAtFiftyCharactersAndReturnPutsTheKeyboardAway) {
  startPhone();
  std::string s = open();
  ASSERT_TRUE(has(s, "screen: responceViewController depth 2")) << s;
  const Rect rest = form().view().frame();
  const Rect box = textView().frame();

  run("focus myTextView");
  EXPECT_EQ(form().view().frame(), (Rect{rest.x, rest.y - 115, rest.width, rest.height + 115}));
  EXPECT_EQ(textView().frame(), box) << "the form moves as a whole";

  run("type myTextView " + repeat("雲岫", 30));  // 60 characters, 180 bytes
  EXPECT_EQ(utf8Length(textView().text()), 50u);
  EXPECT_EQ(textView().text(), repeat("雲岫", 25));
  EXPECT_EQ(run("paste myTextView 學苑").rfind("error:", 0), 0u);
  EXPECT_EQ(utf8Length(textView().text()), 50u);

  // A paste that starts at 49 goes in whole.
  run("tap clear");
  run("type myTextView " + repeat("山", 49));
  run("paste myTextView 0123456789");
  EXPECT_EQ(textView().text(), repeat("山", 49) + "0123456789");
  // Editing an earlier position is still allowed; from 50 on nothing is.
  EXPECT_TRUE(textView().userReplace(0, 1, "嵐"));
  EXPECT_FALSE(textView().userReplace(50, 1, ""));

  // Return from position 50 on is refused like any other key.
  run("return myTextView");
  EXPECT_EQ(textView().text().find('\n'), std::string::npos);
  EXPECT_TRUE(textView().isFirstResponder());

  // Below 50 it puts the keyboard away instead of breaking the line.
  run("tap clear");
  run("type myTextView 短句");
  run("return myTextView");
  EXPECT_EQ(textView().text(), "短句");
  EXPECT_FALSE(textView().isFirstResponder());
  EXPECT_EQ(form().view().frame(), rest);
  EXPECT_EQ(textView().frame(), box);
  // Touching the background puts it away too.
  run("focus myTextView");
  EXPECT_TRUE(textView().isFirstResponder());
  run("tap alphaBtn");
  EXPECT_FALSE(textView().isFirstResponder());
  EXPECT_EQ(form().view().frame(), rest);
}

TEST_F(FeedbackTest, OnlyADeliveredTextIsThankedForAndEveryFailureKeepsIt) {
  startPhone();
  open();
  std::string s = run("tap sendToDB");
  EXPECT_TRUE(has(s, "alert: 失敗 | 請輸入文字。 | 確定")) << s;
  EXPECT_EQ(requestsFor(kReview).size(), 0u);
  run("alert 0");

  const std::string text = "a&b=c+d#e?f g中";
  run("type myTextView " + text);
  for (sim::Fault f : {sim::Fault{.status = 500}, sim::Fault{.status = 404}, sim::Fault{.cutAfter = 0}}) {
    sim().setFault(kReview, f);
    s = run("tap sendToDB");
    EXPECT_TRUE(has(s, "screen: responceViewController depth 2")) << s;
    EXPECT_TRUE(has(s, "alert: 失敗 | 傳送失敗，請稍後再試。 | 確定")) << s;
    EXPECT_TRUE(has(s, "text myTextView: " + text + "\n")) << s;
    run("alert 0");
  }
  EXPECT_EQ(requestsFor("/Data/situ1.aspx").size(), 0u) << "no usage report without a delivery";

  sim().clearFaults();
  s = run("tap sendToDB");
  EXPECT_TRUE(has(s, "screen: corvaleViewController depth 1")) << s;
  EXPECT_TRUE(has(s, "alert: 成功 | 謝謝您！ | 確定")) << s;
  auto sent = requestsFor(kReview);
  ASSERT_EQ(sent.size(), 4u);
  EXPECT_EQ(sent.back()["query"], json({{"pk", kUserId}, {"c", text}}));
  EXPECT_EQ(sent.back()["raw_query"], std::string("pk=") + kUserId + "&c=a%26b%3Dc%2Bd%23e%3Ff%20g%E4%B8%AD");
  EXPECT_EQ(requestsFor("/Data/situ1.aspx").size(), 1u);

  // Without an identifier (the profile delivered long ago, the identifier
  // since lost) the text goes out as from nobody.
  Settings::standard().removeObjectForKey("user_id");
  run("alert 0");
  open();
  run("type myTextView 好用");
  run("tap sendToDB");
  EXPECT_EQ(requestsFor(kReview).back()["raw_query"], "pk=(null)&c=%E5%A5%BD%E7%94%A8");
}

}  // namespace
}  // namespace yx::test
