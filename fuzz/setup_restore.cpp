// A job's setup file of any bytes read into the job's settings.
//
// Invariants: after restoreSettings every control holds a value it can hold
// (a check box or option its two stored forms, a list an index of one of its
// items or none, a text without NUL, line breaks or blanks at its ends, never
// the "missing" marker), at most one option of a group is selected, and storing the settings and restoring them into a fresh job
// gives the same values; restoring that stored file again changes nothing.

#include <fstream>

#include "fuzz_support.h"
#include "job/job_settings.h"
#include "job/setup_file.h"
#include "support/text.h"

using namespace gleanery;
using namespace gleanery::fuzz;
namespace fs = std::filesystem;

namespace {

struct Files {
    Files()
        : root(makeSandbox("setup_restore")),
          fuzzed((root / "fuzzed.glf").string()),
          stored((root / "stored.glf").string()) {}
    fs::path root;
    std::string fuzzed, stored;
};

const Files& files() {
    static const Files f;
    return f;
}

void checkValues(const JobSettings& settings) {
    for (const FieldSpec& control : settings.controls()) {
        const std::string value = settings.storedValue(control);
        switch (control.kind) {
        case FieldKind::Text:
            FUZZ_REQUIRE(value.find_first_of(std::string_view("\0\r\n", 3)) == std::string::npos,
                         "a restored text holds no NUL or line break", control.name + " = " + shown(value));
            FUZZ_REQUIRE(value.empty() || (value.front() != ' ' && value.back() != ' '),
                         "a restored text has no blanks at its ends", control.name + " = " + shown(value));
            FUZZ_REQUIRE(value != "***BLANK***", "the missing marker is never a value", control.name);
            break;
        case FieldKind::Check:
            FUZZ_REQUIRE(value == "0" || value == "1", "a check box is 0 or 1", control.name + " = " + shown(value));
            break;
        case FieldKind::Option:
            FUZZ_REQUIRE(value == "True" || value == "False", "an option is True or False", control.name);
            break;
        case FieldKind::List: {
            const ListKey list{control.name};
            const int index = settings.listIndex(list);
            FUZZ_REQUIRE(index >= -1 && index < int(settings.listItems(list).size()),
                         "a list index names an item or none", control.name + " = " + value);
            FUZZ_REQUIRE(value == decimal(index), "a list stores its index", control.name);
            break;
        }
        }
    }
    const int browse = settings.selectedOption(Field::optBrowse);
    int selected = 0;
    for (const FieldSpec& control : settings.controls())
        if (control.kind == FieldKind::Option && settings.storedValue(control) == "True") ++selected;
    FUZZ_REQUIRE(selected <= 1 && (selected == 0) == (browse == -1), "at most one option is selected",
                 std::to_string(selected));
}

void requireSame(const JobSettings& a, const JobSettings& b, std::string_view invariant) {
    for (std::size_t i = 0; i < a.controls().size(); ++i) {
        const FieldSpec& control = a.controls()[i];
        const std::string was = a.storedValue(control), is = b.storedValue(b.controls()[i]);
        FUZZ_REQUIRE(was == is, invariant,
                     control.name + (control.isGroupMember() ? ":" + decimal(control.index) : "") + ": " + shown(was) +
                         " -> " + shown(is));
    }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    makeApplication();
    files();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const Files& f = files();
    {
        std::ofstream out(f.fuzzed, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), std::streamsize(size));
    }
    JobSettings restored;
    restoreSettings(restored, f.fuzzed);
    checkValues(restored);

    fs::remove(f.stored);
    storeSettings(restored, f.stored);
    JobSettings again;
    restoreSettings(again, f.stored);
    requireSame(restored, again, "stored settings restore to the same values");
    restoreSettings(again, f.stored);
    requireSame(restored, again, "restoring the same file twice changes nothing");
    return 0;
}
