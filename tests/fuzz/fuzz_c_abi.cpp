// Fuzz target: the late-bound calls of the C interface (ferrolit.h).
//
// The input is a byte stream read as a sequence of operations on a small
// table of handles: create and release objects, take more references, read,
// write and call members by name, query the type information, install hooks
// and build a whole realistic section in one step (so that the later calls
// find sections worth computing). Member names are mostly the real ones of
// the handle's class, sometimes another class's or random text; arguments
// are mostly of the declared types and number, sometimes not; the target is
// a live handle or NULL, the one invalid handle the interface promises to
// detect (released handles are dropped from the table, never reused).
//
// After every call: the status is a documented one and not an internal
// failure, it is the thread's last status with a description, a failure
// wrote nothing into the arguments or the result, and a success wrote
// values of the declared types and left the input arguments alone.

#include <algorithm>
#include <array>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <limits>
#include <string>
#include <vector>

#include "ferrolit/ferrolit.h"
#include "fuzz_check.hpp"

namespace {

constexpr std::size_t kSlots = 8;
constexpr int kMaxOperations = 256;
// The domain sweep is the one costly member; a few per input keep the
// executions fast.
constexpr int kMaxDomainCalls = 3;

// Reads the input front to back; past its end every read gives 0.
class Bytes {
public:
    Bytes(const std::uint8_t* data, std::size_t size) : data_(data), size_(size) {}
    bool empty() const { return pos_ >= size_; }
    std::uint8_t byte() { return pos_ < size_ ? data_[pos_++] : 0; }
    // A small signed number, −128 to 127.
    std::int32_t small() { return static_cast<std::int32_t>(byte()) - 128; }
    std::uint32_t u32() {
        std::uint32_t x = 0;
        for (int i = 0; i < 4; ++i) x = x << 8 | byte();
        return x;
    }
    template <class T, std::size_t N>
    const T& pick(const T (&table)[N]) {
        return table[byte() % N];
    }
    std::string text(std::size_t longest) {
        const std::size_t n = std::min<std::size_t>(byte() % (longest + 1), size_ - std::min(pos_, size_));
        std::string s(reinterpret_cast<const char*>(data_ + pos_), n);
        pos_ += n;
        return s;
    }

private:
    const std::uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

const float kSingles[] = {0,        1,         -1,       0.5f,    2,      8,        10,        12,
                          16,       20,        25,       30,      40,     45,       90,        100,
                          150,      250,       300,      391.3f,  450,    500,      600,       800,
                          1000,     5000,      31476,    200000,  0.002f, 0.0035f,  0.0675f,   0.00196f,
                          1.5f,     1.15f,     0.85f,    14.17f,  2.56f,  0.1f,     1e-30f,    1e30f,
                          -1e30f,   FLT_MAX,   -FLT_MAX, FLT_MIN, 1e-45f, 32767.5f, -32768.5f, 2147483648.0f,
                          INFINITY, -INFINITY, NAN};
const std::int16_t kInt16s[] = {0, 1, 2, 3, 4, 5, 6, 12, 16, 20, 24, 30, 32, 100, -1, 32767, -32768};
constexpr std::int32_t kInt32Max = std::numeric_limits<std::int32_t>::max();
const std::int32_t kInt32s[] = {0, 1, 2, 3, 4, 5, -1, 1000, 32767, 32768, kInt32Max, -kInt32Max - 1};
const char* const kTexts[] = {
    "",     "Y",   "Z",     "y",      "Trave", "Pilastro", "trave",      "3f16+2f12",  "4F20",    "2 f 14 + 1 f 10",
    "3ø16", "f16", "3f16+", "C25/30", "B450C", "T1",       "Collection", "clsSezRett", "clsSezT", "clsGenVerSez"};
const ferrolit_status kDocumented[] = {FERROLIT_OK,
                                       FERROLIT_E_INVALID_OPERATION,
                                       FERROLIT_E_OVERFLOW,
                                       FERROLIT_E_OUT_OF_MEMORY,
                                       FERROLIT_E_INVALID_INDEX,
                                       FERROLIT_E_DIVISION_BY_ZERO,
                                       FERROLIT_E_TYPE_MISMATCH,
                                       FERROLIT_E_INTERNAL,
                                       FERROLIT_E_OBJECT_REQUIRED,
                                       FERROLIT_E_CANNOT_CREATE,
                                       FERROLIT_E_MEMBER_NOT_FOUND,
                                       FERROLIT_E_ARGUMENT_COUNT};

// FERROLIT_FUZZ_TRACE=1 lists every call and its status, and the message
// boxes and beeps, on standard error: to read what an input does.
const bool kTrace = std::getenv("FERROLIT_FUZZ_TRACE") != nullptr;

// ---- hooks: they must receive readable texts ----

void on_message_box(const char* text, const char* title, void* reenter) {
    FUZZ_CHECK(text != nullptr && title != nullptr, "message box");
    volatile std::size_t n = std::strlen(text) + std::strlen(title);
    (void)n;
    if (kTrace) std::fprintf(stderr, "message box: %s\n", title);
    // A handler may call the library again, even to replace itself.
    if (reenter != nullptr)
        FUZZ_CHECK(ferrolit_set_message_box_handler(on_message_box, reenter) == FERROLIT_OK, "handler");
}

void on_beep(void*) {
    if (kTrace) std::fprintf(stderr, "beep\n");
}

// ---- the handles the operations work on ----

struct Handles {
    std::array<ferrolit_object*, kSlots> slot{};
    ~Handles() {
        for (ferrolit_object* h : slot) ferrolit_release(h);
    }
    // Takes over one reference.
    void put(std::size_t i, ferrolit_object* h) {
        ferrolit_release(slot[i % kSlots]);
        slot[i % kSlots] = h;
    }
    ferrolit_object* at(std::uint8_t i) const { return slot[i % kSlots]; }
    // A handle or, now and then, NULL.
    ferrolit_object* any(Bytes& in) const {
        const std::uint8_t b = in.byte();
        return b >= 240 ? nullptr : at(b);
    }
};

// Keeps alive what the host's own values point to during one call.
struct Arena {
    std::deque<std::string> texts;
    std::deque<std::vector<float>> arrays;
};

ferrolit_value make_value(Bytes& in, std::int32_t type, Arena& arena, const Handles& handles) {
    ferrolit_value v = FERROLIT_VALUE_EMPTY;
    v.type = type;
    switch (type) {
        case FERROLIT_TYPE_EMPTY:
            break;
        case FERROLIT_TYPE_SINGLE: {
            if (in.byte() < 64) {
                const std::uint32_t bits = in.u32();
                std::memcpy(&v.u.single, &bits, sizeof bits);
            } else {
                v.u.single = in.pick(kSingles);
            }
            break;
        }
        case FERROLIT_TYPE_INT16:
            v.u.int16 = in.byte() < 64 ? static_cast<std::int16_t>(in.u32()) : in.pick(kInt16s);
            break;
        case FERROLIT_TYPE_INT32:
            v.u.int32 = in.byte() < 64 ? static_cast<std::int32_t>(in.u32()) : in.pick(kInt32s);
            break;
        case FERROLIT_TYPE_BOOL:
            v.u.boolean = in.byte();  // anything non-zero is true
            break;
        case FERROLIT_TYPE_STRING:
            if (in.byte() < 64)
                v.u.string = arena.texts.emplace_back(in.text(48)).c_str();
            else
                v.u.string = in.pick(kTexts);
            break;
        case FERROLIT_TYPE_OBJECT:
            v.u.object = handles.any(in);
            break;
        case FERROLIT_TYPE_SINGLE_ARRAY: {
            std::vector<float>& data = arena.arrays.emplace_back(in.byte() % 6);
            for (float& x : data) x = in.pick(kSingles);
            v.u.array.data = data.data();
            v.u.array.count = static_cast<std::int32_t>(data.size());
            break;
        }
        default:  // a tag no value has
            break;
    }
    return v;
}

// A type as declared, or now and then any other tag (8 is no type at all).
std::int32_t argument_type(Bytes& in, std::int32_t declared) {
    const std::uint8_t b = in.byte();
    return b < 208 ? declared : b % 9;
}

bool documented(ferrolit_status s) {
    return std::find(std::begin(kDocumented), std::end(kDocumented), s) != std::end(kDocumented);
}

void touch(const ferrolit_value& v, const std::string& context) {
    if (v.type == FERROLIT_TYPE_STRING) {
        FUZZ_CHECK(v.u.string != nullptr, context);
        volatile std::size_t n = std::strlen(v.u.string);
        (void)n;
    } else if (v.type == FERROLIT_TYPE_SINGLE_ARRAY) {
        FUZZ_CHECK(v.u.array.count >= 0 && (v.u.array.count == 0 || v.u.array.data != nullptr), context);
        volatile float sum = 0;
        for (std::int32_t i = 0; i < v.u.array.count; ++i) sum = sum + v.u.array.data[i];
    }
}

// Whether a value is unchanged: its tag and the union's widest view, which
// spans the bytes of every other.
bool same_value(const ferrolit_value& a, const ferrolit_value& b) {
    return a.type == b.type && a.owned == b.owned && a.u.array.data == b.u.array.data &&
           a.u.array.count == b.u.array.count;
}

// Checks what every call reports about itself.
void check_status(ferrolit_status s, const std::string& context) {
    if (kTrace) std::fprintf(stderr, "%s -> %d %s\n", context.c_str(), s, ferrolit_last_error());
    FUZZ_CHECK(documented(s), context);
    FUZZ_CHECK(s != FERROLIT_E_INTERNAL, context + ": " + ferrolit_last_error());
    FUZZ_CHECK(ferrolit_last_status() == s, context);
    const char* description = ferrolit_last_error();
    FUZZ_CHECK(description != nullptr, context);
    FUZZ_CHECK((s == FERROLIT_OK) == (*description == '\0'), context);
}

// Whether a handle's class is the one a value was declared with ("" is any section).
bool class_fits(const ferrolit_object* object, const char* declared) {
    if (object == nullptr || declared == nullptr) return true;
    const std::string cls = ferrolit_class_of(object);
    if (*declared == '\0') return cls == "clsSezRett" || cls == "clsSezT";
    return cls == declared;
}

enum class Access { Get, Let, Call };

class Session {
public:
    explicit Session(Bytes& in) : in_(in) {}

    // One byte picks the operation; a call of a member comes up twice as often.
    void run() {
        static constexpr void (Session::*kOperations[])() = {&Session::create,      &Session::drop,
                                                             &Session::share,       &Session::member_call,
                                                             &Session::member_call, &Session::type_information,
                                                             &Session::hooks,       &Session::realistic_section};
        for (int n = 0; n < kMaxOperations && !in_.empty(); ++n) (this->*kOperations[in_.byte() % 8])();
    }

private:
    void create() {
        static const char* const kClasses[] = {"clsGenVerSez", "clsSezRett", "clsSezT", "Collection"};
        const std::uint8_t b = in_.byte();
        const std::string name = b < 224 ? kClasses[b % 4] : in_.text(16);
        ferrolit_object* h = nullptr;
        const ferrolit_status s = ferrolit_create(name.c_str(), &h);
        check_status(s, "create " + name);
        if (s == FERROLIT_OK) {
            FUZZ_CHECK(h != nullptr, name);
            FUZZ_CHECK(std::strcmp(name.c_str(), ferrolit_class_of(h)) == 0, name);
            handles_.put(in_.byte(), h);
        }
    }

    void drop() { handles_.put(in_.byte(), nullptr); }

    // Another reference to a handle, in another slot.
    void share() {
        ferrolit_object* h = handles_.at(in_.byte());
        if (h == nullptr) return;
        const std::int32_t count = ferrolit_retain(h);
        FUZZ_CHECK(count >= 2, "retain");
        const std::uint8_t to = in_.byte();
        if (handles_.at(to) == h) {  // the same slot: give the reference back
            FUZZ_CHECK(ferrolit_release(h) == count - 1, "release");
            return;
        }
        FUZZ_CHECK(ferrolit_same_object(h, h) == 1, "same object");
        handles_.put(to, h);
    }

    // A member of the target's class, of another class, or a made-up name.
    std::string member_name(const char* cls) {
        const std::uint8_t b = in_.byte();
        const std::int32_t own = ferrolit_member_count(cls);
        if (b < 216 && own > 0) return ferrolit_member_at(cls, in_.byte() % own)->name;
        if (b < 240) {
            const char* other = ferrolit_class_name(in_.byte() % ferrolit_class_count());
            return ferrolit_member_at(other, in_.byte() % ferrolit_member_count(other))->name;
        }
        return in_.text(24);
    }

    // One byte: get, let, call, or as the member is declared (a property
    // is read or written by the byte's bit 2).
    Access access_for(const ferrolit_member_info* m) {
        const std::uint8_t b = in_.byte();
        if (b % 4 != 0) return static_cast<Access>(b % 4 - 1);  // 1 get, 2 let, 3 call
        if (m == nullptr || (m->kind & FERROLIT_KIND_METHOD) != 0) return Access::Call;
        if ((m->kind & FERROLIT_KIND_LET) != 0 && (b & 4) != 0) return Access::Let;
        return Access::Get;
    }

    void member_call() {
        ferrolit_object* target = handles_.any(in_);
        const char* cls = ferrolit_class_of(target);
        const std::string name = member_name(cls);
        const std::int32_t index = ferrolit_member_find(cls, name.c_str());
        const ferrolit_member_info* m = index >= 0 ? ferrolit_member_at(cls, index) : nullptr;
        if (name.rfind("CalcolaNMDominio", 0) == 0 && ++domain_calls_ > kMaxDomainCalls) return;
        const Access access = access_for(m);
        if (access == Access::Let)
            let(target, name, m);
        else
            invoke(target, name, m, access);
    }

    void let(ferrolit_object* target, const std::string& name, const ferrolit_member_info* m) {
        Arena arena;
        const std::int32_t declared = m != nullptr ? m->result_type : FERROLIT_TYPE_SINGLE;
        const ferrolit_value value = make_value(in_, argument_type(in_, declared), arena, handles_);
        const ferrolit_value before = value;
        const bool no_value = in_.byte() >= 248;
        const std::string old = property_text(target, name.c_str());
        const ferrolit_status s = ferrolit_let(target, name.c_str(), no_value ? nullptr : &value);
        const std::string context = "let " + std::string(cls_of(target)) + "." + name;
        check_status(s, context);
        FUZZ_CHECK(same_value(value, before), context);
        if (s == FERROLIT_OK)
            FUZZ_CHECK(m != nullptr && (m->kind & FERROLIT_KIND_LET) != 0, context);
        else
            FUZZ_CHECK(property_text(target, name.c_str()) == old, context + ": a failed write changed the property");
    }

    // A property's value as text (its bits for numbers), or "" when it
    // cannot be read that way.
    static std::string property_text(ferrolit_object* target, const char* name) {
        ferrolit_value v = FERROLIT_VALUE_EMPTY;
        if (target == nullptr || ferrolit_get(target, name, nullptr, 0, &v) != FERROLIT_OK) return "";
        std::string text = std::to_string(v.type) + ":";
        switch (v.type) {
            case FERROLIT_TYPE_SINGLE: {
                std::uint32_t bits = 0;
                std::memcpy(&bits, &v.u.single, sizeof bits);
                text += std::to_string(bits);
                break;
            }
            case FERROLIT_TYPE_INT16:
                text += std::to_string(v.u.int16);
                break;
            case FERROLIT_TYPE_INT32:
            case FERROLIT_TYPE_BOOL:
                text += std::to_string(v.u.int32);
                break;
            case FERROLIT_TYPE_STRING:
                text += v.u.string;
                break;
            default:  // objects: a new handle each time, nothing to compare
                break;
        }
        ferrolit_value_clear(&v);
        return text;
    }

    void invoke(ferrolit_object* target, const std::string& name, const ferrolit_member_info* m, Access access) {
        const std::int32_t declared = m != nullptr ? m->arg_count : 0;
        const std::uint8_t b = in_.byte();
        const std::int32_t nargs = b < 224 ? declared : static_cast<std::int32_t>(b % 27) - 2;
        Arena arena;
        std::vector<ferrolit_value> args(static_cast<std::size_t>(std::max(nargs, 0)));
        for (std::int32_t i = 0; i < nargs; ++i) {
            const std::int32_t type = i < declared ? m->args[i].type : FERROLIT_TYPE_SINGLE;
            args[static_cast<std::size_t>(i)] = make_value(in_, argument_type(in_, type), arena, handles_);
        }
        const std::vector<ferrolit_value> before = args;
        ferrolit_value result = FERROLIT_VALUE_EMPTY;
        ferrolit_value* result_slot = in_.byte() < 32 ? nullptr : &result;
        const std::string context =
            (access == Access::Get ? "get " : "call ") + std::string(cls_of(target)) + "." + name;
        const ferrolit_status s = access == Access::Get
                                      ? ferrolit_get(target, name.c_str(), args.data(), nargs, result_slot)
                                      : ferrolit_call(target, name.c_str(), args.data(), nargs, result_slot);
        check_status(s, context);
        if (s != FERROLIT_OK) {
            for (std::size_t i = 0; i < args.size(); ++i) FUZZ_CHECK(same_value(args[i], before[i]), context);
            FUZZ_CHECK(result.type == FERROLIT_TYPE_EMPTY && result.owned == 0, context);
            return;
        }
        FUZZ_CHECK(m != nullptr && nargs == declared, context);
        for (std::int32_t i = 0; i < nargs; ++i) {
            const ferrolit_value& a = args[static_cast<std::size_t>(i)];
            if (m->args[i].is_output) {
                FUZZ_CHECK(a.type == m->args[i].type, context);
                touch(a, context);
            } else {
                FUZZ_CHECK(same_value(a, before[static_cast<std::size_t>(i)]), context);
            }
        }
        if (result_slot != nullptr) {
            FUZZ_CHECK(result.type == m->result_type, context);
            touch(result, context);
            if (result.type == FERROLIT_TYPE_OBJECT) {
                FUZZ_CHECK(class_fits(result.u.object, m->result_type_name), context);
                if (result.u.object != nullptr) {
                    // Keep the object: later operations work on it.
                    handles_.put(in_.byte(), result.u.object);
                    result = ferrolit_value{};
                }
            }
        }
        ferrolit_value_clear(&result);
        for (ferrolit_value& a : args) ferrolit_value_clear(&a);
    }

    static const char* cls_of(const ferrolit_object* h) { return h == nullptr ? "NULL" : ferrolit_class_of(h); }

    // The type information agrees with itself for any index or name.
    void type_information() {
        const std::int32_t classes = ferrolit_class_count();
        const std::int32_t i = in_.small();
        const char* cls = ferrolit_class_name(i);
        FUZZ_CHECK((cls != nullptr) == (i >= 0 && i < classes), "class_name");
        const std::string name = cls != nullptr ? std::string(cls) : in_.text(16);
        const std::int32_t count = ferrolit_member_count(name.c_str());
        const std::uint8_t high = in_.byte();
        const std::int32_t j = static_cast<std::int16_t>(high << 8 | in_.byte());
        const ferrolit_member_info* m = ferrolit_member_at(name.c_str(), j);
        FUZZ_CHECK((m != nullptr) == (count >= 0 && j >= 0 && j < count), "member_at " + name);
        if (m != nullptr) {
            FUZZ_CHECK(ferrolit_member_find(name.c_str(), m->name) == j, name + "." + m->name);
            FUZZ_CHECK(m->arg_count >= 0 && (m->arg_count == 0 || m->args != nullptr), m->name);
            for (std::int32_t a = 0; a < m->arg_count; ++a)
                FUZZ_CHECK(m->args[a].name != nullptr && m->args[a].type >= 0 && m->args[a].type <= 7, m->name);
        }
        FUZZ_CHECK(ferrolit_member_find(name.c_str(), nullptr) == -1, "member_find NULL");
        const std::int32_t e = in_.small();
        const std::int32_t k = in_.small();
        std::int32_t value = 0;
        const char* item = ferrolit_enum_value(e, k, &value);
        FUZZ_CHECK(
            (item != nullptr) == (e >= 0 && e < ferrolit_enum_count() && k >= 0 && k < ferrolit_enum_value_count(e)),
            "enum_value");
        FUZZ_CHECK((ferrolit_enum_name(e) != nullptr) == (e >= 0 && e < ferrolit_enum_count()), "enum_name");
    }

    void hooks() {
        const std::uint8_t b = in_.byte();
        ferrolit_status s = FERROLIT_OK;
        switch (b % 3) {
            case 0:
                s = ferrolit_set_message_box_handler(on_message_box, b & 4 ? &handles_ : nullptr);
                break;
            case 1:
                s = ferrolit_set_beep_handler(b & 4 ? on_beep : nullptr, nullptr);
                break;
            case 2:
                // '\0' goes back to the environment's separator.
                s = ferrolit_set_decimal_separator(static_cast<char>(in_.byte()));
                break;
        }
        check_status(s, "hooks");
    }

    // A checked call that must succeed.
    void must_call(ferrolit_object* target, const char* member, std::vector<ferrolit_value> args,
                   ferrolit_value* result = nullptr) {
        const ferrolit_status s =
            ferrolit_call(target, member, args.data(), static_cast<std::int32_t>(args.size()), result);
        check_status(s, member);
        FUZZ_CHECK(s == FERROLIT_OK, std::string(member) + ": " + ferrolit_last_error());
    }

    // A registry with a beam, column or T of usual sizes and materials
    // (actions and bars picked from the input), its section in a slot.
    void realistic_section() {
        ferrolit_object* registry = handles_.at(in_.byte());
        if (registry == nullptr || std::strcmp(ferrolit_class_of(registry), "clsGenVerSez") != 0) {
            FUZZ_CHECK(ferrolit_create("clsGenVerSez", &registry) == FERROLIT_OK, "create registry");
            handles_.put(in_.byte(), registry);
        }
        const bool tee = in_.byte() % 2 == 1;
        const char* kind = in_.byte() % 3 == 0 ? "Pilastro" : "Trave";
        const float med_y = in_.pick(kSingles), ned = in_.pick(kSingles), shear = in_.pick(kSingles);
        const auto s = ferrolit_single;
        const std::int16_t nmin = in_.pick(kInt16s), dmin = in_.pick(kInt16s), dmax = in_.pick(kInt16s);
        if (tee)
            must_call(registry, "CreaSezT",
                      {ferrolit_string(kind), ferrolit_string("T fuzz"), s(800), s(300), s(600), s(150), s(40), s(40),
                       s(med_y), s(0), s(ned), s(0), s(shear), ferrolit_int16(nmin), ferrolit_int16(dmin),
                       ferrolit_int16(dmax)});
        else
            must_call(registry, "CreaSezRett",
                      {ferrolit_string(kind), ferrolit_string("R fuzz"), s(300), s(500), s(40), s(40), s(med_y), s(0),
                       s(ned), s(0), s(shear), ferrolit_int16(nmin), ferrolit_int16(dmin), ferrolit_int16(dmax)});
        std::vector<ferrolit_value> materials{ferrolit_string("C25/30")};
        for (const float x :
             {30.0f, 25.0f, 1.5f, 0.85f, 33.0f, 2.56f, 1.8f, 3.3f, 31476.0f, 0.002f, 0.0035f, 14.17f, 1.19f})
            materials.push_back(s(x));
        materials.push_back(ferrolit_string("B450C"));
        for (const float x : {450.0f, 1.15f, 200000.0f, 391.3f, 0.0019565f, 0.0675f}) materials.push_back(s(x));
        must_call(registry, "CreaMateriale_Sezione", materials);
        ferrolit_value current = FERROLIT_VALUE_EMPTY;
        FUZZ_CHECK(ferrolit_get(registry, "SezioneCorrente", nullptr, 0, &current) == FERROLIT_OK, "current");
        ferrolit_value section = FERROLIT_VALUE_EMPTY;
        must_call(registry, tee ? "SezT" : "SezRet", {current}, &section);
        FUZZ_CHECK(section.type == FERROLIT_TYPE_OBJECT && section.u.object != nullptr, "section");
        if (in_.byte() % 2 == 0) {
            const ferrolit_value bars = ferrolit_string(in_.pick(kTexts));
            FUZZ_CHECK(ferrolit_let(section.u.object, "stringaAs_inf", &bars) == FERROLIT_OK, "bars");
            const ferrolit_value area = ferrolit_single(in_.pick(kSingles));
            check_status(ferrolit_let(section.u.object, "As_inf", &area), "As_inf");
        }
        handles_.put(in_.byte(), section.u.object);
    }

    Bytes& in_;
    Handles handles_;
    int domain_calls_ = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    // Process-wide settings start the same for every input.
    check_status(ferrolit_set_message_box_handler(on_message_box, nullptr), "message box handler");
    check_status(ferrolit_set_beep_handler(on_beep, nullptr), "beep handler");
    check_status(ferrolit_set_decimal_separator('.'), "decimal separator");
    Bytes in(data, size);
    Session(in).run();
    return 0;
}
