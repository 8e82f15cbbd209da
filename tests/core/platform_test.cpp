// The services that need nothing of the system: numbers from settings, draws, error messages.
#include "platform/platform.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/errors.h"
#include "platform/text_to_number.h"
#include "support/fake_platform.h"

namespace farlous {
namespace {

using namespace std::string_literals;

const char* const kNotANumber = "Type incompatible : « %1 » n'est pas un nombre.";
const char* const kOverflow =
    "Dépassement de capacité : « %1 » ne tient pas dans un entier de 32 bits.";

struct NumberRow {
    const char* name;
    std::string result;  // the number, or the error's message with %1 for the text
    std::vector<std::string> texts;
};

const NumberRow kNumbers[] = {
    {"Zero", "0", {",5", "0.5", "-0.5", "&H0", "0e999999999999", "1e-999999999999", "000"}},
    {"One",
     "1",
     {"1.", "0.75", "0.00012345e4", "&H000000001", std::string(5000, '0') + "1",
      "0." + std::string(5000, '0') + "1e5001"}},
    {"HalfToEven", "2", {"1.5", "2.5", "25e-1"}},
    {"NegativeHalfToEven", "-2", {"-1.5", "-2.5"}},
    {"JustAboveHalf", "3", {"2.50000000000000000001", "2.51"}},
    {"BlanksAndSign", "42", {" \t+42\t "}},
    {"Exponent", "1000", {"1E+3", "1e3"}},
    {"AllOnesPattern", "-1", {"&HFFFFFFFF", "&O37777777777"}},
    {"HexadecimalInAnyCase", "171", {"&haB", "&HAb"}},
    {"Octal", "15", {"&o17", "&O17"}},
    {"Largest", "2147483647", {"2147483647", "2147483647.4"}},
    {"Smallest", "-2147483648", {"-2147483648", "-2147483648.5", "&H80000000"}},
    {"Empty", "Type incompatible : un texte vide n'est pas un nombre.", {"", " \t "}},
    {"Malformed",
     kNotANumber,
     {"abc", "1 2", "1e+", "+-1", "0x10", "&H", "&O8", "-&H1", "&X1", "1,2,3", ".", ".e1", "1e5.5",
      "inf", std::string(39, '9') + "x"}},
    {"LongTextCutOnACharacter",
     "Type incompatible : « " + std::string(39, '1') + "… » n'est pas un nombre.",
     {std::string(39, '1') + "éé"}},
    {"ControlsShownAsQuestionMarks",
     "Type incompatible : « 1???[31m??\u00A0 » n'est pas un nombre.",
     {"1\n\0\x1B[31m\x7F\xC2\x85\xC2\xA0"s}},
    {"TypoInAHugeNumber",
     "Type incompatible : « " + std::string(40, '9') + "… » n'est pas un nombre.",
     {std::string(5000, '9') + "x"}},
    {"TypoInALongPattern",
     "Type incompatible : « &H" + std::string(38, 'F') + "… » n'est pas un nombre.",
     {"&H" + std::string(5000, 'F') + "x"}},
    {"LongPatternOverflows",
     "Dépassement de capacité : « &H" + std::string(38, 'F') +
         "… » ne tient pas dans un entier de 32 bits.",
     {"&H" + std::string(5000, 'F')}},
    {"OutOfRange",
     kOverflow,
     {"2147483648", "-2147483649", "2147483647.5", "1e10", "1e999999999999", "&H100000000",
      "&O40000000000", "1e" + std::string(19, '9')}},
};

TEST(TextToNumberTest, Converts) {
    for (const auto& [name, expected, texts] : kNumbers)
        for (const std::string& text : texts) {
            std::string result = expected, converted;
            if (const auto at = result.find("%1"); at != std::string::npos)
                result.replace(at, 2, text);
            try {
                converted = std::to_string(TextToNumber(text));
            } catch (const RuntimeError& error) {
                converted = error.what();
            }
            EXPECT_EQ(converted, result) << name << ": " << text;
        }
}

// Draws on the float grid below 1, each of its 2^24 steps possible.
TEST(RandomTest, DrawsFineStepsBelowOne) {
    testing::FakePlatform platform;  // drawing from the generator, not the fake's draws
    bool oddHighStep = false;
    for (int draw = 0; draw < 1000; ++draw) {
        const float steps = platform.Rnd() * 16777216.0f;
        ASSERT_TRUE(steps >= 0 && steps < 16777216.0f && steps == std::floor(steps)) << steps;
        oddHighStep = oddHighStep || (std::fmod(steps, 2.0f) == 1 && steps >= 8388608);
    }
    EXPECT_TRUE(oddHighStep);
}

// Seeded from the clock's finest ticks: starts a moment apart draw apart.
TEST(RandomTest, SeededAnewAtEachStart) {
    testing::FakePlatform first, second;
    first.Randomize();
    std::this_thread::sleep_for(std::chrono::milliseconds(2));
    second.Randomize();
    EXPECT_NE(std::pair(first.Rnd(), first.Rnd()), std::pair(second.Rnd(), second.Rnd()));
}

// What no run of the program reaches: unexpected errors, a registry that refuses to be read.
TEST(ErrorsTest, ReportedInFrench) {
    const auto describe = [](auto error) {
        return DescribeUnhandledError(std::make_exception_ptr(error));
    };
    EXPECT_EQ(describe(std::logic_error("x")), "Erreur inattendue : x");
    EXPECT_EQ(describe(42), "Erreur inattendue.");
    EXPECT_EQ(describe(errors::TooManyLines()),
              "Mémoire insuffisante : le fichier de blagues a trop de lignes.");
    EXPECT_EQ(describe(errors::SettingUnreadable("Clé", 5)),
              "Impossible de lire le réglage « Clé » (erreur 5).");
}

}  // namespace
}  // namespace farlous
