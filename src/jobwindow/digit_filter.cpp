#include "jobwindow/digit_filter.h"

#include <QLineEdit>

namespace gleanery {

QValidator::State DigitFilter::validate(QString& input, int& pos) const {
    QString kept;
    kept.reserve(input.size());
    int cursor = pos;
    for (qsizetype i = 0; i < input.size(); ++i) {
        const QChar c = input.at(i);
        if (c >= u'0' && c <= u'9')
            kept += c;
        else if (i < pos)
            --cursor;
    }
    input = kept;
    pos = cursor;
    return Acceptable;
}

void acceptDigitsOnly(QLineEdit& edit) { edit.setValidator(new DigitFilter(&edit)); }

void showUnfiltered(QLineEdit& edit, const QString& text) {
    if (edit.text() == text) return;
    const QValidator* filter = edit.validator();
    edit.setValidator(nullptr);
    edit.setText(text);
    edit.setValidator(filter);
}

}  // namespace gleanery
