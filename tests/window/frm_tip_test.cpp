#include <QAccessible>
#include <QPushButton>
#include <QTest>

#include "platform/runtime_error.h"
#include "support/fake_platform.h"
#include "window/access_key_label.h"
#include "window/fixed_texts.h"
#include "window/frmTip.h"
#include "window/picture_box.h"

using farlous::AccessKeyLabel;
using farlous::frmTip;
using farlous::RuntimeError;
using farlous::testing::FakePlatform;
using Calls = std::vector<std::string>;

namespace {

const char* const kSettingKey = "FARLOUS/Options/Show Tips at Startup";
const char* const kJokesPath = "/programme/FARLOUS.TXT";

QString Shown(const frmTip& window) { return window.lblTipText->caption(); }

std::size_t Occurrences(const std::string& text, const std::string& part) {
    std::size_t count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++count;
    return count;
}

}  // namespace

class FrmTipTest : public QObject {
    Q_OBJECT

private slots:
    void settingZeroEndsBeforeAnythingElse() {
        for (const char* zero : {"0", " 0 ", "0.4", "-0.5", "&H0"}) {
            FakePlatform platform;
            platform.settings[kSettingKey] = zero;
            platform.files[kJokesPath] = "blague";
            frmTip window(platform);
            window.Form_Load();
            QVERIFY2(!window.IsLoaded(), zero);
            QCOMPARE(platform.calls, (Calls{"GetSetting FARLOUS/Options/Show Tips at Startup"}));
        }
    }

    void anyOtherNumberShowsAJoke() {
        for (const char* show : {"", "1", "-1", "7", "0.5001", "&HFFFFFFFF"}) {
            FakePlatform platform;
            if (*show != '\0') platform.settings[kSettingKey] = show;
            platform.files[kJokesPath] = "Une blague";
            frmTip window(platform);
            window.Form_Load();
            QVERIFY(window.IsLoaded());
            QCOMPARE(platform.calls[1], std::string("Randomize"));
            QCOMPARE(platform.calls[3], std::string("Dir ") + kJokesPath);
            QCOMPARE(Shown(window), QString("Une blague"));
        }
    }

    void settingThatIsNoNumberIsThrown() {
        for (const char* bad : {"abc", "2147483648", "1e10"}) {
            FakePlatform platform;
            platform.settings[kSettingKey] = bad;
            frmTip window(platform);
            QVERIFY_THROWS_EXCEPTION(RuntimeError, window.Form_Load());
            QCOMPARE(platform.calls.size(), std::size_t(1));  // not even seeded
        }
    }

    void missingFileExplainsAndNextJokeKeepsTheExplanation() {
        FakePlatform platform;
        frmTip window(platform);
        window.Form_Load();
        const QString missing = QString::fromStdString(farlous::MissingFileText());
        QCOMPARE(Shown(window), missing);
        QTest::mouseClick(window.cmdNextTip, Qt::LeftButton);
        QCOMPARE(platform.calls.back(), std::string("Rnd"));
        QCOMPARE(Shown(window), missing);
    }

    void emptyFileLeavesTheLabelBlank() {
        FakePlatform platform;
        platform.files[kJokesPath] = "";
        frmTip window(platform);
        window.Form_Load();
        QVERIFY(Shown(window).isEmpty());
    }

    void pathKeepsTheSeparatorAfterARootFolder() {
        FakePlatform platform;
        platform.folder = "/";
        platform.files["//FARLOUS.TXT"] = "racine";
        frmTip window(platform);
        window.Form_Load();
        QCOMPARE(platform.calls[4], std::string("Open 1 //FARLOUS.TXT"));
        QCOMPARE(Shown(window), QString("racine"));
    }

    void nextJokeDrawsAgain() {
        FakePlatform platform;
        platform.files[kJokesPath] = "un\ndeux\ntrois";
        platform.draws = {0.0f, 0.9f, 0.5f};
        frmTip window(platform);
        window.Form_Load();
        QCOMPARE(Shown(window), QString("un"));
        QTest::mouseClick(window.cmdNextTip, Qt::LeftButton);
        QCOMPARE(Shown(window), QString("trois"));
        QTest::mouseClick(window.cmdNextTip, Qt::LeftButton);
        QCOMPARE(Shown(window), QString("deux"));
    }

    void aboutShowsTheAboutText() {
        FakePlatform platform;
        frmTip window(platform);
        QTest::mouseClick(window.cmdAbout, Qt::LeftButton);
        QCOMPARE(platform.messages, (Calls{farlous::AboutText()}));
        QVERIFY(window.IsLoaded());
    }

    void fixedTextsNameTheAddressAsDesigned() {
        const std::string about = farlous::AboutText();
        const std::string missing = farlous::MissingFileText();
        QCOMPARE(Occurrences(about, farlous::kPublisherAddress), std::size_t(3));
        QCOMPARE(Occurrences(missing, farlous::kPublisherAddress), std::size_t(1));
        QVERIFY(missing.ends_with("DEMARRAGE/"));
        QVERIFY(about.find('\n') == std::string::npos && missing.find('\n') == std::string::npos);
        QCOMPARE(farlous::WindowCaption(), std::string("Glimbo http://www.glimbo.example"));
    }

    void keysActLikeTheButtons() {
        struct Case {
            const char* focus;
            Qt::Key key;
            bool closes;
        };
        for (const Case& c :
             {Case{"cmdOK", Qt::Key_Return, true}, Case{"Picture1", Qt::Key_Return, true},
              Case{"Picture2", Qt::Key_Enter, true}, Case{"cmdAbout", Qt::Key_Escape, true},
              Case{"cmdNextTip", Qt::Key_Return, false}, Case{"cmdAbout", Qt::Key_Return, false}}) {
            FakePlatform platform;
            frmTip window(platform);
            window.show();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            QWidget* focus = window.findChild<QWidget*>(c.focus);
            focus->setFocus();
            QTest::keyClick(focus, c.key);
            QCOMPARE(window.IsLoaded(), !c.closes);
            QCOMPARE(window.isVisible(), !c.closes);
            if (!c.closes) QVERIFY(!platform.messages.empty() || platform.calls.back() == "Rnd");
        }
    }

    void assistiveToolsReadEveryControlAndEachNewJoke() {
        const auto text = [](QWidget* control, QAccessible::Text kind) {
            return QAccessible::queryAccessibleInterface(control)->text(kind);
        };

        FakePlatform platform;
        platform.files[kJokesPath] = "Dupont && Fils\nLa suite";
        platform.draws = {0.0f, 0.9f};
        frmTip window(platform);
        window.Form_Load();
        for (QWidget* control : window.findChildren<QWidget*>()) {
            if (!control->objectName().isEmpty()) {
                QVERIFY2(!text(control, QAccessible::Name).isEmpty(),
                         qPrintable(control->objectName()));
            }
        }
        QCOMPARE(text(window.cmdNextTip, QAccessible::Name), QString("Blague suivante"));
        QCOMPARE(text(window.lblTipText, QAccessible::Name), QString("Dupont & Fils"));
        QCOMPARE(QAccessible::queryAccessibleInterface(window.lblTipText)->role(),
                 QAccessible::StaticText);
        QVERIFY(text(window.Picture2, QAccessible::Description).contains("Glimbo"));

        QTest::mouseClick(window.cmdNextTip, Qt::LeftButton);
        QCOMPARE(text(window.lblTipText, QAccessible::Name), QString("La suite"));
    }

    void opensWithTheFocusOnOk() {
        FakePlatform platform;
        frmTip window(platform);
        window.show();
        QVERIFY(QTest::qWaitForWindowActive(&window));
        QCOMPARE(QApplication::focusWidget(), static_cast<QWidget*>(window.cmdOK));
        QVERIFY(window.cmdOK->isDefault());
        QCOMPARE(window.windowTitle(), QString("Glimbo http://www.glimbo.example"));
    }
};

QTEST_MAIN(FrmTipTest)
#include "frm_tip_test.moc"
