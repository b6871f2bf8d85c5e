#include "JsonValue.h"

#include <gtest/gtest.h>

#include <chrono>
#include <algorithm>
#include <climits>
#include <cmath>
#include <functional>
#include <limits>
#include <stdexcept>

using json::Kind;
using json::Value;

namespace {

Value parseOk(const std::string& text)
{
    Value v;
    json::ParseError error;
    EXPECT_TRUE(json::parse(text, v, error)) << error.line << ":" << error.column << " " << error.message;
    return v;
}

void expectRoundTrip(const Value& v)
{
    const std::string text = json::write(v);
    const Value back = parseOk(text);
    EXPECT_EQ(back, v) << text;
    EXPECT_EQ(json::write(back), text);
}

}  // namespace

TEST(JsonWrite, LayoutAndFileOrder)
{
    const std::string text = "{\"zeta\":1,\"alpha\":{\"b\":[true,null,\"x\"],\"a\":{}},\"empty\":[],\"r\":2.5}";
    const std::string expected = "{\n"
                                 "  \"zeta\": 1,\n"
                                 "  \"alpha\": {\n"
                                 "    \"b\": [\n"
                                 "      true,\n"
                                 "      null,\n"
                                 "      \"x\"\n"
                                 "    ],\n"
                                 "    \"a\": {}\n"
                                 "  },\n"
                                 "  \"empty\": [],\n"
                                 "  \"r\": 2.5\n"
                                 "}\n";
    EXPECT_EQ(json::write(parseOk(text)), expected);
    EXPECT_EQ(json::write(parseOk(expected)), expected);
    EXPECT_EQ(json::write(Value::makeInt(-7)), "-7\n");
}

TEST(JsonWrite, RoundTripsScalarsAndStrings)
{
    Value doc = Value::makeObject();
    doc.set("ints", Value::makeArray());
    for (long long i : {0LL, -1LL, LLONG_MAX, LLONG_MIN})
        doc.find("ints")->append(Value::makeInt(i));
    Value& reals = doc.set("reals", Value::makeArray());
    for (double d : {0.1, 1.0, -0.0, 1e300, 5e-324, 123456789.125, -2.5e-7, 1e21})
        reals.append(Value::makeReal(d));
    doc.set("text", Value::makeString("quote\" backslash\\ slash/ \n\t\r\b\f \x01\x1f\x7f caf\xC3\xA9 \xF0\x9F\x98\x80"));
    doc.set("", Value::makeString(""));
    doc.set("key \"with\"\nescapes", Value::makeBool(false));
    expectRoundTrip(doc);

    const std::string text = json::write(doc);
    EXPECT_NE(text.find("  \"text\": \"quote\\\" backslash\\\\ slash/ \\n\\t\\r\\b\\f \\u0001\\u001f\x7f caf\xC3\xA9 \xF0\x9F\x98\x80\",\n"),
              std::string::npos)
        << text;
    // Whole reals keep a fraction so they stay reals; short forms stay short.
    EXPECT_NE(text.find("    1.0,\n    -0.0,\n"), std::string::npos) << text;
    EXPECT_NE(text.find("    0.1,\n"), std::string::npos) << text;
    EXPECT_TRUE(std::signbit(parseOk(text).find("reals")->items()[2].asReal()));
}

TEST(JsonWrite, NeverProducesUnreadableText)
{
    EXPECT_EQ(json::write(Value::makeString("a\xFF" "b\xC3")), "\"a\xEF\xBF\xBD" "b\xEF\xBF\xBD\"\n");
    EXPECT_EQ(json::write(Value::makeReal(std::numeric_limits<double>::quiet_NaN())), "null\n");
    EXPECT_EQ(json::write(Value::makeReal(-std::numeric_limits<double>::infinity())), "null\n");
}

TEST(JsonParse, DecodesStringsAndNumbers)
{
    const Value v = parseOk("\xEF\xBB\xBF[\"\\u00e9\\u20AC\\ud83d\\ude00\\/\\\"\\\\\\b\\f\\n\\r\\t\\u0000\", "
                            "9223372036854775807, -9223372036854775808, 9223372036854775808, -0, 1.0, 1e2, -1.5E-3]");
    ASSERT_EQ(v.kind(), Kind::Array);
    ASSERT_EQ(v.items().size(), 8u);
    EXPECT_EQ(v.items()[0].asString(), std::string("\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80/\"\\\b\f\n\r\t", 17) + '\0');
    EXPECT_EQ(v.items()[1].kind(), Kind::Int);
    EXPECT_EQ(v.items()[1].asInt(), LLONG_MAX);
    EXPECT_EQ(v.items()[2].asInt(), LLONG_MIN);
    EXPECT_EQ(v.items()[3].kind(), Kind::Real);
    EXPECT_EQ(v.items()[3].asReal(), 9223372036854775808.0);
    EXPECT_EQ(v.items()[4].kind(), Kind::Int);
    for (int i = 5; i < 8; ++i)
        EXPECT_EQ(v.items()[i].kind(), Kind::Real) << i;
    EXPECT_EQ(v.items()[6].asReal(), 100.0);
    EXPECT_EQ(v.items()[7].asReal(), -1.5e-3);
    EXPECT_EQ(parseOk(" \r\n\ttrue \n").asBool(), true);
}

TEST(JsonParse, RecordsLines)
{
    const Value v = parseOk("{\n  \"a\": 1,\n  \"b\":\n    [\n      2,\n\n      {}\n    ],\r\n  \"c\": \"x\"\n}");
    EXPECT_EQ(v.line(), 1);
    EXPECT_EQ(v.keyLine("a"), 2);
    EXPECT_EQ(v.find("a")->line(), 2);
    EXPECT_EQ(v.keyLine("b"), 3);
    EXPECT_EQ(v.find("b")->line(), 4);
    EXPECT_EQ(v.find("b")->items()[0].line(), 5);
    EXPECT_EQ(v.find("b")->items()[1].line(), 7);
    EXPECT_EQ(v.keyLine("c"), 9);
    EXPECT_EQ(v.keyLine("missing"), 0);
    EXPECT_EQ(Value::makeInt(1).line(), 0);
}

struct BadDocument {
    const char* text;
    int line;
    int column;
    const char* message;
};

TEST(JsonParse, ReportsErrorsWithPosition)
{
    const BadDocument cases[] = {
        {"", 1, 1, "unexpected end of text"},
        {"{\n", 1, 2, "unexpected end of text"},             // on the last line, not after it
        {"[1,\r\n\r\n", 2, 1, "unexpected end of text"},
        {"{\n  \"a\": [1,\n    2 3],\n  \"b\": 2\n}", 3, 7, "expected ',' or ']'"},
        {"{\n  \"a\": 1,\n  \"b\": 2\n  \"c\": 3\n}", 4, 3, "expected ',' or '}'"},
        {"{\"a\": \"abc\n}", 1, 7, "unterminated string"},
        {"{\"a\": \"abc\r\n}", 1, 7, "unterminated string"},
        {"[\"abc", 1, 2, "unterminated string"},
        {"{\n  \"a\": 1,\n  \"b\": 2,\n  \"a\": 3\n}", 4, 3, "duplicate key \"a\""},
        {"{\"q\\\"\": 1, \"q\\u0022\": 2}", 1, 12, "duplicate key \"q\\\"\""},
        {"{} x", 1, 4, "unexpected text after the value"},
        {"1 2", 1, 3, "unexpected text after the value"},
        {"[\"\xC3\xA9\", \"a\xC3(\"]", 1, 9, "invalid UTF-8"},
        {"\"\xC0\xAF\"", 1, 2, "invalid UTF-8"},          // overlong '/'
        {"\"\xED\xA0\x80\"", 1, 2, "invalid UTF-8"},      // encoded surrogate
        {"\"\xF4\x90\x80\x80\"", 1, 2, "invalid UTF-8"},  // above U+10FFFF
        {"\"\xE2\x82\"", 1, 2, "invalid UTF-8"},          // truncated
        {"\xFF", 1, 1, "expected a value"},
        {"\"a\\x\"", 1, 3, "invalid escape"},
        {"\"\\u12G4\"", 1, 6, "invalid escape"},
        {"\"\\ud800\"", 1, 2, "unpaired surrogate"},
        {"\"\\udc00\\ud800\"", 1, 2, "unpaired surrogate"},
        {"\"\\ud800\\u0041\"", 1, 2, "unpaired surrogate"},
        {"\"a\tb\"", 1, 3, "control character in string"},
        {"[1,]", 1, 4, "expected a value"},
        {"{\"a\": 1,}", 1, 9, "expected a string key"},
        {"{'a': 1}", 1, 2, "expected a string key"},
        {"{\"a\" 1}", 1, 6, "expected ':'"},
        {"{\"a\":", 1, 6, "unexpected end of text"},
        {"[1, 2", 1, 6, "unexpected end of text"},
        {"// note\n{}", 1, 1, "expected a value"},
        {"tru", 1, 4, "unexpected end of text"},
        {"nul1", 1, 1, "expected a value"},
        {"NaN", 1, 1, "expected a value"},
        {"+1", 1, 1, "expected a value"},
        {".5", 1, 1, "expected a value"},
        {"01", 1, 2, "unexpected text after the value"},
        {"-x", 1, 2, "invalid number"},
        {"1.e5", 1, 3, "invalid number"},
        {"1e+", 1, 4, "unexpected end of text"},
        {"[\"\xC3\xA9\xE2\x82\xAC\" x]", 1, 7, "expected ',' or ']'"},  // columns count characters
        {"\xEF\xBB\xBF x", 1, 2, "expected a value"},
    };
    for (const BadDocument& c : cases) {
        Value out = Value::makeInt(42);
        json::ParseError error;
        EXPECT_FALSE(json::parse(c.text, out, error)) << c.text;
        EXPECT_EQ(error.message, c.message) << c.text;
        EXPECT_EQ(error.line, c.line) << c.text;
        EXPECT_EQ(error.column, c.column) << c.text;
        EXPECT_EQ(out, Value::makeInt(42)) << "output touched for " << c.text;
    }
}

TEST(JsonParse, LimitsNestingDepth)
{
    const std::string ok = std::string(512, '[') + std::string(512, ']');
    EXPECT_EQ(parseOk(ok).kind(), Kind::Array);

    Value out;
    json::ParseError error;
    const std::string deep = "\n" + std::string(100000, '[');
    EXPECT_FALSE(json::parse(deep, out, error));
    EXPECT_EQ(error.message, "nesting deeper than 512 levels");
    EXPECT_EQ(error.line, 2);
    EXPECT_EQ(error.column, 513);
    EXPECT_FALSE(json::parse(std::string(600, '{'), out, error));
    EXPECT_EQ(error.message, "expected a string key");
}

TEST(JsonKeep, UnchangedTextComesBackByteForByte)
{
    const std::string texts[] = {
        "\xEF\xBB\xBF{\"a\":1}",
        "  {\r\n\t\"n\" :\t[ 123456789012345678901234567890 , 9223372036854775808,1.10,1E2,-0, 1e400, -1e-400 ]\r\n}\r\n\r\n",
        "{\"s\": \"\\u00e9\\/\\u0000 \xE4\xB8\xAD\", \"e\": {}, \"f\": [ ], \"g\": { }}",
        "[]",
        "-0",
        "{\n    \"deep\": [[[{\"x\": [1,\n  2]}]]]\n}",
    };
    for (const std::string& text : texts)
        EXPECT_EQ(json::write(parseOk(text), text), text);
    EXPECT_TRUE(std::isinf(parseOk("1e400").asReal()));
    EXPECT_EQ(parseOk("-1e-400").asReal(), 0.0);
}

TEST(JsonKeep, ChangesTouchOnlyTheirOwnText)
{
    // Four-space layout, an unusual number and a blank before a comma.
    const std::string text = "{\n    \"a\": 1.10 ,\n    \"b\": [\"x\"],\n    \"c\": {}\n}";
    const struct {
        const char* what;
        std::function<void(Value&)> change;
        std::string expected;
    } cases[] = {
        { "a scalar replaced", [](Value& d) { d.set("a", Value::makeInt(2)); },
          "{\n    \"a\": 2 ,\n    \"b\": [\"x\"],\n    \"c\": {}\n}" },
        { "an equal value leaves the text", [](Value& d) { d.set("a", Value::makeReal(1.1)); }, text },
        { "an array replaced follows the indentation",
          [](Value& d) {
              Value list = Value::makeArray();
              list.append(Value::makeString("x"));
              list.append(Value::makeString("y"));
              d.set("b", list);
          },
          "{\n    \"a\": 1.10 ,\n    \"b\": [\n        \"x\",\n        \"y\"\n    ],\n    \"c\": {}\n}" },
        { "a member added", [](Value& d) { d.set("d", Value::makeBool(true)); },
          "{\n    \"a\": 1.10 ,\n    \"b\": [\"x\"],\n    \"c\": {},\n    \"d\": true\n}" },
        { "into an empty object", [](Value& d) { d.find("c")->set("k", Value::makeInt(1)); },
          "{\n    \"a\": 1.10 ,\n    \"b\": [\"x\"],\n    \"c\": {\n        \"k\": 1\n    }\n}" },
        { "the first member removed", [](Value& d) { d.erase("a"); },
          "{\n    \"b\": [\"x\"],\n    \"c\": {}\n}" },
        { "the last member removed", [](Value& d) { d.erase("c"); },
          "{\n    \"a\": 1.10 ,\n    \"b\": [\"x\"]\n}" },
        { "members reordered",
          [](Value& d) { std::reverse(d.members().begin(), d.members().end()); },
          "{\n    \"c\": {} ,\n    \"b\": [\"x\"],\n    \"a\": 1.10\n}" },
        { "an item appended to a one-line array", [](Value& d) { d.find("b")->append(Value::makeString("y")); },
          "{\n    \"a\": 1.10 ,\n    \"b\": [\"x\",\"y\"],\n    \"c\": {}\n}" },
    };
    for (const auto& c : cases) {
        Value doc = parseOk(text);
        c.change(doc);
        EXPECT_EQ(json::write(doc, text), c.expected) << c.what;
        EXPECT_EQ(parseOk(c.expected), doc) << c.what;
    }
}

TEST(JsonKeep, NewMembersTakeTheirNeighboursBlanksAndLineEnds)
{
    const std::string compact = "{\"a\":{\"x\":1}}";
    Value doc = parseOk(compact);
    Value inner = Value::makeObject();
    inner.set("y", Value::makeArray());
    inner.find("y")->append(Value::makeInt(2));
    doc.find("a")->set("z", inner);
    EXPECT_EQ(json::write(doc, compact), "{\"a\":{\"x\":1,\"z\":{\"y\": [2]}}}");
    const std::string compactEmpty = "{\"a\":{}}";
    doc = parseOk(compactEmpty);
    doc.find("a")->set("b", Value::makeInt(1));
    EXPECT_EQ(json::write(doc, compactEmpty), "{\"a\":{\"b\": 1}}");

    const std::string crlf = "{\r\n  \"a\": 1\r\n}\r\n";
    doc = parseOk(crlf);
    doc.set("b", inner);
    EXPECT_EQ(json::write(doc, crlf), "{\r\n  \"a\": 1,\r\n  \"b\": {\r\n    \"y\": [\r\n      2\r\n    ]\r\n  }\r\n}\r\n");

    // A value built in memory has no text to keep.
    EXPECT_EQ(json::write(inner, compact), json::write(inner));
}

TEST(JsonObject, SetReplacesInPlaceOrAppends)
{
    Value doc = parseOk("{\n  \"a\": 1,\n  \"b\": 2,\n  \"c\": 3\n}");
    Value& b = doc.set("b", Value::makeString("two"));
    EXPECT_EQ(&b, doc.find("b"));
    doc.set("d", Value::makeInt(4));
    EXPECT_EQ(json::write(doc), "{\n  \"a\": 1,\n  \"b\": \"two\",\n  \"c\": 3,\n  \"d\": 4\n}\n");
    EXPECT_EQ(doc.keyLine("b"), 3) << "the replaced member's key did not move";
    EXPECT_EQ(doc.keyLine("d"), 0);

    // A member copied from elsewhere does not carry its old key line.
    doc.set("e", *doc.find("c"));
    EXPECT_EQ(doc.keyLine("e"), 0);

    EXPECT_TRUE(doc.erase("a"));
    EXPECT_FALSE(doc.erase("a"));
    EXPECT_EQ(doc.find("a"), nullptr);
    EXPECT_EQ(doc.members().front().first, "b");
    EXPECT_EQ(doc.keyLine("c"), 4);
}

TEST(JsonValue, KindsAndMisuse)
{
    Value obj;
    obj.set("k", Value());
    EXPECT_EQ(obj.kind(), Kind::Object);
    Value arr;
    arr.append(Value::makeBool(true));
    EXPECT_EQ(arr.kind(), Kind::Array);
    EXPECT_THROW(arr.set("k", Value()), std::logic_error);
    EXPECT_THROW(obj.append(Value()), std::logic_error);

    EXPECT_EQ(Value::makeInt(3).asReal(), 3.0);
    EXPECT_EQ(Value::makeReal(3.5).asInt(), 0);
    EXPECT_EQ(Value::makeInt(1).asString(), "");
    EXPECT_NE(Value::makeInt(1), Value::makeReal(1.0));
    EXPECT_NE(parseOk("{\"a\":1,\"b\":2}"), parseOk("{\"b\":2,\"a\":1}"));
}

TEST(JsonValue, LargeDocument)
{
    Value doc = Value::makeArray();
    for (int i = 0; i < 10000; ++i) {
        Value item = Value::makeObject();
        item.set("id", Value::makeInt(i));
        item.set("name", Value::makeString("item " + std::to_string(i)));
        item.set("weight", Value::makeReal(i / 7.0));
        doc.append(std::move(item));
    }
    const std::string text = json::write(doc);
    const Value back = parseOk(text);
    EXPECT_EQ(back, doc);
    EXPECT_EQ(back.items()[9999].line(), 1 + 9999 * 5 + 1);

    // The same on one line, one item changed: its neighbours are found
    // without reading the whole line again for each, so writing it back
    // costs about what reading it does (reading it again for each of the
    // 30,000 would cost thousands of times that), on any machine.
    std::string oneLine = "[";
    for (int i = 0; i < 30000; ++i)
        oneLine += (i ? "," : "") + std::string("{\"id\":") + std::to_string(i) + ",\"tags\":[]}";
    oneLine += "]";
    const auto readStart = std::chrono::steady_clock::now();
    Value edited = parseOk(oneLine);
    const auto readElapsed = std::chrono::steady_clock::now() - readStart;
    edited.items()[29999].set("id", Value::makeInt(-1));
    const auto keptStart = std::chrono::steady_clock::now();
    const std::string keptText = json::write(edited, oneLine);
    const auto keptElapsed = std::chrono::steady_clock::now() - keptStart;
    EXPECT_EQ(keptText.substr(keptText.size() - 20), "{\"id\":-1,\"tags\":[]}]");
    EXPECT_LT(keptElapsed, 50 * readElapsed + std::chrono::milliseconds(100));
}

TEST(JsonParse, LinesEndWithLfCrLfOrALoneCr)
{
    for (const char* end : { "\n", "\r\n", "\r" }) {
        const std::string e = end;
        const std::string text = "{" + e + e + "  \"a\": 1," + e + "  \"b\": [" + e + "    2" + e + "  ]" + e + "}";
        const Value v = parseOk(text);
        EXPECT_EQ(v.keyLine("b"), 4) << "line end " << json::quote(e);
        EXPECT_EQ(v.find("b")->items()[0].line(), 5) << json::quote(e);
        EXPECT_EQ(json::write(v, text), text);

        Value out;
        json::ParseError error;
        EXPECT_FALSE(json::parse(text.substr(0, text.size() - 1) + "x", out, error));
        EXPECT_EQ(error.line, 7) << json::quote(e);
        EXPECT_EQ(error.column, 1) << json::quote(e);

        // A member added takes the file's own line ends and indentation.
        Value doc = parseOk(text);
        doc.set("c", Value::makeArray());
        doc.find("c")->append(Value::makeInt(3));
        EXPECT_EQ(json::write(doc, text), "{" + e + e + "  \"a\": 1," + e + "  \"b\": [" + e + "    2" + e + "  ]," + e +
                                              "  \"c\": [" + e + "    3" + e + "  ]" + e + "}")
            << json::quote(e);
    }
}

// What a rule leaves unbuilt is checked all the same, kept as text, and
// built on demand to what a full parse gives.
TEST(JsonParse, ARuleLeavesContainersUnbuiltButCheckedAndExpandable)
{
    const std::string text = "{\n  \"keep\": {\"n\": [1, {\"deep\": true}]},\n  \"skip\": [1e400, {\"x\": \"\\u00e9\"}],\n"
                             "  \"s\": \"scalar\"\n}";
    const json::BuildRule rule = [](const std::vector<std::string>& keys) {
        return keys.empty() ? json::Build::Members : keys[0] == "keep" ? json::Build::Everything : json::Build::Nothing;
    };
    Value v;
    json::ParseError error;
    ASSERT_TRUE(json::parse(text, v, error, rule));
    EXPECT_TRUE(v.find("keep")->built());
    EXPECT_TRUE(v.find("keep")->find("n")->items()[1].built());
    Value* skipped = v.find("skip");
    EXPECT_EQ(skipped->kind(), Kind::Array);
    EXPECT_FALSE(skipped->built());
    EXPECT_TRUE(skipped->items().empty());
    EXPECT_EQ(skipped->line(), 3);
    EXPECT_EQ(v.find("s")->asString(), "scalar");
    EXPECT_EQ(json::write(v, text), text);
    EXPECT_THROW(skipped->append(Value()), std::logic_error);
    EXPECT_THROW(json::write(*skipped), std::logic_error);

    Value copy = *skipped;
    EXPECT_EQ(copy, *skipped);
    ASSERT_TRUE(json::expand(copy, text, error));
    EXPECT_EQ(copy, *parseOk(text).find("skip"));
    EXPECT_EQ(copy.items()[1].line(), 3);
    EXPECT_NE(copy, *skipped);

    // Errors inside what is left unbuilt are found all the same.
    const BadDocument bad[] = {
        {"{\"skip\": [1, 2 3]}", 1, 16, "expected ',' or ']'"},
        {"{\"skip\": {\"a\": 1,\n \"b\": {},\n \"a\": 2}}", 3, 2, "duplicate key \"a\""},
        {"{\"skip\": [\"\\ud800\"]}", 1, 12, "unpaired surrogate"},
        {"{\"skip\": [-]}", 1, 12, "invalid number"},
    };
    for (const BadDocument& c : bad) {
        EXPECT_FALSE(json::parse(c.text, v, error, rule)) << c.text;
        EXPECT_EQ(error.message, c.message) << c.text;
        EXPECT_EQ(error.line, c.line) << c.text;
        EXPECT_EQ(error.column, c.column) << c.text;
    }
    const std::string deep = "{\"skip\": " + std::string(100000, '[') + "}";
    EXPECT_FALSE(json::parse(deep, v, error, rule));
    EXPECT_EQ(error.message, "nesting deeper than 512 levels");
}

TEST(JsonParse, DuplicateKeysAreToldApartFromKeysThatMerelyLookAlike)
{
    // Many keys, some equal only once their escapes are read.
    std::string text = "{";
    for (int i = 0; i < 5000; ++i)
        text += "\"k" + std::to_string(i) + "\": " + std::to_string(i) + ",";
    text += "\"\\u006b17\": 0}";
    Value v;
    json::ParseError error;
    EXPECT_FALSE(json::parse(text, v, error));
    EXPECT_EQ(error.message, "duplicate key \"k17\"");
    EXPECT_EQ(error.column, (int)text.size() - 13);
    text.replace(text.size() - 14, 10, "\"\\u006b5000\"");
    EXPECT_TRUE(json::parse(text, v, error)) << error.message;
    EXPECT_EQ(v.members().size(), 5001u);
}
