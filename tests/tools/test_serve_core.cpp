// The web server's core: every route, and the 4xx answers of bad requests
// with their Italian message and the input key they name.

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <mutex>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>
#include <vector>

#include "common/example.hpp"
#include "serve/connection_pool.hpp"
#include "serve/server_core.hpp"
#include "serve/work_pool.hpp"

namespace {

using ferrolit::cli::serve::handle;
using ferrolit::cli::serve::Request;
using ferrolit::cli::serve::Response;
using nlohmann::json;

const ferrolit::cli::serve::ServerOptions kOptions{"test"};

// A beam that the reader accepts, for the variants below.
const std::string kBeam = R"({"Base": 300, "Altezza": 500, "Copriferro_Inf": 60, "Copriferro_Sup": 60,
  "ClasseCls": "C25/30", "ClasseAcciaio": "B450C", "stringaAs_inf": "3f20",
  "combinazioni": [{"nome": "A", "tipo": "SLU", "My": 100, "Vz": 50}]})";

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    return text.replace(text.find(from), from.size(), to);
}

std::string repeated(const std::string& text, int times) {
    std::string all;
    for (int i = 0; i < times; ++i) all += text;
    return all;
}

constexpr const char* kJson = "application/json";
constexpr const char* kLines = "application/x-ndjson";

Request post(const char* path, std::string body, const char* type = kJson) {
    return {"POST", path, std::move(body), type};
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
    const std::string big((4 << 20) + 1, ' ');
    const Case cases[] = {
        {"unknown path", {"GET", "/etc/passwd", "", ""}, 404, "indirizzo sconosciuto", nullptr},
        {"no trailing match", {"GET", "/api/verify/", "", ""}, 404, "indirizzo sconosciuto", nullptr},
        {"wrong method on the API", {"DELETE", "/api/verify", kBeam, kJson}, 405, "usare POST", nullptr},
        {"GET of a POST endpoint", {"GET", "/api/record", "", ""}, 405, "usare POST", nullptr},
        {"POST of the page", post("/", kBeam), 405, "usare GET", nullptr},
        {"bad JSON", post("/api/verify", "{\"Base\": "), 400, "JSON non valido", nullptr},
        {"decimal comma", post("/api/verify", replaced(kBeam, "300,", "300,5,")), 400, "virgola decimale", nullptr},
        {"text for a number", post("/api/verify", replaced(kBeam, "300", "\"trecento\"")), 400, "tipo errato", "Base"},
        {"bad bar text", post("/api/verify", replaced(kBeam, "3f20", "3x20")), 400, "3f20+2f16", "stringaAs_inf"},
        {"combination force", post("/api/design", replaced(kBeam, "100", "\"cento\"")), 400, "tipo errato",
         "combinazioni[1].My"},
        {"no concrete", post("/api/record", replaced(kBeam, "\"ClasseCls\": \"C25/30\",", "")), 400,
         "manca il calcestruzzo", "ClasseCls"},
        {"too large", post("/api/verify", big), 413, "troppo grande", nullptr},
        // What a cross-site form or a fetch without a preflight can send.
        {"form data", post("/api/verify", kBeam, "application/x-www-form-urlencoded"), 415, "application/json",
         nullptr},
        {"text", post("/api/verify", kBeam, "text/plain;charset=UTF-8"), 415, "text/plain", nullptr},
        {"multipart", post("/api/design", kBeam, "multipart/form-data; boundary=x"), 415, "tipo", nullptr},
        {"no type", post("/api/record", kBeam, ""), 415, "application/json", nullptr},
        {"501 sections", post("/api/record", repeated("{}\n", 501), kLines), 413, "al massimo 500", nullptr},
        {"JSON Lines only for the record", post("/api/verify", kBeam, kLines), 415, "tipo di contenuto", nullptr},
        {"empty batch", post("/api/record", "\n\n", kLines), 400, "nessuna sezione", nullptr},
        {"members without a model", post("/api/members", "[]"), 400, "{\"modello\"", nullptr},
        // The server reads no file a request names.
        {"members' forces by path", post("/api/members", R"({"modello": {"sollecitazioni": "/etc/passwd"}})"), 400,
         "aprire il file CSV", "sollecitazioni"},
        {"members' CSV not a text", post("/api/members", R"({"modello": {}, "sollecitazioni": 3})"), 400, "testo CSV",
         "sollecitazioni"},
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
        {"/ferrolit.js", "text/javascript; charset=utf-8", "make web"},
        {"/api/example", "application/json; charset=utf-8", "\"combinazioni\""},
        // The lists come from the library's tables.
        {"/api/names", "application/json; charset=utf-8", "\"SLE quasi permanente\""},
        {"/api/names", "application/json; charset=utf-8", "\"C90/105\""},
        {"/api/names", "application/json; charset=utf-8", "\"T rovescia\""},
        {"/api/names", "application/json; charset=utf-8", "\"anulare\":\"annulus\""},
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
    const Response r = handle(post("/api/verify", ferrolit::cli::kExampleSection), kOptions);
    ASSERT_EQ(r.status, 200) << r.body;
    const json body = json::parse(r.body);
    EXPECT_TRUE(body.at("result").at("verified").get<bool>());
    EXPECT_EQ(body.at("result").at("section").at("bars").size(), 5U);  // 3f20 and the code's 2 top bars
    EXPECT_NE(body.at("domains_svg").get<std::string>().find("<svg"), std::string::npos);
    EXPECT_NE(body.at("record_html").get<std::string>().find("<html"), std::string::npos);
}

TEST(ServeCore, AFailedCheckIsAResultNotAnError) {
    const Response r = handle(post("/api/verify", replaced(kBeam, "100", "400")), kOptions);
    ASSERT_EQ(r.status, 200) << r.body;
    EXPECT_FALSE(json::parse(r.body).at("result").at("verified").get<bool>());
}

TEST(ServeCore, DesignChoosesTheMissingBars) {
    const Response r = handle(post("/api/design", replaced(kBeam, "\"stringaAs_inf\": \"3f20\",", "")), kOptions);
    ASSERT_EQ(r.status, 200) << r.body;
    const json result = json::parse(r.body).at("result");
    EXPECT_TRUE(result.at("verified").get<bool>());
    EXPECT_EQ(result.at("section").at("layers").at(0).at("origin"), "progetto");
}

TEST(ServeCore, RecordIsADownloadForOneSectionOrABatch) {
    const Response one = handle(post("/api/record", ferrolit::cli::kExampleSection), kOptions);
    ASSERT_EQ(one.status, 200);
    EXPECT_EQ(one.content_type, "text/html; charset=utf-8");
    EXPECT_EQ(header(one, "Content-Disposition"), "attachment; filename=\"relazione-T1.html\"");
    // A batch keeps its good sections beside the bad line's error.
    std::string batch = json::parse(kBeam).dump() + "\n{\"Base\": \"x\"}\n";
    const Response many = handle(post("/api/record", batch, kLines), kOptions);
    ASSERT_EQ(many.status, 200) << many.body;
    EXPECT_EQ(header(many, "Content-Disposition"), "attachment; filename=\"relazione-sezioni.html\"");
    // 500 sections are allowed, with or without a final newline.
    for (const char* end : {"", "\n", "\n\n"}) {
        std::string five_hundred = repeated("{}\n", 499) + "{}" + end;
        EXPECT_EQ(handle(post("/api/record", five_hundred, kLines), kOptions).status, 200) << end;
    }
}

TEST(ServeCore, OnlyThePageItselfMayAsk) {
    const ferrolit::cli::serve::ServerOptions options{"test", 8765};
    struct Case {
        const char* host;
        const char* origin;
        int status;  // 0: served
    };
    const Case cases[] = {
        {"127.0.0.1:8765", "", 0},
        {"localhost:8765", "", 0},
        {"LocalHost:8765", "http://localhost:8765", 0},
        {"127.0.0.1:8765", "http://127.0.0.1:8765", 0},
        // A name rebound to 127.0.0.1 by its DNS, another port, no port, no Host.
        {"evil.example:8765", "", 421},
        {"127.0.0.1:8766", "", 421},
        {"127.0.0.1", "", 421},
        {"localhost:8765.evil.example", "", 421},
        {"", "", 421},
        // Another page's script, a sandboxed frame, the right host over another scheme.
        {"127.0.0.1:8765", "http://evil.example", 403},
        {"127.0.0.1:8765", "null", 403},
        {"127.0.0.1:8765", "https://127.0.0.1:8765", 403},
        {"127.0.0.1:8765", "http://127.0.0.1:8765.evil.example", 403},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.host) + " / " + c.origin);
        const auto r = ferrolit::cli::serve::refusal(
            {"POST", "/api/verify", kBeam, "application/json", c.host, c.origin}, options);
        EXPECT_EQ(r ? r->status : 0, c.status);
        if (r) {
            EXPECT_EQ(header(*r, "X-Content-Type-Options"), "nosniff");
        }
    }
}

TEST(ServeCore, EveryAnswerCarriesItsPolicy) {
    struct Case {
        Request request;
        const char* policy;  // a part of Content-Security-Policy
        const char* cache;
    };
    const Case cases[] = {
        {{"GET", "/", "", ""}, "script-src 'self' 'wasm-unsafe-eval';", "no-cache"},
        {{"GET", "/app.js", "", ""}, "sandbox", "no-cache"},
        {{"GET", "/api/names", "", ""}, "default-src 'none'", "no-store"},
        {post("/api/verify", kBeam), "sandbox", "no-store"},
        {{"GET", "/nessuno", "", ""}, "sandbox", "no-store"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.request.path);
        const Response r = handle(c.request, kOptions);
        EXPECT_EQ(header(r, "X-Content-Type-Options"), "nosniff");
        EXPECT_NE(header(r, "Content-Security-Policy").find(c.policy), std::string::npos);
        EXPECT_EQ(header(r, "Cache-Control"), c.cache);
    }
    const Response full = ferrolit::cli::serve::busy("prova", 5);
    EXPECT_EQ(full.status, 503);
    EXPECT_EQ(header(full, "Retry-After"), "5");
}

TEST(ServeCore, MembersAnswerTheirProgressThenTheResultAndRecord) {
    const json model = {
        {"sezioni", {{"S", json::parse(kBeam)}}},
        {"membrature",
         {{{"id", "T1"}, {"sezione", "S"}, {"tipo", "trave"}}, {{"id", "T2"}, {"sezione", "S"}, {"tipo", "trave"}}}}};
    json section = json::parse(kBeam);
    section.erase("combinazioni");
    json request = {{"modello", model},
                    {"sollecitazioni",
                     "membratura;ascissa;combinazione;tipo;My;Vz\n"
                     "T1;0;A;SLU;60;30\nT1;2,5;A;SLU;-15;10\nT2;0;A;SLU;400;0\n"}};
    request["modello"]["sezioni"]["S"] = section;
    const Response r = handle(post("/api/members", request.dump()), kOptions);
    ASSERT_EQ(r.status, 200) << r.body;
    EXPECT_EQ(r.content_type, "application/x-ndjson; charset=utf-8");
    std::vector<json> lines;
    for (std::size_t at = 0, end; (end = r.body.find('\n', at)) != std::string::npos; at = end + 1)
        lines.push_back(json::parse(r.body.substr(at, end - at)));
    ASSERT_EQ(lines.size(), 3U);  // 50 %, 100 %, the result
    EXPECT_EQ(lines[0], json({{"fatte", 1}, {"totale", 2}}));
    const json& result = lines[2].at("risultato");
    EXPECT_FALSE(result.at("verified").get<bool>());  // T2's 400 kNm
    EXPECT_TRUE(result.at("members").at(0).at("verified").get<bool>());
    EXPECT_NE(lines[2].at("relazione_html").get<std::string>().find("membratura-2"), std::string::npos);
    // A model that cannot be used as a whole: its message is the last line.
    const Response bad =
        handle(post("/api/members", R"({"modello": {"membrature": 3}, "sollecitazioni": "x"})"), kOptions);
    EXPECT_TRUE(json::parse(bad.body.substr(0, bad.body.size() - 1)).contains("errore")) << bad.body;
}

TEST(ServeCore, LongRequestsAreTheDesignAndTheRecord) {
    using ferrolit::cli::serve::is_heavy;
    EXPECT_TRUE(is_heavy({"POST", "/api/design", "", ""}));
    EXPECT_TRUE(is_heavy({"POST", "/api/record", "", ""}));
    EXPECT_TRUE(is_heavy({"POST", "/api/members", "", ""}));
    EXPECT_FALSE(is_heavy({"POST", "/api/verify", "", ""}));
    EXPECT_FALSE(is_heavy({"GET", "/api/record", "", ""}));
    EXPECT_FALSE(is_heavy({"GET", "/", "", ""}));
}

TEST(ServePools, LongWorkIsQueuedBoundedAndTimed) {
    using ferrolit::cli::serve::WorkPool;
    using Outcome = WorkPool::Outcome;
    using namespace std::chrono_literals;
    std::promise<void> release, started;
    const std::shared_future<void> gate = release.get_future().share();
    WorkPool pool(1, 1);
    std::atomic<int> ran{0};
    std::thread holder([&] {
        const auto hold = [&, gate] {
            started.set_value();
            gate.wait();
            ++ran;
        };
        EXPECT_EQ(pool.run(hold, 60s), Outcome::Done);
    });
    started.get_future().wait();
    // The worker is held: a job waits past its budget and leaves the queue unrun.
    EXPECT_EQ(pool.run([&] { ran += 10; }, 20ms), Outcome::Late);
    // One job waiting fills the queue.
    std::thread waiter([&] {
        Outcome o;
        while ((o = pool.run([&] { ran += 100; }, 60s)) == Outcome::Full) std::this_thread::yield();
        EXPECT_EQ(o, Outcome::Done);
    });
    while (pool.run([&] { ran += 1000; }, 0s) != Outcome::Full) std::this_thread::yield();
    release.set_value();
    holder.join();
    waiter.join();
    EXPECT_EQ(ran.load(), 101);
}

TEST(ServePools, OneClientNeverTakesEveryThread) {
    using ferrolit::cli::serve::ConnectionPool;
    std::promise<void> release;
    const std::shared_future<void> gate = release.get_future().share();
    std::mutex mutex;
    std::vector<int> served;
    std::promise<void> b_served;
    ConnectionPool pool({3, 10, 2}, [&](int connection) {
        {
            const std::lock_guard lock(mutex);
            served.push_back(connection);
        }
        if (connection == 100) b_served.set_value();
        gate.wait();
    });
    for (int a = 1; a <= 4; ++a) ASSERT_TRUE(pool.admit(a, "127.0.0.1"));
    ASSERT_TRUE(pool.admit(100, "127.0.0.2"));
    // Client b is served while a's third and fourth connections wait for a's own.
    ASSERT_EQ(b_served.get_future().wait_for(std::chrono::seconds(10)), std::future_status::ready);
    EXPECT_TRUE(pool.others_waiting());
    // a's first two reach the handler too, though their threads may start after b's.
    const auto served_now = [&] {
        const std::lock_guard lock(mutex);
        return served.size();
    };
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (served_now() < 3 && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    EXPECT_EQ(served_now(), 3U);
    release.set_value();
}

}  // namespace
