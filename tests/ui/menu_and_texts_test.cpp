#include <gtest/gtest.h>

#include <set>

#include "support/sim_world.h"
#include "ui/form.h"
#include "ui/html_help.h"
#include "ui/menu_form.h"
#include "ui/strings.h"

namespace quellbox {
namespace {

using testing::SimWorld;

TEST(Language, TheLowByteOfTheUserLanguagePicksTheBlock) {
  EXPECT_EQ(SelectLanguage(0x0416, 0x0409), kPortuguese);
  EXPECT_EQ(SelectLanguage(0x0816, 0x0409), kPortuguese);
  EXPECT_EQ(SelectLanguage(0x0C0A, 0x0409), kSpanish);
  EXPECT_EQ(SelectLanguage(0x0C0C, 0x0409), kFrench);
  EXPECT_EQ(SelectLanguage(0x0409, 0x040C), kEnglish);
  EXPECT_EQ(SelectLanguage(0x0407, 0x040C), kEnglish) << "German falls back to English";
  EXPECT_EQ(SelectLanguage(0x0400, 0x040C), kFrench) << "a low byte of 0 falls through";
  EXPECT_EQ(SelectLanguage(0x0000, 0x0416), kPortuguese);
}

// Every English identifier a window or the menu shows, and the tooltips of the English block.
const std::set<int> kCaptionIds = {101, 102, 103, 104, 105, 106, 107, 108, 300, 301, 302, 303,
                                   304, 305, 306, 307, 308, 309, 310, 311, 312, 313, 314, 315,
                                   317, 318, 319, 320, 321, 322, 326, 327, 400, 401, 403, 404,
                                   406, 407, 500, 501, 503, 504, 505, 506, 704};
const std::set<int> kTooltipIds = {155, 351, 353, 354, 355, 357, 358, 359, 361, 362,
                                   363, 367, 368, 371, 372, 379, 381};

TEST(StringTable, EveryCaptionExistsInAllFourLanguagesAndTooltipsOnlyInEnglish) {
  for (int base : {kEnglish, kPortuguese, kSpanish, kFrench}) {
    for (int id : kCaptionIds) {
      auto text = StringEntry(id + base);
      ASSERT_TRUE(text.has_value()) << id + base;
      EXPECT_FALSE(text->empty()) << id + base;
    }
  }
  for (int id : StringIds()) {
    int english = id % 1000;
    bool known = kCaptionIds.count(english) || kTooltipIds.count(english) || english == 0 || id == 100;
    EXPECT_TRUE(known) << "unexpected entry " << id;
    if (id >= 1000) {
      EXPECT_FALSE(kTooltipIds.count(english)) << "tooltip outside English: " << id;
    }
  }
}

// What the user reads: the English captions and tooltips, word for word.
TEST(StringTable, EnglishTextsAreTheProgramsOwn) {
  const std::pair<int, const char*> texts[] = {
      {100, "=========== English"}, {1000, "============ portuguese"}, {2000, "========== spanish"},
      {3000, "====== French"}, {101, "About"}, {102, "Web Site"}, {103, "Sales"}, {104, "Support"},
      {105, "OK"}, {155, "Click to continue"}, {106, "Help"}, {107, "Version"},
      {108, "for Internet Explorer"}, {300, "Quellbox Options"}, {301, "Options"},
      {351, "Option and information about the program"}, {302, "Lifetime closed popup windows:"},
      {303, "Start Quellbox at windows startup"},
      {353, "The program will start automaticaly every time the windows starts or a new user logs in."},
      {304, "Keep log of pages with popup ads"}, {354, "The program will keep logs of all closed windows"},
      {305, "Temporarily disable Quellbox by holding down"},
      {355, "The disable keys. If checked the program will allow you to temporarily disable it (while the key is pressed)."},
      {306, "Notification"}, {307, "No Sound"},
      {357, "The program will emit no sound when a popup window is closed"}, {308, "Beep via PC Speaker"},
      {358, "The program will beep through the PC speaker when a popup window is closed"},
      {309, "Play Wave Sound File"},
      {359, "The program will play a pre-selected wave file everytime a popup window is closed"},
      {310, "Playing File:"}, {311, "Get Sound File..."},
      {361, "Click to choose a wave file to play when a popup window is closed"}, {312, "Test"},
      {362, "Click to test the wave file"}, {313, "Close"}, {363, "Click to close this window"}, {314, "Help"},
      {315, "General"}, {317, "Add Site"}, {367, "Click to add a site to your trusted list"},
      {318, "Remove Site"}, {368, "Click to remove the selected site from your trusted list"},
      {320, "Log of URL's that attempted to open popup windows. Total in this list:"}, {321, "Refresh Log"},
      {371, "Click to reload the latest URL list"}, {322, "Clear Logs"}, {372, "Click to erase the URL log list"},
      {326, "Trusted Sites"}, {327, "Logs"},
      {379, "This are your trusted sites. Every time you visit any in this list the program will not close any popup window"},
      {381, "The key to use as disable mechanism"}, {400, "Enabled"}, {401, "Options"}, {403, "About"},
      {404, "Help"}, {406, "Exit"}, {407, "Check for new version..."}, {500, "Add to thrustworthy hosts list"},
      {501, "Domain Name"}, {504, "OK"}, {505, "Cancel"}, {506, "Help"}, {704, "Invalid Domain Name"},
      {1401, "Opções"}, {2401, "Opciones "}, {3401, "Options"}, {1704, "Incorrecto Nome de Domain"},
      {2704, "Nombre de Domínio Inválido"}, {3704, "Nom de Domaine Invalide"}};
  for (const auto& [id, text] : texts) EXPECT_EQ(StringEntry(id), text) << id;
  EXPECT_TRUE(StringEntry(319)->starts_with("QuellBOX allows you to define trustworthy sites."));
  EXPECT_TRUE(StringEntry(503)->starts_with("In the Domain Name field  type the domain name only"));
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
  void ModIcon(TrayImage image) override { images.push_back(image); }
  void ShowForm(const std::string& name) override { forms.push_back(name); }
  void ShowHelpContents() override { ++helps; }
  void UnloadAllForms() override { ++unloads; }
  std::vector<TrayImage> images;
  std::vector<std::string> forms;
  int helps = 0, unloads = 0;
};

TEST(Menu, ItemsComeInOrderTranslatedWithForumUnchanged) {
  SimWorld world;
  HostRecorder host;
  world.state.LangOffset = kFrench;
  frmMenu menu(world.services, world.state, host);
  menu.Form_Load();
  std::vector<std::string> names, captions;
  for (const auto& item : menu.Items()) {
    names.push_back(item.name);
    captions.push_back(item.caption);
  }
  EXPECT_EQ(names, (std::vector<std::string>{"mKiller", "mnuOptions", "mnuLog", "mnuTrustedSites",
                                             "hsep", "mCheckNewVersion", "hsep2", "mnuForum",
                                             "mAbout", "mHelp", "hsep1", "mExit"}));
  EXPECT_EQ(captions, (std::vector<std::string>{"Activé", "Options", "Journaux", "Sites de confiance",
                                                "-", "Rechercher une nouvelle version...", "-",
                                                "Forum", "À propos", "Aide", "-", "Quitter"}));
  EXPECT_TRUE(menu.Items()[0].checked);
  EXPECT_TRUE(menu.Items()[4].separator);
}

TEST(Menu, CommandsReachTheirWindowsHelpAndPages) {
  SimWorld world;
  HostRecorder host;
  world.state.settings.Affiliate = "D123\r\n";
  frmMenu menu(world.services, world.state, host);
  for (const char* item : {"mnuOptions", "mnuLog", "mnuTrustedSites", "mAbout", "mHelp"}) menu.Click(item);
  EXPECT_EQ(host.forms, (std::vector<std::string>{"frmOptions", "frmLog", "frmTrustedSites", "FrmAbout"}));
  EXPECT_EQ(host.helps, 1);

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
