#pragma once
// The fields that hold a number of the job (daily limits, free-space floors)
// take only the digits 0-9. Whatever else is typed, pasted or dropped into
// them is discarded; erasing always works.

#include <QValidator>

class QLineEdit;

namespace gleanery {

class DigitFilter final : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override;
};

void acceptDigitsOnly(QLineEdit& edit);

// Shows a text as it is, also in a filtered field: a setup file may hold what
// typing could not produce, and the field must show what the job will read.
void showUnfiltered(QLineEdit& edit, const QString& text);

}  // namespace gleanery
