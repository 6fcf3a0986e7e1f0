#pragma once
// Today's messages, the calendar, the map, the building list and the cameras:
// registers the screens the Home menu opens by class name
// ("todayNewsViewController", "calendarViewController", "wynMapViewController",
// "houseListsViewController", "camerasViewController") and the ones they lead to.

namespace yx {

void registerCampusGuideScreens();

}  // namespace yx
