#include "campus/newspaper/articles.h"
#include "campus/newspaper/boards.h"
#include "campus/newspaper/news_lists.h"
#include "campus/newspaper/newspaper.h"
#include "campus/newspaper/photo_database.h"
#include "campus/newspaper/times_menu.h"
#include "campus/newspaper/times_web_page.h"

namespace yx {

namespace {
template <class T> void screen(const std::string& name) {
  Storyboards::registerScreen(name, [] { return std::make_shared<T>(); });
}
template <class T> void segue(const std::string& from, const std::string& identifier) {
  Storyboards::registerSegue(from, identifier, [] { return std::make_shared<T>(); });
}
}  // namespace

void registerNewspaperScreens() {
  Storyboards::registerInitial("wynTimes", [] {
    auto menu = std::make_shared<wynTimesViewController>();
    menu->setStoryboardName("wynTimes");
    return menu;
  });
  screen<wynTimesViewController>("wynTimesViewController");
  screen<chiNewsViewController>("chiNewsViewController");
  screen<engNewsViewController>("engNewsViewController");
  screen<chiNewsDetailViewController>("chiNewsDetailViewController");
  screen<engNewsDetailViewController>("engNewsDetailViewController");
  screen<timesHomeWebViewController>("timesHomeWebViewController");
  screen<timesActsViewController>("timesActsViewController");
  screen<timesSpeechsViewController>("timesSpeechsViewController");
  screen<imageDBViewController>("imageDBViewController");
  screen<imageDBthumbViewController>("imageDBthumbViewController");
  screen<imageDBdetailViewController>("imageDBdetailViewController");

  segue<chiNewsViewController>("wynTimesViewController", "chiNews");
  segue<engNewsViewController>("wynTimesViewController", "engTimes");
  segue<timesActsViewController>("wynTimesViewController", "timesActs");
  segue<timesSpeechsViewController>("wynTimesViewController", "timesSpeechs");
  segue<imageDBViewController>("wynTimesViewController", "timesImageDB");
  segue<chiNewsDetailViewController>("chiNewsViewController", "chiNewsDetail");
  segue<engNewsDetailViewController>("engNewsViewController", "engNewsDetail");
  segue<imageDBthumbViewController>("imageDBViewController", "imageDBthumb");
  segue<imageDBdetailViewController>("imageDBthumbViewController", "imageDetail");
  segue<timesHomeWebViewController>("imageDBdetailViewController", "getPicURL");
}

}  // namespace yx
