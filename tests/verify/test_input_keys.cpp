// The key table against what it describes: the flat keys are members of the
// component's section with a value of the same kind, the creation and
// material keys follow the arguments of their operations, a misspelt key
// finds its neighbour, the README's table of keys is the one the table
// renders, and the page writes no key the table lacks.

#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include <ferrolit/ferrolit.h>

#include "verify/input/input_keys.hpp"

namespace {

using ferrolit::verification::InputKey;
using ferrolit::verification::KeyGroup;
using ferrolit::verification::KeyKind;
using ferrolit::verification::kInputKeys;

KeyKind kind_of_type(int32_t type) {
    if (type == FERROLIT_TYPE_STRING) return KeyKind::Text;
    if (type == FERROLIT_TYPE_INT16) return KeyKind::Integer;
    EXPECT_EQ(type, FERROLIT_TYPE_SINGLE);
    return KeyKind::Real;
}

std::vector<const InputKey*> keys_of(std::initializer_list<KeyGroup> groups) {
    std::vector<const InputKey*> keys;
    for (const InputKey& key : kInputKeys)
        for (KeyGroup g : groups)
            if (key.group == g) keys.push_back(&key);
    return keys;
}

const ferrolit_member_info* member(const char* cls, const char* name) {
    return ferrolit_member_at(cls, ferrolit_member_find(cls, name));
}

bool of_component(KeyGroup g) {
    return g == KeyGroup::Creation || g == KeyGroup::Flange || g == KeyGroup::Bars || g == KeyGroup::Stirrups ||
           g == KeyGroup::Section || g == KeyGroup::Materials;
}

TEST(InputKeys, FlatKeysAreWritableMembersOfTheirKind) {
    for (const InputKey& key : kInputKeys) {
        const std::string name(key.name);
        SCOPED_TRACE(name);
        const ferrolit_member_info* m = member("clsSezT", name.c_str());
        if (!of_component(key.group)) continue;
        ASSERT_NE(m, nullptr);
        EXPECT_TRUE(m->kind & FERROLIT_KIND_LET);
        EXPECT_EQ(kind_of_type(m->result_type), key.kind);
    }
}

// The creation keys are the arguments of CreaSezT, in order; the material
// keys are those of CreaMateriale_Sezione, by name.
TEST(InputKeys, CreationAndMaterialKeysFollowTheArguments) {
    const struct {
        const char* operation;
        std::vector<const InputKey*> keys;
        bool same_names;
    } cases[] = {
        {"CreaSezRett", keys_of({KeyGroup::Creation}), false},
        {"CreaSezT", keys_of({KeyGroup::Creation, KeyGroup::Flange}), false},
        {"CreaMateriale_Sezione", keys_of({KeyGroup::Materials}), true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.operation);
        const ferrolit_member_info* m = member("clsGenVerSez", c.operation);
        ASSERT_NE(m, nullptr);
        ASSERT_EQ(m->arg_count, static_cast<int32_t>(c.keys.size()));
        std::vector<KeyKind> argument_kinds, key_kinds;
        for (int32_t i = 0; i < m->arg_count; ++i) {
            if (c.same_names) {
                EXPECT_EQ(m->args[i].name, c.keys[static_cast<std::size_t>(i)]->name);
            }
            argument_kinds.push_back(kind_of_type(m->args[i].type));
        }
        for (const InputKey* key : c.keys) key_kinds.push_back(key->kind);
        if (std::string(c.operation) != "CreaSezT") {
            EXPECT_EQ(argument_kinds, key_kinds);  // the T inserts its flange among the others
        }
    }
}

TEST(InputKeys, NamesAreUniqueWithinTheirScope) {
    for (const InputKey& key : kInputKeys) {
        SCOPED_TRACE(std::string(key.name));
        const auto scope = ferrolit::verification::is_top_level(key.group) ? std::nullopt : std::optional(key.group);
        EXPECT_EQ(ferrolit::verification::find_key(key.name, scope), &key);
    }
}

TEST(InputKeys, MisspeltKeysFindTheirNeighbour) {
    using ferrolit::verification::nearest_key;
    EXPECT_EQ(nearest_key("Bsae"), "Base");
    EXPECT_EQ(nearest_key("altezza"), "Altezza");
    EXPECT_EQ(nearest_key("combinazione"), "combinazioni");
    EXPECT_EQ(nearest_key("tpo", KeyGroup::Combination), "tipo");
    EXPECT_EQ(nearest_key("Totalmente diverso"), "");
}

std::string file_text(const std::string& path) {
    std::ifstream file(path);
    EXPECT_TRUE(file) << path;
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

TEST(InputKeys, ReadmeShowsTheTable) {
    const std::string table = ferrolit::verification::key_table_markdown();
    EXPECT_NE(file_text(FERROLIT_README).find(table), std::string::npos)
        << "README.md should hold this table of keys:\n"
        << table;
}

// Every input key the page writes is in the table: its fields' data-key
// attributes, the keys its code names, and the lists of keys it holds.
TEST(InputKeys, ThePageUsesOnlyKeysOfTheTable) {
    const struct {
        const char* file;
        const char* pattern;  // the first group: a key, or a list of quoted keys
        std::optional<KeyGroup> group;
        std::size_t least;  // matches expected at least, so that a reworded page is noticed
    } sources[] = {
        {"index.html", R"re(data-key="(\w+)")re", std::nullopt, 23},
        {"index.html", R"re(data-seismic="(\w+)")re", KeyGroup::Seismic, 10},
        {"app.js", R"([^.\w]section\.(\w+))", std::nullopt, 8},
        {"app.js", R"(const PROFILE_KEYS = \[([^\]]*)\])", std::nullopt, 1},
        {"app.js", R"(combination\.(\w+))", KeyGroup::Combination, 2},
        {"app.js", R"(const FORCES = \[([^\]]*)\])", KeyGroup::Combination, 1},
    };
    const std::regex quoted(R"('(\w+)')");
    for (const auto& s : sources) {
        SCOPED_TRACE(std::string(s.file) + " " + s.pattern);
        const std::string text = file_text(std::string(FERROLIT_WEB) + "/" + s.file);
        const std::regex pattern(s.pattern);
        std::size_t found = 0;
        for (auto m = std::sregex_iterator(text.begin(), text.end(), pattern); m != std::sregex_iterator(); ++m) {
            ++found;
            const std::string match = (*m)[1];
            std::vector<std::string> keys;
            for (auto q = std::sregex_iterator(match.begin(), match.end(), quoted); q != std::sregex_iterator(); ++q)
                keys.push_back((*q)[1]);
            if (keys.empty()) keys.push_back(match);
            for (const std::string& key : keys)
                EXPECT_NE(ferrolit::verification::find_key(key, s.group), nullptr) << key;
        }
        EXPECT_GE(found, s.least);
    }
}

}  // namespace
