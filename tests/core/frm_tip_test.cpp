// The window's behaviour where no run of the program reaches it: its handlers' errors, a root
// folder, and the load offered to callers. The runs of each system check the rest.
#include <gtest/gtest.h>

#include <new>
#include <string>
#include <vector>

#include "support/fake_platform.h"
#include "window/frmTip.h"

namespace farlous {
namespace {

using Texts = std::vector<std::string>;

// An error out of a handler is reported in French and ends the run with status 1.
TEST(FrmTipTest, HandlerErrorsEndTheRun) {
    for (const auto click : {&frmTip::cmdNextTip_Click, &frmTip::cmdAbout_Click}) {
        testing::FakePlatform platform;
        platform.files["/programme/FARLOUS.TXT"] = "un";
        frmTip form(platform);
        form.Form_Load();
        platform.failure = std::make_exception_ptr(std::bad_alloc());
        (form.*click)();
        EXPECT_EQ(platform.shown, Texts{"Erreur : Mémoire insuffisante."});
        EXPECT_FALSE(form.IsLoaded());
        EXPECT_EQ(form.ExitStatus(), 1);
    }
}

// The jokes file is the program's folder, one separator and its name, a root folder included;
// another file loaded later adds its jokes and shows one at once.
TEST(FrmTipTest, RootFolderAndLaterLoads) {
    testing::FakePlatform platform;
    platform.folder = "/";
    platform.files["//FARLOUS.TXT"] = "racine";
    platform.files["/autre"] = "deux";
    platform.draws = {0.0f, 0.9f};
    frmTip form(platform);
    form.Form_Load();
    EXPECT_EQ(form.TipText(), "racine");
    EXPECT_TRUE(form.LoadTips("/autre"));
    EXPECT_EQ(form.TipText(), "deux");
}

}  // namespace
}  // namespace farlous
