#include "jobwindow/settings_frames.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <map>
#include <string>
#include <string_view>

#include "job/job_settings.h"
#include "jobwindow/field_binding.h"
#include "jobwindow/twip_box.h"

namespace gleanery {

namespace {

constexpr int kRowHeight = 285;
constexpr int kLabelDrop = 45;  // a caption sits level with the text of its field
constexpr int kLabelHeight = 255;

struct FrameSpec {
    const char* caption;
    TwipBox box;
};

const FrameSpec kFrames[] = {
    {"Site Parameters", {120, 120, 9255, 2835}},
    {"Output Locations", {120, 3060, 9255, 1335}},
    {"Download Limits / Options", {120, 4500, 6405, 1335}},
    {"Scan Restrictions", {6630, 4500, 2745, 2400}},
    {"Time Restrictions", {120, 5940, 6405, 1815}},
    {"Politeness / Archive", {120, 7860, 9255, 1695}},
};

// Where a field sits in its frame; a text field or list shows its caption in
// a label to its left, starting at labelLeft and labelWidth wide.
struct Placement {
    std::string_view field;
    int index;
    TwipBox box;
    int labelLeft = 0, labelWidth = 0;
};

TwipBox row(int left, int top, int width, int height = kRowHeight) { return {left, top, width, height}; }

const Placement kPlacements[] = {
    {Field::txtLocation.name, -1, row(2160, 240, 6915), 120, 1995},
    {Field::txtName.name, -1, row(2160, 600, 2715), 120, 1995},
    {Field::txtPassword.name, -1, row(6180, 600, 2895), 5040, 1095},
    {Field::txtPageTypes.name, -1, row(2160, 960, 6915), 120, 1995},
    {Field::txtFileTypes.name, -1, row(2160, 1320, 6915), 120, 1995},
    {Field::txtFileTypesNon.name, -1, row(2160, 1680, 6915), 120, 1995},
    {Field::txtRequired.name, -1, row(2160, 2040, 6915), 120, 1995},
    {Field::chkScanExt.name, -1, row(120, 2160, 2055, 255)},
    {Field::chkTunnel.name, -1, row(2280, 2160, 1695, 255)},
    {Field::chkStorePages.name, -1, row(4080, 2160, 1695, 255)},
    {Field::chkAllowParameters.name, -1, row(5880, 2160, 3255, 255)},
    {Field::chkPageRequisites.name, -1, row(120, 2460, 2655, 255)},

    {Field::txtSaveLocation.name, -1, row(1260, 525, 5535), 120, 1095},
    {Field::txtSaveLocation2.name, -1, row(1260, 885, 5535), 120, 1095},
    {Field::txtSpacePrimary.name, -1, row(7440, 525, 1695)},
    {Field::txtSpaceSecondary.name, -1, row(7440, 885, 1695)},

    {Field::txtDailyLimitK.name, -1, row(1860, 240, 1215), 120, 1695},
    {Field::txtDailyLimitFiles.name, -1, row(1860, 600, 1215), 120, 1695},
    {Field::cboLimit.name, -1, row(1860, 960, 1215, 315), 120, 1695},
    {Field::chkTranslate.name, -1, row(3240, 240, 3060, 255)},
    {Field::chkRelative.name, -1, row(5400, 240, 1095, 255)},
    {Field::chkDisplayDownloads.name, -1, row(3240, 600, 3060, 255)},
    {Field::chkThumbnail.name, -1, row(3240, 960, 3060, 255)},

    {Field::cboConnections.name, -1, row(1860, 240, 795, 315), 120, 1710},
    {Field::cboMaxDepth.name, -1, row(1860, 660, 795, 315), 120, 1710},
    {Field::optBrowse.name, 0, row(120, 1080, 2505, 255)},
    {Field::optBrowse.name, 1, row(120, 1380, 2505, 255)},
    {Field::optBrowse.name, 2, row(120, 1680, 2505, 255)},
    {Field::chkParallelPages.name, -1, row(120, 1935, 2505, 465)},

    {Field::txtUserAgent.name, -1, row(2640, 240, 3195), 120, 2490},
    {Field::txtWaitMs.name, -1, row(2640, 600, 1215), 120, 2490},
    {Field::txtRateLimitK.name, -1, row(2640, 960, 1215), 120, 2490},
    {Field::chkObeyRobots.name, -1, row(6000, 240, 3135, 255)},
    {Field::chkCookies.name, -1, row(6000, 600, 3135, 255)},
    {Field::chkRefresh.name, -1, row(6000, 960, 3135, 255)},
    {Field::txtWarcMaxMB.name, -1, row(2640, 1320, 1215), 120, 2490},
    {Field::chkWarc.name, -1, row(6000, 1320, 3135, 255)},
};

const Placement* placementOf(const FieldSpec& field) {
    for (const Placement& p : kPlacements)
        if (field.name == p.field && field.index == p.index) return &p;
    return nullptr;
}

QLabel* label(const QString& text, const TwipBox& box, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    l->setGeometry(box.pixels());
    return l;
}

// The "..." buttons beside the output folders.
QPushButton* folderButton(int index, int top, QWidget* frame) {
    auto* button = new QPushButton(QStringLiteral("..."), frame);
    button->setObjectName(QStringLiteral("cmdSetLocation(%1)").arg(index));
    button->setGeometry(row(6840, top, 495).pixels());
    return button;
}

constexpr int kHourWidth = 1500;
constexpr int kHourHeight = 240;
constexpr int kHourRows = 6;

}  // namespace

SettingsFrames buildSettingsFrames(JobSettings& settings, QWidget& window) {
    std::map<std::string, QGroupBox*, std::less<>> frames;
    for (const FrameSpec& f : kFrames) {
        auto* frame = new QGroupBox(QString::fromUtf8(f.caption), &window);
        frame->setGeometry(f.box.pixels());
        frames.emplace(f.caption, frame);
    }

    SettingsFrames built;
    for (const FieldSpec& field : settings.controls()) {
        const auto frame = frames.find(field.frame);
        if (frame == frames.end()) continue;  // hidden fields outside the frames have no widget
        QWidget* widget = makeBoundField(settings, field, frame->second);
        QLabel* caption = nullptr;
        if (const Placement* p = placementOf(field)) {
            widget->setGeometry(p->box.pixels());
            // A check box taller than a row breaks its caption before the last word.
            if (auto* box = qobject_cast<QCheckBox*>(widget); box && p->box.height > kRowHeight)
                box->setText(box->text().replace(box->text().lastIndexOf(' '), 1, '\n'));
            if (p->labelWidth > 0)
                caption = label(QString::fromStdString(field.caption),
                                {p->labelLeft, p->box.top + kLabelDrop, p->labelWidth, kLabelHeight}, frame->second);
        }
        if (field.hidden) {
            widget->hide();
            if (caption) caption->hide();
        }
        if (field.name == Field::txtLocation.name) built.txtLocation = static_cast<QLineEdit*>(widget);
        if (field.name == Field::chkHour.name) built.chkHour.at(std::size_t(field.index)) = widget;
    }

    QGroupBox* output = frames.at("Output Locations");
    label(QStringLiteral("Space Required (mb)"), {7350, 240, 1785, kLabelHeight}, output);
    built.cmdSetLocation = {folderButton(0, 525, output), folderButton(1, 885, output)};
    label(QStringLiteral("* 1000k = 1 Megabyte"), {120, 1005, 2955, kLabelHeight},
          frames.at("Download Limits / Options"));
    return built;
}

void placeHourGrid(const std::array<QWidget*, kHourCount>& chkHour) {
    std::array<TwipBox, kHourCount> boxes;
    for (std::size_t i = 0; i < kHourCount; ++i) {
        const int row = static_cast<int>(i % kHourRows);
        boxes[i] = {120, 240 + kHourHeight * row, kHourWidth, kHourHeight};
    }
    for (std::size_t i = kHourRows; i < kHourCount; ++i)
        boxes[i].left = boxes[i - kHourRows].left + boxes[i - kHourRows].width;
    for (std::size_t i = 0; i < kHourCount; ++i) chkHour[i]->setGeometry(boxes[i].pixels());
}

}  // namespace gleanery
