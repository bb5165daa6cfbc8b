#include "platform/linux/regedit4.h"

#include <gtest/gtest.h>

namespace orp {
namespace {

const char* kKey = "HKEY_CURRENT_USER\\software\\Kestovar\\Orrindo Pro";

Regedit4Value Dword(std::string name, std::uint32_t v) {
    Regedit4Value out;
    out.name = std::move(name);
    out.type = Regedit4Value::Type::Dword;
    out.dword = v;
    return out;
}

Regedit4Value Text(std::string name, std::string v) {
    Regedit4Value out;
    out.name = std::move(name);
    out.type = Regedit4Value::Type::String;
    out.text = std::move(v);
    return out;
}

// "key|name=dword:n" / "key|name=\"text\"" / "key|name=hex(t):n bytes" for every value read, in
// order, so a case can state all that was kept in one line each.
std::vector<std::string> Describe(const Regedit4Document& doc) {
    std::vector<std::string> out;
    for (const Regedit4Key& k : doc.keys()) {
        if (k.values().empty()) out.push_back(k.path() + "|");
        for (const Regedit4Value& v : k.values()) {
            std::string d = k.path() + "|" + v.name + "=";
            switch (v.type) {
                case Regedit4Value::Type::Dword:
                    d += "dword:" + std::to_string(v.dword);
                    break;
                case Regedit4Value::Type::String:
                    d += "\"" + v.text + "\"";
                    break;
                case Regedit4Value::Type::Binary:
                    d += v.text + ":" + std::to_string(v.bytes.size()) + " bytes";
                    break;
            }
            out.push_back(d);
        }
    }
    return out;
}

std::vector<std::size_t> ProblemLines(const Regedit4Parse& p) {
    std::vector<std::size_t> out;
    for (const auto& problem : p.problems) out.push_back(problem.line);
    return out;
}

TEST(Regedit4, WritesTheExportFormatExactly) {
    Regedit4Document doc;
    Regedit4Key& k = doc.Add(kKey);
    k.Set(Dword("Auto Start", 0));
    k.Set(Dword("Processes Update", 30));
    k.Set(Dword("Global Font", 0xFFFFFF));
    k.Set(Text("Install Location", "C:\\Program Files\\Orrindo \"Pro\"\\"));
    k.Set(Text("", "default"));
    doc.Add("HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer")
        .Set(Dword("AlwaysUnloadDLL", 1));

    const std::string expected =
        "REGEDIT4\r\n"
        "\r\n"
        "[HKEY_CURRENT_USER\\software\\Kestovar\\Orrindo Pro]\r\n"
        "\"Auto Start\"=dword:00000000\r\n"
        "\"Processes Update\"=dword:0000001e\r\n"
        "\"Global Font\"=dword:00ffffff\r\n"
        "\"Install Location\"=\"C:\\\\Program Files\\\\Orrindo \\\"Pro\\\"\\\\\"\r\n"
        "@=\"default\"\r\n"
        "\r\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer]\r\n"
        "\"AlwaysUnloadDLL\"=dword:00000001\r\n"
        "\r\n";
    EXPECT_EQ(FormatRegedit4(doc), expected);

    const Regedit4Parse back = ParseRegedit4(expected);
    EXPECT_TRUE(back.clean());
    EXPECT_EQ(back.document, doc);
}

TEST(Regedit4, ReadsLfAndCrLfAlike) {
    const std::string lf =
        "REGEDIT4\n\n[HKEY_CURRENT_USER\\a]\n\"x\"=dword:0000001E\n\"s\"=\"t\\\\u\"\n";
    std::string crlf;
    for (char c : lf) {
        if (c == '\n') crlf += '\r';
        crlf += c;
    }
    const Regedit4Parse a = ParseRegedit4(lf), b = ParseRegedit4(crlf);
    EXPECT_TRUE(a.clean());
    EXPECT_TRUE(b.clean());
    EXPECT_EQ(a.document, b.document);
    EXPECT_EQ(Describe(a.document), (std::vector<std::string>{"HKEY_CURRENT_USER\\a|x=dword:30",
                                                              "HKEY_CURRENT_USER\\a|s=\"t\\u\""}));
}

TEST(Regedit4, NamesCompareWithoutCaseAndKeepTheirFirstSpelling) {
    Regedit4Parse p = ParseRegedit4(
        "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Kestovar]\r\n\"Target RAM\"=dword:1\r\n"
        "[hkey_current_user\\SOFTWARE\\kestovar]\r\n\"TARGET ram\"=dword:2\r\n");
    ASSERT_TRUE(p.clean());
    ASSERT_EQ(p.document.keys().size(), 1u);
    Regedit4Key* k = p.document.Find("\\HKEY_CURRENT_USER\\software\\KESTOVAR\\");
    ASSERT_NE(k, nullptr);
    k->Set(Dword("target ram", 3));
    EXPECT_EQ(FormatRegedit4(p.document),
              "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Kestovar]\r\n"
              "\"Target RAM\"=dword:00000003\r\n\r\n");
    EXPECT_TRUE(k->Remove("TARGET RAM"));
    EXPECT_EQ(k->Find("Target RAM"), nullptr);
}

TEST(Regedit4, LongBinaryDataWrapsAsTheExportDoes) {
    Regedit4Document doc;
    Regedit4Value v;
    v.name = "Data";
    v.type = Regedit4Value::Type::Binary;
    v.text = "hex";
    for (int i = 0; i < 30; ++i) v.bytes.push_back(static_cast<char>(i));
    doc.Add("HKEY_CURRENT_USER\\a").Set(v);
    const std::string expected =
        "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\a]\r\n"
        "\"Data\"=hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,\\\r\n"
        "  16,17,18,19,1a,1b,1c,1d\r\n\r\n";
    EXPECT_EQ(FormatRegedit4(doc), expected);
    const Regedit4Parse back = ParseRegedit4(expected);
    EXPECT_TRUE(back.clean());
    EXPECT_EQ(back.document, doc);
}

TEST(Regedit4, TextsAQuotedStringCannotHoldTravelAsHexBytes) {
    const std::pair<std::string, bool> texts[] = {
        {"line\r\nbreak", false}, {"tab\there", false}, {"bell\a", false},
        {"del\x7f", false},       {"", true},           {"caf\xc3\xa9 \"q\" \\", true},
    };
    for (const auto& [t, fits] : texts) {
        SCOPED_TRACE(t);
        EXPECT_EQ(FitsQuotedString(t), fits);
        Regedit4Document doc;
        doc.Add("HKEY_CURRENT_USER\\a").Set(Text("v", t));
        const std::string file = FormatRegedit4(doc);
        EXPECT_EQ(file.find("\"v\"=hex(1):") != std::string::npos, !fits);
        const Regedit4Parse back = ParseRegedit4(file);
        EXPECT_TRUE(back.clean());
        EXPECT_EQ(back.document, doc);
    }
    // Written by hand with a terminator, as the export writes a REG_SZ in hex.
    const Regedit4Parse p =
        ParseRegedit4("REGEDIT4\n[HKEY_CURRENT_USER\\a]\n\"v\"=hex(1):61,0a,62,00\n");
    EXPECT_EQ(Describe(p.document), std::vector<std::string>{"HKEY_CURRENT_USER\\a|v=\"a\nb\""});
}

struct GarbageCase {
    const char* what;
    std::string text;
    std::vector<std::size_t> problemLines;
    std::vector<std::string> kept;
};

TEST(Regedit4, GarbageIsReportedByLineAndTheRestKept) {
    const std::string h = "REGEDIT4\n\n[HKEY_CURRENT_USER\\a]\n";  // lines 1-3
    const std::string good = "HKEY_CURRENT_USER\\a|ok=dword:1";
    const std::vector<GarbageCase> cases = {
        {"empty", "", {}, {}},
        {"blank lines only", "\n\r\n  \n", {}, {}},
        {"header only", "REGEDIT4\r\n", {}, {}},
        {"byte order mark",
         "\xEF\xBB\xBFREGEDIT4\n[HKEY_CURRENT_USER\\a]\n\"ok\"=dword:1\n",
         {},
         {good}},
        {"comment", h + "; note\n\"ok\"=dword:1\n", {}, {good}},
        {"no header", "[HKEY_CURRENT_USER\\a]\n\"ok\"=dword:1\n", {1}, {good}},
        {"other header",
         "Windows Registry Editor Version 5.00\n[HKEY_CURRENT_USER\\a]\n\"ok\"=dword:1",
         {1},
         {good}},
        {"value before any key", "REGEDIT4\n\"x\"=dword:1\n", {2}, {}},
        {"key without bracket", "REGEDIT4\n[HKEY_CURRENT_USER\\a\n\"x\"=dword:1\n", {2, 3}, {}},
        {"values after a bad key are not misfiled",
         h + "\"ok\"=dword:1\n[HKEY_CURRENT_USER\\\\b]\n\"x\"=dword:2\n",
         {5, 6},
         {good}},
        {"key removal", "REGEDIT4\n[-HKEY_CURRENT_USER\\a]\n", {2}, {}},
        {"removal behind a backslash", "REGEDIT4\n[\\-HKEY_CURRENT_USER\\a]\n", {2}, {}},
        {"empty key", "REGEDIT4\n[]\n[\\\\]\n", {2, 3}, {}},
        {"value removal", h + "\"x\"=-\n\"ok\"=dword:1\n", {4}, {good}},
        {"dword too long", h + "\"x\"=dword:123456789\n\"ok\"=dword:1\n", {4}, {good}},
        {"dword not hex", h + "\"x\"=dword:12g4\n\"ok\"=dword:1\n", {4}, {good}},
        {"dword empty", h + "\"x\"=dword:\n\"ok\"=dword:1\n", {4}, {good}},
        {"unknown escape", h + "\"x\"=\"a\\qb\"\n\"ok\"=dword:1\n", {4}, {good}},
        {"unterminated text", h + "\"x\"=\"abc\n\"ok\"=dword:1\n", {4}, {good}},
        {"text after the quote", h + "\"x\"=\"abc\" junk\n\"ok\"=dword:1\n", {4}, {good}},
        {"unterminated name", h + "\"x=dword:1\n\"ok\"=dword:1\n", {4}, {good}},
        {"no equals", h + "\"x\" dword:1\n\"ok\"=dword:1\n", {4}, {good}},
        {"unknown type", h + "\"x\"=qword:1\n\"ok\"=dword:1\n", {4}, {good}},
        {"control character in a name", h + "\"x\ty\"=dword:1\n\"ok\"=dword:1\n", {4}, {good}},
        {"NUL byte", h + std::string("\"x\"=\"a\0b\"\n", 10) + "\"ok\"=dword:1\n", {4}, {good}},
        {"stray line", h + "garbage\n]\n\"ok\"=dword:1\n", {4, 5}, {good}},
        {"bad hex", h + "\"x\"=hex:zz,01\n\"ok\"=dword:1\n", {4}, {good}},
        {"bad hex type", h + "\"x\"=hex(q):01\n\"x\"=hex(1:01\n\"ok\"=dword:1\n", {4, 5}, {good}},
        {"hex running off the end", h + "\"ok\"=dword:1\n\"x\"=hex:01,\\\n", {5}, {good}},
        {"hex running into a key",
         h + "\"x\"=hex:01,\\\n[HKEY_CURRENT_USER\\b]\n\"y\"=dword:2\n",
         {4},
         {"HKEY_CURRENT_USER\\a|", "HKEY_CURRENT_USER\\b|y=dword:2"}},
        {"hex continued",
         h + "\"x\"=hex:01,\\\n  02,03\n\"ok\"=dword:1\n",
         {},
         {"HKEY_CURRENT_USER\\a|x=hex:3 bytes", good}},
        {"binary junk", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR\xff\xfe", 18), {1, 2, 3}, {}},
        {"a megabyte on one line",
         h + std::string(1 << 20, 'a') + "\n\"ok\"=dword:1\n",
         {4},
         {good}},
    };
    for (const GarbageCase& c : cases) {
        SCOPED_TRACE(c.what);
        const Regedit4Parse p = ParseRegedit4(c.text);
        EXPECT_EQ(ProblemLines(p), c.problemLines);
        EXPECT_EQ(p.problemCount, c.problemLines.size());
        EXPECT_EQ(Describe(p.document), c.kept);
        // Whatever was kept can be written and read back unchanged.
        const Regedit4Parse again = ParseRegedit4(FormatRegedit4(p.document));
        EXPECT_TRUE(again.clean());
        EXPECT_EQ(again.document, p.document);
    }
}

TEST(Regedit4, ProblemListIsCappedButCounted) {
    std::string text = "REGEDIT4\n";
    for (int i = 0; i < 5000; ++i) text += "junk\n";
    const Regedit4Parse p = ParseRegedit4(text);
    EXPECT_EQ(p.problemCount, 5000u);
    EXPECT_EQ(p.problems.size(), Regedit4Parse::kMaxProblems);
    EXPECT_EQ(p.problems.back().line, Regedit4Parse::kMaxProblems + 1);
}

TEST(Regedit4, RepeatedKeysAndValuesMergeWithoutCase) {
    std::string text = "REGEDIT4\n";
    for (int i = 0; i < 2000; ++i) text += "[HKEY_CURRENT_USER\\k" + std::to_string(i) + "]\n";
    text += "[HKEY_CURRENT_USER\\v]\n";
    for (int i = 0; i < 2000; ++i) text += "\"n" + std::to_string(i) + "\"=dword:1\n";
    text += "[HKEY_CURRENT_USER\\K7]\n[hkey_current_user\\V]\n";
    for (int i = 0; i < 2000; ++i) text += "\"N" + std::to_string(i) + "\"=dword:2\n";
    const Regedit4Parse p = ParseRegedit4(text);
    ASSERT_TRUE(p.clean());
    ASSERT_EQ(p.document.keys().size(), 2001u);
    const Regedit4Key& v = p.document.keys().back();
    EXPECT_EQ(v.path(), "HKEY_CURRENT_USER\\v");
    ASSERT_EQ(v.values().size(), 2000u);
    EXPECT_EQ(v.values()[123].name, "n123");  // first spelling, last data
    EXPECT_EQ(v.values()[123].dword, 2u);
}

}  // namespace
}  // namespace orp
