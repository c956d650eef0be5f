// SPDX-License-Identifier: MIT
// The service's request handling without a socket: strict percent-decoding,
// cache validators, and every library error with a status of its own kind.

#include <gtest/gtest.h>

#include <regex>
#include <set>

#include "barquill/render.hpp"
#include "barquill/settings.hpp"
#include "service/api_error.h"
#include "service/entity_tag.h"
#include "service/json_body.h"
#include "service/label_request.h"
#include "service/page.h"
#include "service/query.h"
#include "service/serve_command.h"

namespace barquill::service {
namespace {

TEST(Query, PercentDecodingIsStrictAndKeepsEveryByte) {
    struct Case {
        std::string_view text;
        std::optional<std::string> decoded;
    };
    const Case cases[] = {
        {"a+b%20c", "a b c"},   {"%00%ff%FF", std::string("\0\xff\xff", 3)},
        {"%2B", "+"},           {"%", std::nullopt},
        {"ab%4", std::nullopt}, {"%4g", std::nullopt},
        {"%%41", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(percentDecode(c.text), c.decoded) << c.text;
}

TEST(Query, ParametersKeepTheirOrderAndEmptyValues) {
    const ParsedQuery query = parseQuery("data=x&&compact&level=&data=y");
    ASSERT_FALSE(query.malformed);
    ASSERT_EQ(query.parameters.size(), 4u);
    EXPECT_EQ(query.parameters[1].name, "compact");
    EXPECT_EQ(query.parameters[1].value, "");
    EXPECT_EQ(query.parameters[3].value, "y");
    EXPECT_EQ(parseQuery("data=x&le%zvel=1").malformed, "le%zvel");
}

TEST(EntityTag, IfNoneMatchComparesTagsWeaklyAndTakesAStar) {
    const std::string tag = entityTag(std::vector<std::uint8_t>{1, 2, 3});
    EXPECT_EQ(tag.size(), 18u);
    EXPECT_NE(tag, entityTag(std::vector<std::uint8_t>{1, 2, 4}));
    EXPECT_TRUE(matchesIfNoneMatch(tag, tag));
    EXPECT_TRUE(matchesIfNoneMatch("\"x\", W/" + tag, tag));
    EXPECT_TRUE(matchesIfNoneMatch(" * ", tag));
    EXPECT_FALSE(matchesIfNoneMatch("\"x\"", tag));
    EXPECT_FALSE(matchesIfNoneMatch(tag.substr(1), tag));
}

TEST(ApiError, EveryLibraryErrorHasAStatusOfItsKind) {
    // The client's mistakes are 4xx, the service's own failures 5xx.
    for (int number = 1; number <= 31; ++number) {
        const auto code = static_cast<ErrorCode>(number);
        if (errorText(code) == "unknown status") continue;
        const int status = statusOf(code);
        const bool clients = code != ErrorCode::renderFailed && code != ErrorCode::writeFailed &&
                             code != ErrorCode::readOnly && code != ErrorCode::notVerified &&
                             code != ErrorCode::verifyUnavailable &&
                             code != ErrorCode::outsideFolder &&
                             code != ErrorCode::invalidArgument && code != ErrorCode::outOfMemory;
        EXPECT_EQ(status / 100, clients ? 4 : 5) << errorText(code);
        Error error;
        error.code = code;
        EXPECT_NE(apiError(error).code, "internal") << errorText(code);
    }
}

TEST(ApiError, FieldsAreNamedAsTheQuerySpellsThem) {
    Settings settings;
    const std::optional<Error> error = applySetting(settings, "margin", "x");
    ASSERT_TRUE(error);
    EXPECT_EQ(apiError(*error).field, "margin");
    const std::string json = errorJson(apiError(Refusal::bodyTooLarge, {}, 70000, 65536));
    EXPECT_EQ(
        json,
        "{\"error\":{\"code\":\"bodyTooLarge\",\"field\":null,\"message\":\"the body is larger "
        "than the limit (70000, at most 65536)\",\"needed\":70000,\"available\":65536}}");
}

TEST(LabelRequest, BodiesOfEachKindGiveTheirData) {
    struct Case {
        std::string_view contentType;
        std::string_view body;
        std::string data;
        bool text;
    };
    const Case cases[] = {
        {"application/octet-stream", std::string_view("\xff\x00", 2), std::string("\xff\x00", 2),
         false},
        {"text/plain", "abc", "abc", true},
        {"Text/Plain; Charset=\"ISO-8859-1\"", "\xe9", "\xc3\xa9", true},
        {"application/json", R"({"data_base64": "/w=="})", "\xff", false},
        {"application/json", R"({"data": "\u00e9", "options": {"compact": true}})", "\xc3\xa9",
         true},
    };
    for (const Case& c : cases) {
        const auto request = requestFromBody(c.contentType, c.body, {});
        ASSERT_TRUE(std::holds_alternative<LabelRequest>(request)) << c.contentType;
        EXPECT_EQ(std::get<LabelRequest>(request).data, c.data) << c.contentType;
        EXPECT_EQ(std::get<LabelRequest>(request).text, c.text) << c.contentType;
    }
    const auto options = std::get<LabelRequest>(requestFromBody(
        "application/json", R"({"data": "x", "options": {"aspect": 2.5, "level": 3}})", {}));
    ASSERT_EQ(options.options.size(), 2u);
    EXPECT_EQ(options.options[0].value, "2.5");
    EXPECT_EQ(options.options[1].value, "3");
}

TEST(LabelRequest, AnOptionGivenTwiceIsRefused) {
    LabelRequest request;
    request.data = "x";
    request.options = {{"level", "1"}, {"level", "2"}};
    const auto answer = makeLabelFile(request, false, 1 << 24);
    ASSERT_TRUE(std::holds_alternative<ApiError>(answer));
    EXPECT_EQ(std::get<ApiError>(answer).code, "repeatedParameter");
}

// A body's members as sent, whatever their values nest; a body that is no
// one object is nothing, however it breaks.
TEST(JsonBody, MembersAreTheBytesSentAndTheRestIsRefused) {
    const std::string deep = std::string(100'000, '[') + std::string(100'000, ']');
    struct Case {
        std::string body;
        std::optional<std::vector<std::pair<std::string, std::string_view>>> members;
    };
    const Case cases[] = {
        {" {} ", std::vector<std::pair<std::string, std::string_view>>{}},
        {R"({"a" : "x,}\"y" , "b":[{"c": "]"}],"c":-1.5e3})",
         {{{"a", R"("x,}\"y")"}, {"b", R"([{"c": "]"}])"}, {"c", "-1.5e3"}}}},
        {R"({"\u0066ields": {"x": 1}})", {{{"fields", R"({"x": 1})"}}}},
        {R"({"x": )" + deep + "}", {{{"x", deep}}}},
        {R"({"x": )" + std::string(100'000, '[') + "}", std::nullopt},
        {R"({"x": 1,})", std::nullopt},
        {R"({"x" 1})", std::nullopt},
        {R"({"x": })", std::nullopt},
        {R"({"x": 1} {})", std::nullopt},
        {R"({"x": "1)", std::nullopt},
        {R"(["x"])", std::nullopt},
        {"", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.body.substr(0, 40));
        const auto members = objectMembers(c.body);
        ASSERT_EQ(members.has_value(), c.members.has_value());
        if (!members) continue;
        ASSERT_EQ(members->size(), c.members->size());
        for (std::size_t i = 0; i < members->size(); ++i) {
            EXPECT_EQ((*members)[i].key, (*c.members)[i].first);
            EXPECT_EQ((*members)[i].value, (*c.members)[i].second);
        }
    }
    const JsonOptions options = jsonOptions(R"({"level": 2, "compact": true, "fg": "red"})");
    ASSERT_FALSE(options.refused);
    ASSERT_EQ(options.options.size(), 3u);
    EXPECT_EQ(options.options[1].value, "true");
    EXPECT_EQ(jsonOptions(R"({"level": 2, "margin": )" + deep + "}").refused, "margin");
    EXPECT_EQ(jsonOptions("[1]").refused, "");
}

// The service reads every symbol back unless started with --no-verify, a
// flag that takes no value.
TEST(ServeArguments, VerificationIsOnUnlessNoVerifyIsGiven) {
    struct Case {
        std::vector<std::string> args;
        bool verify;
    };
    const Case cases[] = {
        {{"barquill", "serve"}, true},
        {{"barquill", "serve", "--no-verify"}, false},
        {{"barquill", "serve", "--no-verify", "--threads", "2"}, false},
    };
    for (const Case& c : cases) {
        const auto parsed = parseServeArguments(c.args);
        ASSERT_TRUE(std::holds_alternative<ServerConfig>(parsed)) << c.args.size();
        EXPECT_EQ(std::get<ServerConfig>(parsed).verify, c.verify) << c.args.size();
    }
    const auto valued = parseServeArguments({"barquill", "serve", "--no-verify=yes"});
    ASSERT_TRUE(std::holds_alternative<ServeUsage>(valued));
    EXPECT_NE(std::get<ServeUsage>(valued).text.find("--no-verify takes no value"),
              std::string::npos);
}

// The page offers what the API takes and starts where it starts: its
// levels, formats, column range and defaults are the library's.
TEST(Page, ChoicesAndDefaultsAreTheLibrarysTables) {
    const PageFile* page = findPageFile("/");
    ASSERT_NE(page, nullptr);
    const std::string html(page->body);
    EXPECT_EQ(html.find("{{"), std::string::npos) << "a mark left unfilled";
    const auto optionsOf = [&html](const std::string& select) {
        const std::size_t from = html.find("<select id=\"" + select + "\"");
        const std::size_t to = html.find("</select>", from);
        std::set<std::string> values;
        const std::string part = html.substr(from, to - from);
        const std::regex option("<option(?: value=\"([^\"]*)\")?>([^<]*)</option>");
        for (std::sregex_iterator it(part.begin(), part.end(), option), end; it != end; ++it)
            values.insert((*it)[1].matched ? (*it)[1].str() : (*it)[2].str());
        return values;
    };
    std::set<std::string> levels{"auto"};
    const SettingInfo* level = findSetting("level");
    for (long n = level->minimum; n <= level->maximum; ++n) levels.insert(std::to_string(n));
    EXPECT_EQ(optionsOf("level"), levels);
    std::set<std::string> pictures;
    for (const FormatInfo& info : formats())
        if (!info.printer) pictures.emplace(info.name);
    EXPECT_EQ(optionsOf("format"), pictures);
    const SettingInfo* columns = findSetting("columns");
    EXPECT_NE(html.find("(" + std::to_string(columns->minimum) + " to " +
                        std::to_string(columns->maximum) + ","),
              std::string::npos);
    EXPECT_NE(html.find("id=\"margin\" name=\"margin\" inputmode=\"numeric\" autocomplete=\"off\" "
                        "value=\"" +
                        std::string(findSetting("margin")->defaultText) + "\""),
              std::string::npos);
    for (const auto& [id, colour] :
         {std::pair{"fg", Settings{}.bar}, std::pair{"bg", Settings{}.space}}) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "#%02x%02x%02x", colour.red, colour.green, colour.blue);
        EXPECT_NE(html.find("id=\"" + std::string(id) + "\" name=\"" + id +
                            "\" type=\"color\" value=\"" + hex + "\""),
                  std::string::npos)
            << id;
    }
}

}  // namespace
}  // namespace barquill::service
