#include "campus/info/campus_info.h"

#include "campus/info/info_loaders.h"
#include "campus/info/info_screens.h"
#include "campus/info/lab_screens.h"

namespace yx {

void registerCampusInfoScreens() {
  Storyboards::registerScreen("newsXMLParser", [] { return std::make_shared<newsXMLParser>(); });
  Storyboards::registerScreen("xmlParser", [] { return std::make_shared<xmlParser>(); });
  Storyboards::registerScreen("computerSeatXMLParser", [] { return std::make_shared<computerSeatXMLParser>(); });
  Storyboards::registerScreen("newsListViewController", [] { return std::make_shared<newsListViewController>(); });
  Storyboards::registerScreen("inforActsViewController", [] { return std::make_shared<inforActsViewController>(); });
  Storyboards::registerScreen("computerViewController", [] { return std::make_shared<computerViewController>(); });
}

}  // namespace yx
