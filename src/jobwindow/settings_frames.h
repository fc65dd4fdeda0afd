#pragma once
// The five frames of the job's settings, each field at its place with its
// caption, bound to the job's settings.

#include <array>

class QLineEdit;
class QPushButton;
class QWidget;

namespace gleanery {

class JobSettings;

inline constexpr int kHourCount = 24;

struct SettingsFrames {
    QLineEdit* txtLocation = nullptr;
    std::array<QPushButton*, 2> cmdSetLocation{};  // primary and secondary folder
    std::array<QWidget*, kHourCount> chkHour{};
};

SettingsFrames buildSettingsFrames(JobSettings& settings, QWidget& window);

// The hour boxes in four rows and six columns, hours running down the columns.
void placeHourGrid(const std::array<QWidget*, kHourCount>& chkHour);

}  // namespace gleanery
