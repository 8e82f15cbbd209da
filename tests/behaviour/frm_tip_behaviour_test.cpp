// The window's behaviour and the run's start, whatever toolkit draws the window.
#include <gtest/gtest.h>

#include <algorithm>
#include <new>
#include <optional>
#include <stdexcept>

#include "shell/load_window.h"
#include "support/fake_platform.h"
#include "window/frmTip.h"

namespace farlous {
namespace {

using namespace std::string_literals;
using Lines = std::vector<std::string>;

const char* const kJokesPath = "/programme/FARLOUS.TXT";
const std::string kMissingFileText =
    "Si vous lisez ce texte, c'est que vous n'avez pas encore le fichier farlous.txt Pour avoir "
    "ce fichier, téléchargez le sur http://www.glimbo.example/ et décompressez le dans le dossier "
    "où vous avez installé ce programme (ex : C:/FARLOUS/). Dans le dossier où vous avez installé "
    "le programme, cliquez sur FARLOUS.EXE avec le bouton droit et créez un raccourci que vous "
    "allez placer dans C:/WINDOWS/MENU DEMARRER/PROGRAMMES/DEMARRAGE/";
const std::string kAboutText =
    "Ce programme vous est offert par Glimbo, Webzine d'humour fait par des cons, pour des cons, "
    "disponible sur http://www.glimbo.example/ (textes, dessins et programme : la joyeuse équipe "
    "de rédaction de Glimbo) Pour avoir plus de farlous, téléchargez la dernière version du "
    "fichier farlous.txt sur http://www.glimbo.example/ Vous pouvez distribuer ce programme "
    "librement, tant que vous mentionnez l'URL d'où il provient: http://www.glimbo.example/ Vous "
    "pouvez vous rendre à cet URL pour y lire Glimbo, Webzine mensuel.";

struct Window {
    testing::FakePlatform platform;
    testing::FakeFace face;
    frmTip form{platform, face};
};

struct StartRow {
    const char* name;
    const char* setting;            // nullptr: none stored
    const char* jokes;              // nullptr: no jokes file
    std::optional<int> exitStatus;  // nothing: the window shows
    Lines shown;                    // the joke label's texts, then after a click on "next"
    std::string report = "";        // the error reported; empty: none
};

const StartRow kStarts[] = {
    {"NoSettingShowsAJoke", nullptr, "Une blague", std::nullopt, {"Une blague", "Une blague"}},
    {"ZeroEndsTheRunUnseen", "0", "Une blague", 0, {}},
    {"ZeroOnceRounded", " 0,5 ", "Une blague", 0, {}},
    {"NegativeShows", "-1", "Une blague", std::nullopt, {"Une blague", "Une blague"}},
    {"NotANumberEndsInError", "abc", "Une blague", 1, Lines(),
     "Type incompatible : « abc » n'est pas un nombre."},
    {"NoJokesFileExplainsAndNextKeepsIt", "1", nullptr, std::nullopt, {kMissingFileText}},
    {"EmptyJokesFileLeavesTheLabelBlank", nullptr, "", std::nullopt, {}},
};

class StartTest : public ::testing::TestWithParam<StartRow> {};

TEST_P(StartTest, ShowsTheWindowOrEndsTheRun) {
    const StartRow& row = GetParam();
    Window w;
    if (row.setting) w.platform.settings["FARLOUS/Options/Show Tips at Startup"] = row.setting;
    if (row.jokes) w.platform.files[kJokesPath] = row.jokes;
    EXPECT_EQ(LoadWindow(w.form, w.platform), row.exitStatus);
    if (!row.exitStatus) w.form.cmdNextTip_Click();
    EXPECT_EQ(w.face.shown, row.shown);
    EXPECT_EQ(w.platform.messages, row.report.empty() ? Lines() : Lines{row.report});
    // Only a window that shows seeds the generator and looks for its jokes beside the program.
    const int shows = row.exitStatus ? 0 : 1;
    EXPECT_EQ(std::ranges::count(w.platform.calls, "Randomize"), shows);
    EXPECT_EQ(std::ranges::count(w.platform.calls, "Dir "s + kJokesPath), shows);
    EXPECT_EQ(w.form.IsLoaded(), row.exitStatus != 0);
    EXPECT_EQ(w.face.unloaded, row.exitStatus == 0);
}

INSTANTIATE_TEST_SUITE_P(Settings, StartTest, ::testing::ValuesIn(kStarts), testing::RowName());

struct ClickRow {
    const char* name;
    void (frmTip::*click)();
    std::exception_ptr error;  // raised by the runtime services the click uses
    std::string message;       // shown or reported; empty: none
    bool unloaded;
    int endStatus;
};

const ClickRow kClicks[] = {
    {"AboutTellsWhoOffersTheProgram", &frmTip::cmdAbout_Click, nullptr, kAboutText, false, -1},
    {"OkUnloadsTheWindow", &frmTip::cmdOK_Click, nullptr, "", true, -1},
    {"NextOutOfMemory", &frmTip::cmdNextTip_Click, std::make_exception_ptr(std::bad_alloc()),
     "Mémoire insuffisante.", false, 1},
    {"AboutFailing", &frmTip::cmdAbout_Click,
     std::make_exception_ptr(RuntimeError(RuntimeError::Kind::FileRead, "Erreur de lecture")),
     "Erreur de lecture", false, 1},
    {"NextUnexpected", &frmTip::cmdNextTip_Click, std::make_exception_ptr(std::logic_error("x")),
     "Erreur inattendue : x", false, 1},
    {"AboutUnknown", &frmTip::cmdAbout_Click, std::make_exception_ptr(42), "Erreur inattendue.",
     false, 1},
};

class ClickTest : public ::testing::TestWithParam<ClickRow> {};

// An error out of a handler is reported and ends the run with status 1.
TEST_P(ClickTest, DoesItsJob) {
    Window w;
    w.platform.files[kJokesPath] = "Une blague";
    w.form.Form_Load();
    w.platform.failure = GetParam().error;
    (w.form.*GetParam().click)();
    EXPECT_EQ(w.platform.messages,
              GetParam().message.empty() ? Lines() : Lines{GetParam().message});
    EXPECT_EQ(w.face.unloaded, GetParam().unloaded);
    EXPECT_EQ(w.form.IsLoaded(), !GetParam().unloaded);
    EXPECT_EQ(w.face.endStatus, GetParam().endStatus);
}

INSTANTIATE_TEST_SUITE_P(Buttons, ClickTest, ::testing::ValuesIn(kClicks), testing::RowName());

}  // namespace
}  // namespace farlous
