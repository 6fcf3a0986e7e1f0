#include "sim/library_service.h"

namespace yx::sim {

namespace {

constexpr const char* kFolder = "library_catalogue";
constexpr const char* kPatronActivity = "/cgi-bin/patron-activity";
constexpr const char* kXml = "text/xml; charset=utf-8";

std::string formField(const SimRequest& r, const std::string& name) {
  auto it = r.form.find(name);
  return it == r.form.end() ? std::string() : it->second;
}

// The refusal documents live in the data ("…@refused=barcode",
// "…@refused=password"); these stand in when a data folder lacks them.
std::string refusal(const char* text) {
  return std::string("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<patronInfo><patron><error>") + text +
         "</error></patron></patronInfo>\n";
}

// The patron's account for a barcode and password. accounts.json maps each
// barcode to its password. Always 200 with XML: a refusal is a patron
// document whose "error" says why.
SimReply patronActivity(const SimRequest& r, const SimContext& ctx) {
  const std::string barcode = formField(r, "barcode"), password = formField(r, "password");
  SimReply reply;
  reply.contentType = kXml;
  auto accounts = ctx.accounts(kFolder);
  const nlohmann::json* account = nullptr;
  if (accounts && accounts->is_object())
    if (auto it = accounts->find(barcode); it != accounts->end()) account = &*it;
  if (!account) {
    reply.check = "unknown barcode";
    reply.body = ctx.keyedFile(kFolder, kPatronActivity, "refused", "barcode").value_or(refusal("查無此讀者證號"));
  } else if (!account->is_string() || account->get<std::string>() != password) {
    reply.check = "wrong password";
    reply.body =
        ctx.keyedFile(kFolder, kPatronActivity, "refused", "password").value_or(refusal("密碼錯誤，請重新輸入"));
  } else {
    reply.check = "ok";
    auto own = ctx.keyedFile(kFolder, kPatronActivity, "barcode", barcode);
    reply.body = own ? *own
                     : ctx.file(kFolder, kPatronActivity)
                           .value_or("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<patronInfo><patron/></patronInfo>\n");
  }
  return reply;
}

SimReply postOnly(const SimRequest&, const SimContext&) {
  SimReply reply{405, "Method Not Allowed\n", "text/plain; charset=utf-8", {}, {}};
  reply.headers.emplace("Allow", "POST");
  return reply;
}

}  // namespace

ServiceKind libraryCatalogue() {
  return {"library_catalogue",
          kFolder,
          {"GET", "HEAD", "POST"},
          {{"POST", kPatronActivity, patronActivity}, {"GET", kPatronActivity, postOnly}},
          {{"/cgi-bin/search_virtua.pl", "bib_id"}, {kPatronActivity, "barcode"}}};
}

}  // namespace yx::sim
