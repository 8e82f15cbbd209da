#include "platform/text_to_number.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/runtime_error.h"
#include "support/row_name.h"

namespace farlous {
namespace {

using namespace std::string_literals;

const char* const kNotANumber = "Type incompatible : « %1 » n'est pas un nombre.";
const char* const kOverflow =
    "Dépassement de capacité : « %1 » ne tient pas dans un entier de 32 bits.";

struct NumberRow {
    const char* name;
    std::vector<std::string> texts;
    std::string result;  // the number, or the error's message with %1 for the text
};

const NumberRow kNumbers[] = {
    {"Zero", {",5", "0.5", "-0.5", "&H0", "0e999999999999", "1e-999999999999"}, "0"},
    {"One",
     {"1.", "0.00012345e4", "&H000000001", std::string(5000, '0') + "1",
      "0." + std::string(5000, '0') + "1e5001"},
     "1"},
    {"HalfToEven", {"1.5", "2.5", "25e-1"}, "2"},
    {"NegativeHalfToEven", {"-1.5", "-2.5"}, "-2"},
    {"JustAboveHalf", {"2.50000000000000000001"}, "3"},
    {"EitherDecimalMark", {"3,75", "3.5", "35E-1"}, "4"},
    {"BlanksAndSign", {" \t+42\t "}, "42"},
    {"Exponent", {"1E+3", "1e3"}, "1000"},
    {"AllOnesPattern", {"&HFFFFFFFF", "&O37777777777"}, "-1"},
    {"HexadecimalInAnyCase", {"&haB", "&HAb"}, "171"},
    {"Octal", {"&o17", "&O17"}, "15"},
    {"Largest", {"2147483647", "2147483647.4"}, "2147483647"},
    {"Smallest", {"-2147483648", "-2147483648.5", "&H80000000"}, "-2147483648"},
    {"Empty", {"", " \t "}, "Type incompatible : un texte vide n'est pas un nombre."},
    {"BlanksAroundLeftOut", {" abc "}, "Type incompatible : « abc » n'est pas un nombre."},
    {"Malformed",
     {"abc", "1 2", "1e+", "+-1", "0x10", "&H", "&O8", "-&H1", "1,2,3", ".", ".e1", "1e5.5", "inf"},
     kNotANumber},
    {"LongTextCutOnACharacter",
     {std::string(39, '1') + "éé"},
     "Type incompatible : « " + std::string(39, '1') + "… » n'est pas un nombre."},
    {"ControlBytesShownAsQuestionMarks",
     {"1\n\0"s},
     "Type incompatible : « 1?? » n'est pas un nombre."},
    {"TypoInAHugeNumber",
     {std::string(5000, '9') + "x"},
     "Type incompatible : « " + std::string(40, '9') + "… » n'est pas un nombre."},
    {"OutOfRange",
     {"2147483648", "-2147483649", "2147483647.5", "1e10", "1e999999999999", "&H100000000",
      "&O40000000000"},
     kOverflow},
    {"LongPattern",
     {"&H" + std::string(5000, 'F')},
     "Dépassement de capacité : « &H" + std::string(38, 'F') +
         "… » ne tient pas dans un entier de 32 bits."},
};

class TextToNumberTest : public ::testing::TestWithParam<NumberRow> {};

TEST_P(TextToNumberTest, Converts) {
    for (const std::string& text : GetParam().texts) {
        std::string result = GetParam().result, converted;
        if (const auto at = result.find("%1"); at != std::string::npos) result.replace(at, 2, text);
        try {
            converted = std::to_string(TextToNumber(text));
        } catch (const RuntimeError& error) {
            converted = error.what();
        }
        EXPECT_EQ(converted, result) << text;
    }
}

INSTANTIATE_TEST_SUITE_P(Texts, TextToNumberTest, ::testing::ValuesIn(kNumbers),
                         testing::RowName());

}  // namespace
}  // namespace farlous
