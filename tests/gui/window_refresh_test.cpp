// The window and the course-change refresh: hidden or minimised, the app is
// in the background and refreshes every 15 minutes; shown again, it is in
// the foreground and stops.

#include <QTimer>

#include "tests/academic/academic_support.h"
#include "tests/gui/window_fixture.h"

namespace yx::test {
namespace {

using WindowRefreshTest = WindowFixture<AcademicFixture>;

TEST_F(WindowRefreshTest, AHiddenWindowRefreshesEveryFifteenMinutes) {
  presetSignedIn(true, false);
  serveTemporary({{"1131001", "資工二A", "資料結構", "王明哲", "12/10(四)第3-4節", "12/17"}});
  open();
  gui_->window()->show();
  gui_->settle();
  auto& app = Application::shared();
  EXPECT_FALSE(app.inBackground());
  QTimer* timer = nullptr;
  for (QTimer* t : gui_->window()->findChildren<QTimer*>())
    if (t->interval() == 15 * 60 * 1000) timer = t;
  ASSERT_NE(timer, nullptr);
  EXPECT_FALSE(timer->isActive());

  gui_->window()->hide();
  EXPECT_TRUE(QTest::qWaitFor([&] { return bool(app.inBackground()); }, 2000));
  EXPECT_TRUE(timer->isActive());
  // The usage exit report went out as the app left the screen.
  Background::drain(10);
  EXPECT_EQ(requestsFor("/Data/situ1.aspx").size(), 1u);

  // A quarter of an hour later (made short here) the refresh runs.
  timer->setInterval(1);
  EXPECT_TRUE(QTest::qWaitFor([&] { return bool(!app.deliveredNotifications().empty()); }, 5000));
  EXPECT_EQ(app.deliveredNotifications()[0].alertBody, "課程異動：\n資料結構 王明哲\n12/10(四)第3-4節\n異動：12/17");
  timer->setInterval(15 * 60 * 1000);

  gui_->window()->show();
  EXPECT_TRUE(QTest::qWaitFor([&] { return bool(!app.inBackground()); }, 2000));
  EXPECT_FALSE(timer->isActive());
  EXPECT_EQ(storedList("41120307stu_temp_subjectNameAry"), (std::vector<std::string>{"資料結構"}));

  // The window closed as the program ends is no trip to the background: no
  // second exit report.
  gui_.reset();
  Background::drain(10);
  EXPECT_FALSE(app.inBackground());
  EXPECT_EQ(requestsFor("/Data/situ1.aspx").size(), 1u);
}

}  // namespace
}  // namespace yx::test
