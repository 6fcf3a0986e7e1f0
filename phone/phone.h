#pragma once
// Campus telephone, Wi-Fi and feedback: registers the storyboard
// "extension" (the Telephone menu and the screens it leads to), and the
// screens the Home menu opens by class name ("wifiConnectViewController",
// "responceViewController").

namespace yx {

void registerPhoneScreens();

}  // namespace yx
