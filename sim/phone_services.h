#pragma once
// The SIP registration server and the campus Wi-Fi portals: sign-in posts
// checked against the kind's accounts.json, answered by a keyed page when
// the data holds one.

#include <string>

#include "sim/services.h"

namespace yx::sim {

// POST "/sipreg/pickup.php" (form username, oldpass). accounts.json:
// {"<account>": {"password", "sip_number", "sip_password", "issued": bool}}.
// Refused: the sign-in page itself (inputs without values). Accepted:
// "/sipreg/pickup.php@username=<account>" when present, else a page whose
// inputs carry "確認", number, password (a new account) or password, number,
// account, "忘記密碼" (an account issued before).
ServiceKind sipRegistrationKind();

// POST "/cgi-bin/ace_web_auth.cgi" (form username, userpwd, login).
// accounts.json: {"<account>": "<password>"}. Refused (login other than
// "submit" too): the sign-in page itself. Accepted:
// "/cgi-bin/ace_web_auth.cgi@username=<account>" when present, else
// "/cgi-bin/welcome.html" (which holds "show_portal=1"). A GET is answered by
// the sign-in page.
ServiceKind wifiPortalKind(const std::string& key);

}  // namespace yx::sim
