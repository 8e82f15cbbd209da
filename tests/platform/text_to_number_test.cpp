#include "platform/text_to_number.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "platform/runtime_error.h"

namespace farlous {
namespace {

using namespace std::string_literals;
using Kind = RuntimeError::Kind;

TEST(TextToNumberTest, ConvertsValidText) {
    const std::pair<std::string, std::int32_t> cases[] = {
        {" \t+42\t ", 42},
        {"-2147483648", INT32_MIN},
        {"2147483647", INT32_MAX},
        {"1.", 1},
        {",5", 0},
        {"3,75", 4},
        {"0.5", 0},
        {"1.5", 2},
        {"2.5", 2},
        {"-0.5", 0},
        {"-1.5", -2},
        {"2.50000000000000000001", 3},
        {"-2147483648.5", INT32_MIN},
        {"1E+3", 1000},
        {"25e-1", 2},
        {"35E-1", 4},
        {"0.00012345e4", 1},
        {"0e999999999999", 0},
        {"1e-999999999999", 0},
        {std::string(5000, '0') + "7", 7},
        {"0." + std::string(5000, '0') + "1e5001", 1},
        {"&H0", 0},
        {"&HFFFFFFFF", -1},
        {"&H80000000", INT32_MIN},
        {"&haB", 171},
        {" &H000000001 ", 1},
        {"&O37777777777", -1},
        {"&o17", 15}};
    for (const auto& [text, value] : cases) EXPECT_EQ(TextToNumber(text), value) << text;
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
