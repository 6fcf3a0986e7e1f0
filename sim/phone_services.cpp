#include "sim/phone_services.h"

namespace yx::sim {

namespace {

constexpr const char* kSipPath = "/sipreg/pickup.php";
constexpr const char* kWifiPath = "/cgi-bin/ace_web_auth.cgi";
const std::vector<std::string> kReadPost = {"GET", "HEAD", "POST"};

std::string htmlEscape(const std::string& s) {
  std::string out;
  for (char c : s) {
    switch (c) {
      case '&': out += "&amp;"; break;
      case '<': out += "&lt;"; break;
      case '>': out += "&gt;"; break;
      case '"': out += "&quot;"; break;
      default: out += c;
    }
  }
  return out;
}

std::string field(const SimRequest& r, const char* name, bool& present) {
  auto it = r.form.find(name);
  present = it != r.form.end();
  return present ? it->second : std::string();
}

SimReply page(const SimContext& ctx, const std::string& folder, const std::string& path, std::string check) {
  if (auto content = ctx.file(folder, path))
    return SimReply{200, std::move(*content), "text/html; charset=utf-8", {}, std::move(check)};
  return SimReply{404, "Not Found\n", "text/plain; charset=utf-8", {}, std::move(check)};
}

// The sign-in page of a kind, answered to a GET.
Route signInPage(const std::string& folder, const std::string& path) {
  return {"GET", path, [folder, path](const SimRequest&, const SimContext& ctx) { return page(ctx, folder, path, ""); }};
}

SimReply sipPickup(const SimRequest& r, const SimContext& ctx) {
  const std::string folder = "sip_registration";
  bool hasUser = false, hasPass = false;
  const std::string user = field(r, "username", hasUser), pass = field(r, "oldpass", hasPass);
  if (!hasUser || !hasPass) return page(ctx, folder, kSipPath, "missing field");
  auto accounts = ctx.accounts(folder);
  if (!accounts || !accounts->is_object()) return page(ctx, folder, kSipPath, "no accounts");
  auto it = accounts->find(user);
  if (it == accounts->end() || !it->is_object()) return page(ctx, folder, kSipPath, "unknown account");
  if (it->value("password", "") != pass) return page(ctx, folder, kSipPath, "wrong password");

  SimReply reply{200, {}, "text/html; charset=utf-8", {}, "ok"};
  if (auto keyed = ctx.keyedFile(folder, kSipPath, "username", user)) {
    reply.body = std::move(*keyed);
    return reply;
  }
  const std::string number = it->value("sip_number", ""), secret = it->value("sip_password", "");
  std::vector<std::string> values;
  if (it->value("issued", false)) values = {secret, number, user, "忘記密碼"};
  else values = {"確認", number, secret};
  std::string body =
      "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>網路電話帳號</title></head><body>\n"
      "<form action=\"pickup.php\" method=\"post\">\n";
  for (const auto& v : values) body += "<input type=\"text\" value=\"" + htmlEscape(v) + "\">\n";
  body += "</form>\n</body></html>\n";
  reply.body = std::move(body);
  return reply;
}

SimReply wifiSignIn(const std::string& folder, const SimRequest& r, const SimContext& ctx) {
  bool hasUser = false, hasPass = false, hasLogin = false;
  const std::string user = field(r, "username", hasUser), pass = field(r, "userpwd", hasPass);
  const std::string login = field(r, "login", hasLogin);
  if (!hasUser || !hasPass || !hasLogin) return page(ctx, folder, kWifiPath, "missing field");
  if (login != "submit") return page(ctx, folder, kWifiPath, "login is not submit");
  auto accounts = ctx.accounts(folder);
  if (!accounts || !accounts->is_object()) return page(ctx, folder, kWifiPath, "no accounts");
  auto it = accounts->find(user);
  if (it == accounts->end() || !it->is_string()) return page(ctx, folder, kWifiPath, "unknown account");
  if (it->get<std::string>() != pass) return page(ctx, folder, kWifiPath, "wrong password");
  if (auto keyed = ctx.keyedFile(folder, kWifiPath, "username", user))
    return SimReply{200, std::move(*keyed), "text/html; charset=utf-8", {}, "ok"};
  return page(ctx, folder, "/cgi-bin/welcome.html", "ok");
}

}  // namespace

ServiceKind sipRegistrationKind() {
  return {"sip_registration",
          "sip_registration",
          kReadPost,
          {{"POST", kSipPath, sipPickup}, signInPage("sip_registration", kSipPath)},
          {{kSipPath, "username"}}};
}

ServiceKind wifiPortalKind(const std::string& key) {
  return {key,
          key,
          kReadPost,
          {{"POST", kWifiPath, [key](const SimRequest& r, const SimContext& ctx) { return wifiSignIn(key, r, ctx); }},
           signInPage(key, kWifiPath)},
          {{kWifiPath, "username"}}};
}

}  // namespace yx::sim
