// Storing a job to its setup file and reading it back.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <map>
#include <regex>
#include <sstream>

#include "common/files.h"
#include "job/job_settings.h"
#include "job/setup_file.h"

namespace gleanery {
namespace {

// Every control moved away from its default.
void changeEverything(JobSettings& s) {
    for (const FieldSpec& c : s.controls()) {
        switch (c.kind) {
        case FieldKind::Text: s.setText(TextKey{c.name}, c.name + " value \xC3\xBC"); break;
        case FieldKind::Check: s.setChecked(CheckKey{c.name}, c.defaultValue != "1", c.index); break;
        case FieldKind::Option: break;
        case FieldKind::List: {
            const ListKey list{c.name};
            s.setListIndex(list, static_cast<int>(s.listItems(list).size()) / 2);
            break;
        }
        }
    }
    s.selectOption(Field::optBrowse, 0);
    // Hours whose last member differs from the rest, so the plain key alone
    // would restore them wrongly.
    s.setChecked(Field::chkHour, true, 23);
    s.setChecked(Field::chkHour, true, 5);
}

class SetupFileRoundTrip : public ::testing::Test {
protected:
    QTemporaryDir dir;
    std::string setup() const { return dir.filePath("site.glf").toStdString(); }
};

TEST_F(SetupFileRoundTrip, EveryControlComesBack) {
    JobSettings stored;
    changeEverything(stored);
    storeSettings(stored, setup());

    JobSettings restored;
    restoreSettings(restored, setup());
    for (const FieldSpec& c : stored.controls())
        EXPECT_EQ(restored.storedValue(c), stored.storedValue(c)) << c.name << ":" << c.index;
    EXPECT_EQ(restored.selectedOption(Field::optBrowse), 0);
    EXPECT_FALSE(restored.isEnabled(*restored.find(Field::chkRelative.name)));  // chkTranslate was unticked
}

// The shape other tools and older jobs read: one section, each key once,
// plain keys holding a group's last member.
TEST_F(SetupFileRoundTrip, TheFileIsPlainKeyValueLines) {
    JobSettings s;
    s.setChecked(Field::chkHour, false, 23);
    storeSettings(s, setup());

    std::stringstream lines(test::readFile(setup()));
    std::string line;
    ASSERT_TRUE(std::getline(lines, line));
    EXPECT_EQ(line, "[SETTINGS]");
    const std::regex keyValue("^([A-Za-z0-9]+(:[0-9]+)?)=(.*)$");
    std::map<std::string, std::string> values;
    for (std::smatch m; std::getline(lines, line);) {
        ASSERT_TRUE(std::regex_match(line, m, keyValue)) << line;
        EXPECT_TRUE(values.emplace(m[1], m[3]).second) << line;
    }
    EXPECT_EQ(values["optBrowse:1"], "True");
    EXPECT_EQ(values["optBrowse"], "False");
    EXPECT_EQ(values["chkHour:22"], "1");
    EXPECT_EQ(values["chkHour"], "0");
}

}  // namespace
}  // namespace gleanery
