// The web server's core: every route, and the 4xx answers of bad requests
// with their Italian message and the input key they name.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <string>

#include "common/example.hpp"
#include "serve/server_core.hpp"

namespace {

using ferrolit::cli::serve::handle;
using ferrolit::cli::serve::Request;
using ferrolit::cli::serve::Response;
using nlohmann::json;

const ferrolit::cli::serve::ServerOptions kOptions{"test"};

// A beam that the reader accepts, for the variants below.
const std::string kBeam = R"({"Base": 300, "Altezza": 500, "Copriferro_Inf": 40, "Copriferro_Sup": 40,
  "ClasseCls": "C25/30", "ClasseAcciaio": "B450C", "stringaAs_inf": "3f20",
  "combinazioni": [{"nome": "A", "tipo": "SLU", "My": 100, "Vz": 50}]})";

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    return text.replace(text.find(from), from.size(), to);
}

std::string header(const Response& r, const std::string& name) {
    for (const auto& [n, v] : r.headers)
        if (n == name) return v;
    return {};
}

TEST(ServeCore, BadRequestsGetA4xxWithTheirMessageAndKey) {
    struct Case {
        const char* what;
        Request request;
        int status;
        const char* message;  // a part of "errore"
        json key;             // "chiave": the input key, or null
    };
    const Case cases[] = {
        {"unknown path", {"GET", "/etc/passwd", "", ""}, 404, "indirizzo sconosciuto", nullptr},
        {"no trailing match", {"GET", "/api/verify/", "", ""}, 404, "indirizzo sconosciuto", nullptr},
        {"wrong method on the API", {"DELETE", "/api/verify", kBeam, "application/json"}, 405, "usare POST", nullptr},
        {"GET of a POST endpoint", {"GET", "/api/record", "", ""}, 405, "usare POST", nullptr},
        {"POST of the page", {"POST", "/", kBeam, "application/json"}, 405, "usare GET", nullptr},
        {"bad JSON", {"POST", "/api/verify", "{\"Base\": ", "application/json"}, 400, "JSON non valido", nullptr},
        {"decimal comma",
         {"POST", "/api/verify", replaced(kBeam, "300,", "300,5,"), ""},
         400,
         "virgola decimale",
         nullptr},
        {"text for a number",
         {"POST", "/api/verify", replaced(kBeam, "300", "\"trecento\""), "application/json"},
         400,
         "tipo errato",
         "Base"},
        {"bad bar text",
         {"POST", "/api/verify", replaced(kBeam, "3f20", "3x20"), "text/plain"},
         400,
         "3f20+2f16",
         "stringaAs_inf"},
        {"combination force",
         {"POST", "/api/design", replaced(kBeam, "100", "\"cento\""), "application/json"},
         400,
         "tipo errato",
         "combinazioni[1].My"},
        {"no concrete",
         {"POST", "/api/record", replaced(kBeam, "\"ClasseCls\": \"C25/30\",", ""), ""},
         400,
         "manca il calcestruzzo",
         "ClasseCls"},
        {"too large",
         {"POST", "/api/verify", std::string((4 << 20) + 1, ' '), "application/json"},
         413,
         "troppo grande",
         nullptr},
        {"form data",
         {"POST", "/api/verify", kBeam, "application/x-www-form-urlencoded"},
         415,
         "application/json",
         nullptr},
        {"JSON Lines only for the record",
         {"POST", "/api/verify", kBeam, "application/x-ndjson"},
         415,
         "tipo di contenuto",
         nullptr},
        {"empty batch", {"POST", "/api/record", "\n\n", "application/x-ndjson"}, 400, "nessuna sezione", nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Response r = handle(c.request, kOptions);
        EXPECT_EQ(r.status, c.status);
        EXPECT_EQ(r.content_type, "application/json; charset=utf-8");
        const json body = json::parse(r.body);
        EXPECT_NE(body.at("errore").get<std::string>().find(c.message), std::string::npos) << body.dump();
        EXPECT_EQ(body.at("chiave"), c.key);
    }
}

TEST(ServeCore, WrongMethodNamesTheAllowedOne) {
    EXPECT_EQ(header(handle({"PUT", "/api/verify", "", ""}, kOptions), "Allow"), "POST");
    EXPECT_EQ(header(handle({"POST", "/app.css", "", ""}, kOptions), "Allow"), "GET");
}

TEST(ServeCore, ServesThePageItsAssetsAndLists) {
    struct Case {
        const char* path;
        const char* type;
        const char* contains;
    };
    const Case cases[] = {
        {"/", "text/html; charset=utf-8", "<script src=\"app.js\">"},
        {"/index.html", "text/html; charset=utf-8", "app.css"},
        {"/app.js", "text/javascript; charset=utf-8", "api/verify"},
        {"/app.css", "text/css; charset=utf-8", ".verdict"},
        {"/palette.css", "text/css; charset=utf-8", "--ok:"},
        {"/api/example", "application/json; charset=utf-8", "\"combinazioni\""},
        // The lists come from the library's tables.
        {"/api/names", "application/json; charset=utf-8", "\"SLE quasi permanente\""},
        {"/api/names", "application/json; charset=utf-8", "\"C90/105\""},
        {"/api/names", "application/json; charset=utf-8", "\"T rovescia\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const Response r = handle({"GET", c.path, "", ""}, kOptions);
        EXPECT_EQ(r.status, 200);
        EXPECT_EQ(r.content_type, c.type);
        EXPECT_NE(r.body.find(c.contains), std::string::npos);
    }
    EXPECT_EQ(handle({"GET", "/api/example", "", ""}, kOptions).body, ferrolit::cli::kExampleSection);
}

TEST(ServeCore, VerifyAnswersTheResultWithItsDrawingAndRecord) {
    const Response r = handle({"POST", "/api/verify", ferrolit::cli::kExampleSection, "application/json"}, kOptions);
    ASSERT_EQ(r.status, 200) << r.body;
    const json body = json::parse(r.body);
    EXPECT_TRUE(body.at("result").at("verified").get<bool>());
    EXPECT_EQ(body.at("result").at("section").at("bars").size(), 5U);  // 3f20 and the code's 2 top bars
    EXPECT_NE(body.at("domains_svg").get<std::string>().find("<svg"), std::string::npos);
    EXPECT_NE(body.at("record_html").get<std::string>().find("<html"), std::string::npos);
}

TEST(ServeCore, AFailedCheckIsAResultNotAnError) {
    const Response r = handle({"POST", "/api/verify", replaced(kBeam, "100", "400"), "application/json"}, kOptions);
    ASSERT_EQ(r.status, 200) << r.body;
    EXPECT_FALSE(json::parse(r.body).at("result").at("verified").get<bool>());
}

TEST(ServeCore, DesignChoosesTheMissingBars) {
    const Response r =
        handle({"POST", "/api/design", replaced(kBeam, "\"stringaAs_inf\": \"3f20\",", ""), ""}, kOptions);
    ASSERT_EQ(r.status, 200) << r.body;
    const json result = json::parse(r.body).at("result");
    EXPECT_TRUE(result.at("verified").get<bool>());
    EXPECT_EQ(result.at("section").at("layers").at(0).at("origin"), "progetto");
}

TEST(ServeCore, RecordIsADownloadForOneSectionOrABatch) {
    const Response one = handle({"POST", "/api/record", ferrolit::cli::kExampleSection, ""}, kOptions);
    ASSERT_EQ(one.status, 200);
    EXPECT_EQ(one.content_type, "text/html; charset=utf-8");
    EXPECT_EQ(header(one, "Content-Disposition"), "attachment; filename=\"relazione-T1.html\"");
    // A batch keeps its good sections beside the bad line's error.
    std::string batch = json::parse(kBeam).dump() + "\n{\"Base\": \"x\"}\n";
    const Response many = handle({"POST", "/api/record", batch, "application/x-ndjson"}, kOptions);
    ASSERT_EQ(many.status, 200) << many.body;
    EXPECT_EQ(header(many, "Content-Disposition"), "attachment; filename=\"relazione-sezioni.html\"");
}

TEST(ServeCore, KeyOfMessage) {
    using ferrolit::cli::serve::key_of_message;
    EXPECT_EQ(key_of_message("chiave \"Base\": tipo errato"), "Base");
    EXPECT_EQ(key_of_message("a.json:3: chiave \"combinazioni[2].My\": tipo errato"), "combinazioni[2].My");
    EXPECT_EQ(key_of_message("JSON non valido: parse error"), "");
    EXPECT_EQ(key_of_message("chiave \"senza fine"), "");
}

}  // namespace
