#include "campus/info/building_list.h"
#include "campus/info/calendar.h"
#include "campus/info/cameras.h"
#include "campus/info/campus_guide.h"
#include "campus/info/campus_map.h"
#include "campus/info/today_news.h"

namespace yx {

void registerCampusGuideScreens() {
  Storyboards::registerScreen("todayNewsViewController", [] { return std::make_shared<todayNewsViewController>(); });
  Storyboards::registerScreen("calendarViewController", [] { return std::make_shared<calendarViewController>(); });
  Storyboards::registerScreen("wynMapViewController", [] { return std::make_shared<wynMapViewController>(); });
  Storyboards::registerScreen("houseListsViewController", [] { return std::make_shared<houseListsViewController>(); });
  Storyboards::registerScreen("camerasViewController", [] { return std::make_shared<camerasViewController>(); });
}

}  // namespace yx
