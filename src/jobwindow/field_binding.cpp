#include "jobwindow/field_binding.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSignalBlocker>
#include <functional>

#include "job/job_settings.h"
#include "jobwindow/digit_filter.h"

namespace gleanery {

namespace {

QString qt(const std::string& s) { return QString::fromStdString(s); }

// Shows the setting now and whenever it or its enabled state changes.
void follow(JobSettings& settings, const FieldSpec& field, QWidget* widget, std::function<void()> show) {
    show();
    const QString name = qt(field.name);
    const int index = field.index;
    QObject::connect(&settings, &JobSettings::changed, widget, [=](const QString& changed, int member) {
        if (member == index && changed == name) show();
    });
    widget->setEnabled(settings.isEnabled(field));
    QObject::connect(&settings, &JobSettings::enabledChanged, widget, [=](const QString& changed, bool on) {
        if (changed == name) widget->setEnabled(on);
    });
}

QWidget* textField(JobSettings& settings, const FieldSpec& field, QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    if (field.digitsOnly) acceptDigitsOnly(*edit);
    const TextKey name{field.name};
    follow(settings, field, edit, [&settings, edit, name] { showUnfiltered(*edit, qt(settings.text(name))); });
    QObject::connect(edit, &QLineEdit::textEdited, &settings,
                     [&settings, name](const QString& text) { settings.setText(name, text.toStdString()); });
    return edit;
}

QWidget* checkBox(JobSettings& settings, const FieldSpec& field, QWidget* parent) {
    auto* box = new QCheckBox(qt(field.caption), parent);
    const CheckKey name{field.name};
    const int index = field.index;
    follow(settings, field, box, [&settings, box, name, index] {
        const QSignalBlocker quiet(box);
        box->setChecked(settings.checked(name, index));
    });
    QObject::connect(box, &QCheckBox::toggled, &settings,
                     [&settings, name, index](bool on) { settings.setChecked(name, on, index); });
    return box;
}

QWidget* optionButton(JobSettings& settings, const FieldSpec& field, QWidget* parent) {
    auto* option = new QRadioButton(qt(field.caption), parent);
    // The settings keep the group exclusive; a setup file may even leave it
    // without a choice, which Qt's own exclusivity would not allow.
    option->setAutoExclusive(false);
    const OptionKey name{field.name};
    const int index = field.index;
    auto show = [&settings, option, name, index] {
        const QSignalBlocker quiet(option);
        option->setChecked(settings.selectedOption(name) == index);
    };
    follow(settings, field, option, show);
    // A click on the chosen button must not take the choice away.
    QObject::connect(option, &QRadioButton::clicked, &settings, [&settings, name, index, show] {
        settings.selectOption(name, index);
        show();
    });
    return option;
}

QWidget* list(JobSettings& settings, const FieldSpec& field, QWidget* parent) {
    auto* list = new QComboBox(parent);
    const ListKey name{field.name};
    follow(settings, field, list, [&settings, list, name] {
        const QSignalBlocker quiet(list);
        QStringList items;
        for (const std::string& item : settings.listItems(name)) items << qt(item);
        QStringList shown;
        for (int i = 0; i < list->count(); ++i) shown << list->itemText(i);
        if (shown != items) {
            list->clear();
            list->addItems(items);
        }
        list->setCurrentIndex(settings.listIndex(name));
    });
    QObject::connect(list, &QComboBox::currentIndexChanged, &settings,
                     [&settings, name](int index) { settings.setListIndex(name, index); });
    return list;
}

}  // namespace

QString fieldObjectName(const std::string& name, int index) {
    return index < 0 ? qt(name) : QStringLiteral("%1(%2)").arg(qt(name)).arg(index);
}

QWidget* makeBoundField(JobSettings& settings, const FieldSpec& field, QWidget* parent) {
    QWidget* widget = nullptr;
    switch (field.kind) {
    case FieldKind::Text: widget = textField(settings, field, parent); break;
    case FieldKind::Check: widget = checkBox(settings, field, parent); break;
    case FieldKind::Option: widget = optionButton(settings, field, parent); break;
    case FieldKind::List: widget = list(settings, field, parent); break;
    }
    widget->setObjectName(fieldObjectName(field.name, field.index));
    return widget;
}

}  // namespace gleanery
