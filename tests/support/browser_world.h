#pragma once
// A SimWorld with scripted browser windows and an engine whose reports are recorded.
#include <memory>
#include <string>
#include <vector>

#include "monitor/ie_class.h"
#include "platform/sim/sim_browser.h"
#include "platform/sim/sim_shell.h"
#include "support/sim_world.h"

namespace quellbox::testing {

struct RecordedReports : ReportObserver {
  void OnReport(const MonitorReport& report) override { all.push_back(report); }
  std::vector<int> Ids() const {
    std::vector<int> ids;
    for (const auto& r : all) ids.push_back(r.id);
    return ids;
  }
  std::vector<MonitorReport> all;
};

struct BrowserWorld : SimWorld {
  BrowserWorld() {
    state.settings.KillerEnabled = true;
    state.settings.Normalize = true;
    state.settings.Log = 1;
    state.settings.Keys = 1;
    state.settings.Disable = 1;  // a held key lets a window through, as after a first run
  }
  // A browser window showing `url` in an HTML document.
  std::shared_ptr<sim::SimBrowser> Window(const std::string& url, std::int64_t hwnd = 100) {
    auto w = std::make_shared<sim::SimBrowser>(hub, "window " + std::to_string(hwnd));
    w->hwnd = hwnd;
    w->locationUrl = url;
    w->locationName = url;
    w->document = Document(url);
    return w;
  }
  std::shared_ptr<sim::SimDocument> Document(const std::string& url) {
    auto d = std::make_shared<sim::SimDocument>(hub, url);
    d->activeElement = Element("BODY");
    return d;
  }
  std::shared_ptr<sim::SimElement> Element(const std::string& tag, const std::string& id = "",
                                           const std::string& text = "[object]") {
    auto e = std::make_shared<sim::SimElement>(hub, tag);
    e->tagName = tag;
    e->id = id;
    e->text = text;
    return e;
  }
  std::shared_ptr<sim::SimHtmlWindow> FrameWith(const std::shared_ptr<sim::SimDocument>& d) {
    auto f = std::make_shared<sim::SimHtmlWindow>(hub, "frame");
    f->document = d;
    return f;
  }
  std::shared_ptr<IE_Class> Attach(const std::shared_ptr<sim::SimBrowser>& w) {
    auto m = IE_Class::Create(engine);
    m->SetIECtl(w);
    return m;
  }
  PopupFlags& Flags() { return state.flags; }

  // A window as a script opens it: untitled address as title, no status bar.
  std::shared_ptr<sim::SimBrowser> Popup(const std::string& url, std::int64_t hwnd) {
    auto w = Window(url, hwnd);
    w->statusBar = false;
    w->visible = false;
    return w;
  }
  std::shared_ptr<sim::SimShellWindows> Shell() {
    if (!shell.windows) shell.windows = std::make_shared<sim::SimShellWindows>(hub);
    return shell.windows;
  }
  bool Closed(const sim::SimBrowser& w) const { return w.closed; }

  RecordedReports reports;
  Engine engine{services, state, &reports};
};

}  // namespace quellbox::testing
