#include <gtest/gtest.h>

#include <map>

#include "support/sim_world.h"
#include "ui/form.h"
#include "ui/html_help.h"
#include "ui/menu_form.h"
#include "ui/strings.h"

namespace quellbox {
namespace {

using testing::SimWorld;

TEST(Language, TheLowByteOfTheUserLanguagePicksTheBlock) {
  const struct {
    std::uint16_t user, system;
    int block;
  } table[] = {{0x0416, 0x0409, kPortuguese}, {0x0816, 0x0409, kPortuguese}, {0x0C0A, 0x0409, kSpanish},
               {0x0C0C, 0x0409, kFrench},     {0x0409, 0x040C, kEnglish},
               {0x0407, 0x040C, kEnglish},  // German falls back to English
               {0x0400, 0x040C, kFrench},   // a low byte of 0 falls through
               {0x0000, 0x0416, kPortuguese}};
  for (const auto& row : table) EXPECT_EQ(SelectLanguage(row.user, row.system), row.block) << std::hex << row.user;
}

// A broken table shows in the size of a language's block (every caption in all four, tooltips
// only in English) or in a few samples, accents included.
TEST(StringTable, EachLanguageHasItsCaptionsAndEnglishItsTooltips) {
  std::map<int, int> perBlock;
  for (int id : StringIds()) ++perBlock[id / 1000];
  EXPECT_EQ(perBlock, (std::map<int, int>{{0, 71}, {1, 53}, {2, 53}, {3, 53}}));
  const std::pair<int, const char*> samples[] = {
      {101, "About"}, {353, "The program will start automaticaly every time the windows starts or a new user logs in."},
      {1401, "Opções"}, {2704, "Nombre de Domínio Inválido"}, {3704, "Nom de Domaine Invalide"}};
  for (const auto& [id, text] : samples) EXPECT_EQ(StringEntry(id), text) << id;
}

TEST(LocalizeForm, MissingEntriesLeaveThePropertyAsItWas) {
  Form form;
  form.Tag = "300";
  form.Caption = "built-in title";
  form.Add({.Name = "chkStartup", .Tag = "303", .Caption = "XXXX", .ToolTipText = "built-in tip"});
  form.Add({.Name = "cmdAddtoTrusted", .Tag = "801", .Caption = "Add to Trusted Sites"});
  form.Add({.Name = "untagged", .Caption = "Stop Adware/Spyware Windows"});
  form.Add({.Name = "lstHosts", .Tag = "329", .HasCaption = false});
  auto french = [](int id) { return TextOf(id, kFrench); };
  LocalizeForm(form, french);
  EXPECT_EQ(form.Caption, "Options de Quellbox");
  EXPECT_EQ(form["chkStartup"].Caption, "Lancer Quellbox au démarrage de Windows");
  EXPECT_EQ(form["chkStartup"].ToolTipText, "built-in tip") << "no tooltips outside English";
  EXPECT_EQ(form["cmdAddtoTrusted"].Caption, "Add to Trusted Sites");
  EXPECT_EQ(form["untagged"].Caption, "Stop Adware/Spyware Windows");

  auto english = [](int id) { return TextOf(id, kEnglish); };
  LocalizeForm(form, english, false);
  EXPECT_EQ(form.Caption, "Options de Quellbox") << "the title step was left out";
  EXPECT_EQ(form["chkStartup"].ToolTipText, StringEntry(353));
  EXPECT_EQ(form["lstHosts"].ToolTipText, StringEntry(379));
  EXPECT_EQ(form["lstHosts"].Caption, "");
}

struct HostRecorder : MenuHost {
  void ModIcon(TrayImage) override {}
  void ShowForm(const std::string&) override {}
  void ShowHelpContents() override {}
  void UnloadAllForms() override {}
  void TrustedSitesChanged() override {}
};

TEST(Menu, TheSitesPagesCarryTheVersionDistributorAndAStableInstallationToken) {
  SimWorld world;
  HostRecorder host;
  world.state.settings.Affiliate = "D123\r\n";
  frmMenu menu(world.services, world.state, host);
  std::string token = menu.InstallationToken();
  EXPECT_EQ(token.size(), 16u);
  EXPECT_EQ(token, frmMenu(world.services, world.state, host).InstallationToken()) << "stable";
  EXPECT_EQ(menu.NewVersionUrl(), "http://www.quellbox.example/NewVersion.asp?name=Quellbox&version=3080&v=D123%0D%0A&session=" + token);
  EXPECT_EQ(menu.ForumUrl(), "http://www.quellbox.example/Forum/main.asp?name=Quellbox&version=3080&v=D123%0D%0A&session=" + token);
  menu.Click("mnuForum");
  ASSERT_EQ(world.launcher.started.size(), 1u);
  EXPECT_EQ(world.launcher.started[0].commandLine, " \"" + menu.ForumUrl() + "\"");

  SimWorld elsewhere;
  EXPECT_NE(frmMenu(elsewhere.services, elsewhere.state, host).InstallationToken(), token);
}

TEST(Help, ContentsOpenInTheMainWindowAndProblemsAreToldWithTheClassCaption) {
  SimWorld world;
  ShowHelpContents(world.services);
  ASSERT_EQ(world.messages.shown.size(), 1u);
  EXPECT_EQ(world.messages.shown[0].caption, "HTML Help Class");
  EXPECT_EQ(world.messages.shown[0].icon, MessageIcon::Exclamation);
  EXPECT_EQ(world.messages.shown[0].text,
            world.File("Quellbox.chm") + " does not exist.\r\n\r\nPlease make sure the correct path and "
                                         "file name have been specified.");
  EXPECT_TRUE(world.help.calls.empty());

  world.WriteFile("Quellbox.chm", "ITSF");
  ShowHelpContents(world.services);
  EXPECT_EQ(world.help.calls, std::vector<std::string>{"toc " + world.File("Quellbox.chm") + ">Main"});
  ShowContextPopup(world.services, 1309, 0);
  EXPECT_EQ(world.help.calls.back(), "popup " + world.File("Quellbox.chm") + "::/Library.txt 1309");
  world.help.available = false;  // hhctrl.ocx missing: nothing shown, nothing said
  ShowHelpContents(world.services);
  EXPECT_EQ(world.messages.shown.size(), 1u);
}

TEST(Help, AFileWithTheWrongEndingIsReported) {
  SimWorld world;
  world.WriteFile("help.txt", "x");
  HTMLHelp help(world.services);
  help.CHMFile = world.File("help.txt");
  help.HHPopupFile = "Library.doc";
  help.HHDisplayPopup(0);
  ASSERT_EQ(world.messages.shown.size(), 2u);
  EXPECT_EQ(world.messages.shown[0].text, world.File("help.txt") + " is not a valid HTML Help file.");
  EXPECT_EQ(world.messages.shown[1].text,
            "The file specified as the text popup source, 'Library.doc', is not a valid popup file.");
  EXPECT_EQ(world.help.calls.size(), 1u) << "neither message stops the display";
  EXPECT_EQ(help.HHSetHelpFile(1), world.File("Library.chm"));
  EXPECT_EQ(help.HHSetHelpFile(3), "");
}

}  // namespace
}  // namespace quellbox
