#include "platform/text_to_number.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/runtime_error.h"

namespace farlous {
namespace {

using namespace std::string_literals;
using Kind = RuntimeError::Kind;

// Each value with the texts that give it: blanks, signs, either decimal mark, exponents, halves
// to even, hexadecimal and octal.
TEST(TextToNumberTest, ConvertsValidText) {
    const std::pair<std::int32_t, std::vector<std::string>> cases[] = {
        {0, {",5", "0.5", "-0.5", "&H0", "0e999999999999", "1e-999999999999"}},
        {1,
         {"1.", "0.00012345e4", " &H000000001 ", std::string(5000, '0') + "1",
          "0." + std::string(5000, '0') + "1e5001"}},
        {2, {"1.5", "2.5", "25e-1"}},
        {-2, {"-1.5"}},
        {3, {"2.50000000000000000001"}},
        {4, {"3,75", "35E-1"}},
        {42, {" \t+42\t "}},
        {1000, {"1E+3"}},
        {-1, {"&HFFFFFFFF", "&O37777777777"}},
        {171, {"&haB"}},
        {15, {"&o17"}},
        {INT32_MAX, {"2147483647"}},
        {INT32_MIN, {"-2147483648", "-2147483648.5", "&H80000000"}}};
    for (const auto& [value, texts] : cases) {
        for (const std::string& text : texts) EXPECT_EQ(TextToNumber(text), value) << text;
    }
}

Kind KindOf(const std::string& text) {
    try {
        ADD_FAILURE() << text << " -> " << TextToNumber(text);
    } catch (const RuntimeError& error) {
        return error.kind();
    }
    return Kind::OutOfMemory;
}

TEST(TextToNumberTest, RejectsTheRest) {
    for (const std::string& text : std::initializer_list<std::string>{
             "", " \t ", "abc", "1 2", "1e+", "+-1", "0x10", "&H", "&O8", "-&H1", "1,2,3", ".",
             ".e1", "inf", "1\n", "1\0"s, "1e5.5"}) {
        EXPECT_EQ(KindOf(text), Kind::TypeMismatch) << text;
    }
    for (const std::string& text : std::initializer_list<std::string>{
             "2147483648", "-2147483649", "2147483647.5", "1e10", "1e999999999999", "&H100000000",
             "&O40000000000", "&H" + std::string(5000, 'F')}) {
        EXPECT_EQ(KindOf(text), Kind::Overflow) << text;
    }
    try {
        TextToNumber(" abc ");
    } catch (const RuntimeError& error) {
        EXPECT_STREQ(error.what(), "Type incompatible : « abc » n'est pas un nombre.");
    }
}

}  // namespace
}  // namespace farlous
