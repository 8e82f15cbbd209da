#include "platform/text_to_number.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/runtime_error.h"

namespace farlous {
namespace {

using namespace std::string_literals;
using Kind = RuntimeError::Kind;

// Returns the error kind; a text that converts fails the test (the kind returned then is moot).
Kind KindOf(std::string_view text, std::string* message = nullptr) {
    try {
        const std::int32_t value = TextToNumber(text);
        ADD_FAILURE() << "\"" << text << "\" converted to " << value;
    } catch (const RuntimeError& error) {
        if (message) *message = error.what();
        return error.kind();
    }
    return Kind::OutOfMemory;
}

TEST(TextToNumberTest, ConvertsValidText) {
    const struct {
        std::string text;
        std::int32_t expected;
    } cases[] = {
        {"0", 0},
        {" 0 ", 0},
        {" \t+42\t ", 42},
        {"-2147483648", INT32_MIN},
        {"2147483647", INT32_MAX},
        {"1.", 1},
        {",5", 0},
        {"3,75", 4},
        {"0.4", 0},
        {"0.5", 0},
        {"1.5", 2},
        {"2.5", 2},
        {"-0.5", 0},
        {"-1.5", -2},
        {"2.50000000000000000001", 3},
        {"2.49999999999999999999", 2},
        {"0.06", 0},
        {"2147483646.5", 2147483646},
        {"-2147483648.5", INT32_MIN},
        {"1e3", 1000},
        {"1E+3", 1000},
        {"25e-1", 2},
        {"35E-1", 4},
        {"1.5e1", 15},
        {"0.00012345e4", 1},
        {"0e999999999999", 0},
        {"1e-999999999999", 0},
        {"00100e-2", 1},
        {std::string(5000, '0') + "7", 7},
        {"0." + std::string(5000, '0') + "1e5001", 1},
        {"1e" + std::string(5000, '0') + "2", 100},
        {"&H0", 0},
        {"&HFFFFFFFF", -1},
        {"&H7FFFFFFF", INT32_MAX},
        {"&H80000000", INT32_MIN},
        {"&hffffffff", -1},
        {"&HaB", 171},
        {" &H000000001 ", 1},
        {"&O37777777777", -1},
        {"&o17", 15},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(TextToNumber(c.text), c.expected) << '"' << c.text << '"';
    }
}

TEST(TextToNumberTest, RejectsTextThatIsNotANumber) {
    const std::string cases[] = {
        "",     " \t ",  "abc",
        "1 2",  "1e",    "1e+",
        "--1",  "+-1",   "- 1",
        "0x10", "&H",    "&Hxyz",
        "&O8",  "&X1",   "-&H1",
        "&H 1", "1,2,3", ".",
        "e5",   ".e1",   "inf",
        "nan",  "1\n",   "1\0"s,
        "1.5.", "1e5.5", "1e" + std::string(40, '9') + "x",
    };
    for (const auto& text : cases) {
        EXPECT_EQ(KindOf(text), Kind::TypeMismatch) << '"' << text << '"';
    }
}

TEST(TextToNumberTest, ReportsOverflow) {
    const std::string cases[] = {
        "2147483648",
        "-2147483649",
        "2147483647.5",
        "-2147483648.6",
        "2147483647.5000001",
        "1e10",
        "1e999999999999",
        "99999999999",
        "&H100000000",
        "&O40000000000",
        "&H" + std::string(5000, 'F'),
    };
    for (const auto& text : cases) {
        EXPECT_EQ(KindOf(text), Kind::Overflow) << '"' << text << '"';
    }
}

TEST(TextToNumberTest, MessagesQuoteTheText) {
    std::string message;
    KindOf(" abc ", &message);
    EXPECT_EQ(message, "Type incompatible : « abc » n'est pas un nombre.");
    KindOf("2147483648", &message);
    EXPECT_EQ(message,
              "Dépassement de capacité : « 2147483648 » ne tient pas dans un entier de 32 bits.");
    KindOf("", &message);
    EXPECT_EQ(message, "Type incompatible : un texte vide n'est pas un nombre.");
    KindOf("a\0b"s, &message);
    EXPECT_EQ(message, "Type incompatible : « a?b » n'est pas un nombre.");
}

TEST(TextToNumberTest, CutsLongQuotesOnACharacterBoundary) {
    std::string message;
    // "é" spans bytes 39 and 40, so the cut must fall before it, not inside it.
    KindOf(std::string(39, 'x') + "é" + std::string(100, 'y'), &message);
    EXPECT_EQ(message,
              "Type incompatible : « " + std::string(39, 'x') + "… » n'est pas un nombre.");
}

}  // namespace
}  // namespace farlous
