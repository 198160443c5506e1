#include <gtest/gtest.h>

#include <sstream>
#include <tuple>

#include "core/convert.h"
#include "core/startup_entry.h"
#include "core/text_file.h"
#include "core/trust.h"
#include "platform/sim/sim_line_list.h"
#include "support/sim_world.h"
#include "ui/forms.h"
#include "ui/options_form.h"
#include "ui/about_form.h"
#include "ui/log_form.h"
#include "ui/trusted_sites_form.h"
#include "ui/strings.h"

namespace quellbox {
namespace {

// Dialogs loaded into the form model, with the platform's part played by records.
struct DialogWorld : testing::SimWorld, DialogHost {
  DialogWorld() { forms.SetContext(context); }
  void Unload(const std::string& form) override { forms.Unload(form); }
  void ShowModal(const std::string& form, const std::string&) override {
    modalShown.push_back(form);
    forms.Load(form);
  }
  bool IsLoaded(const std::string& form) override { return forms.Find(form) != nullptr; }
  std::optional<std::string> OpenFile(const std::string& initialDir, const std::string& filter,
                                      const std::string& title) override {
    fileDialogs.push_back(initialDir + "|" + filter + "|" + title);
    return chosenFile;
  }
  void ReloadMenu() override { ++menuReloads; }
  std::intptr_t ControlWindow(const std::string&, const std::string&, int) override { return 0; }
  LineList* LineListOf(const std::string& form, const std::string& control) override {
    if (!forms.Find(form)) return nullptr;
    auto& list = lists[form + "." + control];
    if (!list) list = std::make_unique<sim::SimLineList>();
    return list.get();
  }
  template <typename T>
  std::shared_ptr<T> Open(const std::string& name) {
    lists.clear();
    return std::dynamic_pointer_cast<T>(forms.Load(name));
  }
  sim::SimLineList& List(const std::string& form, const std::string& control) {
    return static_cast<sim::SimLineList&>(*LineListOf(form, control));
  }
  Settings& S() { return state.settings; }

  Forms forms;
  DialogContext context{services, state, *this, forms};
  std::map<std::string, std::unique_ptr<sim::SimLineList>> lists;
  std::vector<std::string> modalShown, fileDialogs;
  std::optional<std::string> chosenFile;
  int menuReloads = 0;
};

// What the user sees of the named controls ("optSound:2" for an element of an array), as
// "name=value": a box's tick or choice, the combo's index, a label's text; "(off)" when
// disabled, "(hidden)" when not shown.
std::string Shown(Form& f, const std::string& names) {
  std::istringstream words(names);
  std::string out;
  for (std::string name; words >> name;) {
    auto colon = name.find(':');
    Control& c = colon == std::string::npos ? f[name] : f.At(name.substr(0, colon), std::stoi(name.substr(colon + 1)));
    out += (out.empty() ? "" : " ") + name;
    if (name.starts_with("Label") || name.starts_with("lbl")) out += "=" + c.Caption;
    else if (name.starts_with("cmbo")) out += "=" + std::to_string(c.ListIndex);
    else if (!name.starts_with("Frame")) out += "=" + std::to_string(c.Value);
    if (!c.Enabled) out += "(off)";
    if (!c.Visible) out += "(hidden)";
  }
  return out;
}

class OptionsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ApplyFirstRunDefaults(world.services, world.state);
    world.registry.journal.clear();
  }
  DialogWorld world;
};

TEST_F(OptionsTest, EveryControlShowsItsSetting) {
  world.S().WindowsLeft = 42;
  world.S().Spyware = true;  // adware blocking on: the box is ticked
  world.S().Mode = false;
  world.S().Keys = 0;
  world.S().Notify = true;
  auto f = world.Open<frmOptions>("frmOptions");
  EXPECT_EQ(Shown(*f, "chkStartup chkKeepLog chkDisable chkFullScreen chkNotify optSound:0 optSound:2 Frame3 cmboKeys "
                      "optLight optStrict chkSpyware Label9"),
            "chkStartup=1 chkKeepLog=1 chkDisable=1 chkFullScreen=1 chkNotify=1 optSound:0=0 optSound:2=1 Frame3 "
            "cmboKeys=0 optLight=1(off) optStrict=0(off) chkSpyware=0 Label9=42");
  EXPECT_EQ((*f)["cmboKeys"].Items, (std::vector<std::string>{"SHIFT KEY", "CTRL KEY"}));
  EXPECT_EQ((*f)["lblFile"].Caption, world.S().WaveFile);
  EXPECT_EQ(f->Caption, "Quellbox Options");
  EXPECT_EQ(world.registry.journal.front(), std::string("set ") + kRunSection + "\\Quellbox")
      << "loading with Startup 1 writes the Run entry again";
  EXPECT_GE(world.menuReloads, 1);
}

TEST_F(OptionsTest, EveryChangeWritesThroughToItsSetting) {
  auto f = world.Open<frmOptions>("frmOptions");
  auto user = [&](const std::string& name, int index, int value) {
    f->At(name, index).Value = value;
    f->Click(name, index);
  };
  user("chkStartup", -1, 0);
  EXPECT_EQ(world.S().Startup, 0);
  EXPECT_FALSE(world.registry.Get(kRunSection, "Quellbox").has_value());
  user("chkStartup", -1, 1);
  EXPECT_EQ(world.registry.GetText(kRunSection, "Quellbox"), world.File("Quellbox.exe"));
  user("chkFullScreen", -1, 0);
  user("chkDisable", -1, 0);
  user("chkNotify", -1, 1);
  (*f)["cmboKeys"].ListIndex = 0;
  f->Click("cmboKeys", -1);
  EXPECT_EQ(std::tuple(world.S().Normalize, world.S().Disable, world.S().Keys, world.S().Notify),
            std::tuple(false, 0, 0, true));
  user("chkDisable", -1, 1);
  EXPECT_EQ(world.S().Disable, 1);
  int reloads = world.menuReloads;
  user("chkSpyware", -1, 0);
  EXPECT_TRUE(world.S().Spyware);
  EXPECT_EQ(Shown(*f, "optLight optStrict"), "optLight=0(off) optStrict=1(off)");
  user("chkSpyware", -1, 1);
  EXPECT_FALSE(world.S().Spyware);
  EXPECT_EQ(Shown(*f, "optLight"), "optLight=0");
  EXPECT_EQ(world.menuReloads, reloads + 2);
  user("optSound", 0, 1);
  EXPECT_EQ(world.S().Sound, "0");
  EXPECT_EQ(Shown(*f, "Frame3"), "Frame3(hidden)");
  user("optSound", 2, 1);
  EXPECT_EQ(Shown(*f, "Frame3"), "Frame3");
  EXPECT_FALSE(world.Stored("Sound").has_value()) << "nothing is saved by the dialog";
}

TEST_F(OptionsTest, AnUnknownKeysValueLeavesTheComboEmptyAndTheFileDialogCanBeCancelled) {
  world.S().Keys = 5;
  auto f = world.Open<frmOptions>("frmOptions");
  EXPECT_EQ((*f)["cmboKeys"].ListIndex, -1);
  EXPECT_EQ(world.S().Keys, 5);
  std::string wave = world.S().WaveFile;
  f->Click("cmdGetFile", -1);
  EXPECT_EQ(world.fileDialogs, std::vector<std::string>{world.dir.str() + "|Wave files|*.wav|QuellBOX"});
  EXPECT_EQ(world.S().WaveFile, wave);
  world.chosenFile = "C:\\Media\\ding.wav";
  f->Click("cmdGetFile", -1);
  EXPECT_EQ(world.S().WaveFile, "C:\\Media\\ding.wav");
  EXPECT_EQ((*f)["lblFile"].Caption, "C:\\Media\\ding.wav");
  f->Click("cmdTestFile", -1);
  EXPECT_EQ(world.sound.played, std::vector<std::string>{"wave C:\\Media\\ding.wav"});
}

TEST_F(OptionsTest, F1AsksForTheFocusedControlsTopic) {
  world.WriteFile("Quellbox.chm", "ITSF");
  auto f = world.Open<frmOptions>("frmOptions");
  f->ActiveControl = "cmdTestFile";
  int key = kKeyF1;
  f->Form_KeyDown(key);
  EXPECT_EQ(key, 0);
  f->ActiveControl = "chkFullScreen";
  key = kKeyF1;
  f->Form_KeyDown(key);
  EXPECT_EQ(world.help.calls, (std::vector<std::string>{
                                  "popup " + world.File("Quellbox.chm") + "::/Library.txt 1309",
                                  "popup " + world.File("Quellbox.chm") + "::/Library.txt 0"}));
}

TEST(HostOfLogLine, TakesTheHostBetweenTheSchemeAndThePath) {
  auto host = [](const std::string& line) {
    bool found = false;
    std::string h = HostOfLogLine(line, found);
    return found ? h : std::string("<none>");
  };
  EXPECT_EQ(host("12/5/2026 1:05:09 PM - http://ads.example/pop?x=1\r\n"), "ads.example");
  EXPECT_EQ(host("12/5/2026 1:05:09 PM - http://ads.example\r\n"), "ads.example");
  EXPECT_EQ(host("12/5/2026 1:05:09 PM - file:///C:/x.html\r\n"), "");
  EXPECT_EQ(host("12/5/2026 1:05:09 PM - about:blank\r\n"), "about:blank");
  EXPECT_EQ(host("12/5/2026 1:05:09 PM - nothing here\r\n"), "<none>");
}

class LogTest : public ::testing::Test {
 protected:
  std::shared_ptr<frmLog> Open() { return world.Open<frmLog>("frmLog"); }
  sim::SimLineList& List() { return world.List("frmLog", "txtLog"); }
  // As the list does: the row is selected, then the click is reported.
  void ClickRow(frmLog& log, int row) {
    if (row >= 0) List().Select(static_cast<std::size_t>(row));
    log.Click("txtLog", row);
  }
  DialogWorld world;
  const std::string lines = "12/5/2026 1:05:09 PM - http://ads.example/a\r\n"
                            "12/5/2026 1:05:10 PM - http://pop.example/caf\xe9\r\n"
                            "12/5/2026 1:05:11 PM - about:blank\r\n";
};

TEST_F(LogTest, TheCountIsTheNumberOfLogLinesAndTheNewestAreShown) {
  EXPECT_EQ((*Open())["Label7"].Caption, "0");
  world.forms.Unload("frmLog");
  world.WriteFile("url.log", lines);
  auto log = Open();
  EXPECT_EQ((*log)["Label7"].Caption, "3");
  EXPECT_EQ(List().rows, 3u);
  EXPECT_EQ(List().shown, 2u);
  EXPECT_EQ(log->RowText(1), "12/5/2026 1:05:10 PM - http://pop.example/café") << "the system code page's letters";
  EXPECT_EQ(log->Caption, "Logs");
  log->Click("cmdClearLog", -1);
  EXPECT_EQ(world.ReadFile("url.log"), "");
  EXPECT_EQ((*log)["Label7"].Caption, "0");
  EXPECT_EQ(List().rows, 0u);
}

TEST_F(LogTest, ALastLineWithoutALineBreakIsShownButNotCounted) {
  world.WriteFile("url.log", lines + "12/5/2026 1:05:12 PM - http://half.example/x");
  auto log = Open();
  EXPECT_EQ((*log)["Label7"].Caption, "3");
  EXPECT_EQ(List().rows, 4u);
  ClickRow(*log, 3);
  EXPECT_EQ(log->SelectedLine, "12/5/2026 1:05:12 PM - http://half.example/x") << "no line break to add";
  log->Click("cmdAddtoTrusted", -1);
  EXPECT_EQ(world.state.gblTrust, std::vector<std::string>{"half.example"});
}

TEST_F(LogTest, RefreshAfterTheLogGrewShowsTheNewLines) {
  world.WriteFile("url.log", lines);
  auto log = Open();
  AppendToFile(world.File("url.log"), "12/5/2026 1:06:00 PM - http://new.example/\r\n");
  log->Click("cmdRefreshLog", -1);
  EXPECT_EQ((*log)["Label7"].Caption, "4");
  EXPECT_EQ(log->RowText(3), "12/5/2026 1:06:00 PM - http://new.example/");
  EXPECT_EQ(List().shown, 3u);
}

// The rows are read through a cached block of the file, which must not outlive the lines it held.
TEST_F(LogTest, AfterClearLogsAndNewPopupsRefreshShowsAndTrustsOnlyTheNewLines) {
  world.WriteFile("url.log", lines);
  auto log = Open();
  EXPECT_EQ(log->RowText(0), "12/5/2026 1:05:09 PM - http://ads.example/a");
  log->Click("cmdClearLog", -1);
  AppendToFile(world.File("url.log"), "12/5/2026 1:07:00 PM - http://fresh.example/x\r\n");
  log->Click("cmdRefreshLog", -1);
  EXPECT_EQ((*log)["Label7"].Caption, "1");
  EXPECT_EQ(log->RowText(0), "12/5/2026 1:07:00 PM - http://fresh.example/x");
  ClickRow(*log, 0);
  log->Click("cmdAddtoTrusted", -1);
  EXPECT_EQ(world.state.gblTrust, std::vector<std::string>{"fresh.example"});
}

TEST_F(LogTest, AddToTrustedTakesTheHostOnceAndReachesAnOpenTrustedSitesList) {
  world.WriteFile("url.log", lines);
  auto sites = world.Open<frmTrustedSites>("frmTrustedSites");
  auto log = Open();
  EXPECT_FALSE((*log)["cmdAddtoTrusted"].Enabled);
  ClickRow(*log, 0);
  EXPECT_EQ(log->SelectedLine, "12/5/2026 1:05:09 PM - http://ads.example/a\r\n");
  EXPECT_TRUE((*log)["cmdAddtoTrusted"].Enabled);
  log->Click("cmdAddtoTrusted", -1);
  EXPECT_EQ(world.state.gblTrust, std::vector<std::string>{"ads.example"});
  EXPECT_EQ((*sites)["lstHosts"].Items, std::vector<std::string>{"ads.example"});
  EXPECT_FALSE((*log)["cmdAddtoTrusted"].Enabled);
  ClickRow(*log, 0);
  log->Click("cmdAddtoTrusted", -1);
  ASSERT_EQ(world.messages.shown.size(), 1u);
  EXPECT_EQ(world.messages.shown[0].text, "Domain ads.example is already a trusted site");
  EXPECT_EQ(world.state.gblTrust.size(), 1u);

  ClickRow(*log, 1);
  log->Click("cmdAddtoTrusted", -1);
  EXPECT_EQ(world.state.gblTrust.back(), "pop.example");
  ClickRow(*log, -1);  // below the last line
  EXPECT_FALSE((*log)["cmdAddtoTrusted"].Enabled);
  log->Click("cmdAddtoTrusted", -1);
  EXPECT_EQ(world.messages.shown.back().text, "Can't add to domain list");
}

// file:///C:/x.html has no host; an empty entry would trust nothing (or, as it once did,
// every page), so it is refused like a line without an address.
TEST_F(LogTest, AnAddressWithoutAHostIsNotAddedAndTheHostItAddsIsTrusted) {
  world.WriteFile("url.log", "12/5/2026 1:05:09 PM - file:///C:/x.html\r\n"
                             "12/5/2026 1:05:10 PM - http://example.com/page\r\n");
  auto log = Open();
  ClickRow(*log, 0);
  log->Click("cmdAddtoTrusted", -1);
  EXPECT_EQ(world.messages.shown.back().text, "Can't add to domain list");
  EXPECT_TRUE(world.state.gblTrust.empty());
  EXPECT_FALSE(IsTrustedUrl(world.state.gblTrust, "http://ads.example/"));
  ClickRow(*log, 1);
  log->Click("cmdAddtoTrusted", -1);
  EXPECT_EQ(world.state.gblTrust, std::vector<std::string>{"example.com"});
  EXPECT_TRUE(IsTrustedUrl(world.state.gblTrust, "http://example.com/"));
  EXPECT_TRUE(IsTrustedUrl(world.state.gblTrust, "http://example.com/other?x=1"));
  EXPECT_FALSE(IsTrustedUrl(world.state.gblTrust, "http://notexample.com/"));
}

TEST_F(LogTest, UpArrowSelectsTheLineAboveAndDoubleClickOpensTheAddress) {
  world.WriteFile("url.log", lines);
  auto log = Open();
  log->ControlKeyDown("txtLog", kKeyUp);
  EXPECT_EQ(log->SelectedLine, "12/5/2026 1:05:11 PM - about:blank\r\n") << "none selected: the last line";
  log->ControlKeyDown("txtLog", 40);
  EXPECT_EQ(List().selected, 2u) << "Down does nothing";
  ClickRow(*log, 0);
  log->ControlKeyDown("txtLog", kKeyUp);
  EXPECT_EQ(log->SelectedLine, "12/5/2026 1:05:09 PM - http://ads.example/a\r\n") << "the first stays";

  log->DoubleClick("txtLog", 0);
  ASSERT_EQ(world.launcher.started.size(), 1u);
  EXPECT_EQ(world.launcher.started[0].commandLine, " \"http://ads.example/a\"");
  EXPECT_EQ(log->SelectedLine, "12/5/2026 1:05:09 PM - http://ads.example/a");
}

TEST(TrustedSites, TheListMirrorsTheMasterListThroughAddAndRemove) {
  DialogWorld world;
  world.state.gblTrust = {"alpha", "beta", "gamma"};
  auto sites = world.Open<frmTrustedSites>("frmTrustedSites");
  Control& list = (*sites)["lstHosts"];
  EXPECT_EQ(list.Items, world.state.gblTrust);
  EXPECT_FALSE((*sites)["cmdRemoveSite"].Enabled);
  list.ListIndex = 2;
  sites->Click("lstHosts", -1);
  EXPECT_TRUE((*sites)["cmdRemoveSite"].Enabled);
  sites->Click("cmdRemoveSite", -1);
  EXPECT_EQ(world.state.gblTrust, (std::vector<std::string>{"alpha", "beta"}));
  EXPECT_EQ(list.Items, world.state.gblTrust);
  sites->Click("cmdRemoveSite", -1);
  EXPECT_EQ(world.state.gblTrust.size(), 2u) << "no selection, nothing removed";

  sites->Click("cmdAddSite", -1);
  EXPECT_EQ(world.modalShown, std::vector<std::string>{"frmAdd"});
  auto add = world.forms.Get<frmAdd>("frmAdd");
  ASSERT_TRUE(add);
  (*add)["txtsite"].Text = "beta";
  add->Click("cmdOK", -1);
  EXPECT_FALSE(world.forms.Find("frmAdd")) << "closed after adding";
  EXPECT_EQ(list.Items, (std::vector<std::string>{"alpha", "beta", "beta"})) << "a name already there is added again";
  EXPECT_EQ(list.Items, world.state.gblTrust);
}

TEST(TrustedSites, ABlankNameIsRefusedInTheChosenLanguage) {
  DialogWorld world;
  world.state.LangOffset = kSpanish;
  world.Open<frmTrustedSites>("frmTrustedSites");
  auto add = world.Open<frmAdd>("frmAdd");
  (*add)["txtsite"].Text = "   ";
  add->Click("cmdOK", -1);
  ASSERT_EQ(world.messages.shown.size(), 1u);
  EXPECT_EQ(world.messages.shown[0].text, "Nombre de Domínio Inválido");
  EXPECT_EQ((*add)["txtsite"].Text, "   ");
  EXPECT_TRUE(world.forms.Find("frmAdd"));
  EXPECT_TRUE(world.state.gblTrust.empty());
}

TEST(About, TheVersionLineAndTheLinks) {
  DialogWorld world;
  auto about = world.Open<FrmAbout>("FrmAbout");
  EXPECT_EQ((*about)["lblVersion"].Caption, "Version 3.0.80");
  for (const char* link : {"Label5", "label8", "Label9"}) about->Click(link, -1);
  EXPECT_EQ(world.launcher.started.at(0).commandLine, " \"http://www.quellbox.example\"");
  EXPECT_EQ(world.launcher.shellOpened, (std::vector<std::string>{"mailto:sales@quellbox.example",
                                                                  "mailto:support@quellbox.example"}));
  about->Click("cmdOk", -1);
  EXPECT_FALSE(world.forms.Find("FrmAbout"));
}

TEST(DialogTexts, EveryDialogIsTranslatedInEveryLanguage) {
  for (int language : {kEnglish, kPortuguese, kSpanish, kFrench}) {
    DialogWorld world;
    world.state.LangOffset = language;
    for (const char* name : {"frmOptions", "frmLog", "frmTrustedSites", "frmAdd", "FrmAbout"}) {
      auto dialog = world.forms.Load(name);
      ASSERT_TRUE(dialog) << name;
      EXPECT_EQ(dialog->Caption.find("XXX"), std::string::npos) << name << " in " << language;
      for (const Control& c : dialog->Controls)
        EXPECT_EQ(c.Caption.find("XXX"), std::string::npos) << name << "." << c.Name << " in " << language;
    }
  }
}

}  // namespace
}  // namespace quellbox
